#include "setting_file.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

#include "setting_model.h"
#include "zelq_items.h"
#include "text_case.h"

namespace {
const uint16_t kGroupLocks = 0x1D00;
const uint16_t kGroupCursorSets = 0x1B00;
const unsigned int kLockWords = 32;
const unsigned int kCursorSetCells = 16;

// What the projector itself holds at run time: a file made at another moment says nothing true
// about it (an old power state would make the Power button wait for a cooling that never runs).
const uint16_t kRuntimeItems[] = {kItemPower, kItemResetAll, kItemWarnings, kItemStackPosition};

void KeepCell(CSettingTable& table, const CSettingTable& from, uint16_t cell)
{
    for (int slot = 1; slot <= static_cast<int>(CSettingTable::kSlots); ++slot)
        table.PutItemValue(cell, from.GetItemValue(cell, slot), slot);
}

void KeepRuntimeState(CSettingTable& table, const CSettingTable& from)
{
    for (uint16_t code : kRuntimeItems)
        KeepCell(table, from, code);
    for (unsigned int i = 0; i < kCursorSetCells; ++i)
        KeepCell(table, from, static_cast<uint16_t>(kGroupCursorSets + i));
}

void KeepLockMasks(CSettingTable& table, const CSettingTable& from)
{
    for (unsigned int word = 0; word < kLockWords; ++word)
        KeepCell(table, from, static_cast<uint16_t>(kGroupLocks + word));
}

void KeepSlot(CSettingTable& table, const CSettingTable& from, int slot)
{
    for (unsigned int g = 0; g < CSettingTable::kGroups; ++g)
        for (unsigned int i = 0; i < CSettingTable::kItems; ++i) {
            uint16_t cell = static_cast<uint16_t>(g << 8 | i);
            table.PutItemValue(cell, from.GetItemValue(cell, slot), slot);
        }
}

bool ReplaceFile(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool FlushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// The file a save replaces: a symbolic link's target, so that the link stays a link.
std::string SaveTarget(const std::string& path)
{
#ifdef _WIN32
    return path;
#else
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
#endif
}

// A file its owner made read-only is not replaced behind their back.
bool IsReadOnly(const std::string& path)
{
#ifdef _WIN32
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
#else
    struct stat status;
    return stat(path.c_str(), &status) == 0 && !(status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH));
#endif
}

// The new file gets the old one's permissions.
bool KeepMode(std::FILE* file, const std::string& old)
{
#ifdef _WIN32
    (void)file;
    (void)old;
    return true;
#else
    struct stat status;
    if (stat(old.c_str(), &status) != 0)
        return true;
    return fchmod(fileno(file), status.st_mode & 07777) == 0;
#endif
}
} // namespace

std::string FolderOfFile(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return std::string();
    std::string folder = path.substr(0, slash);
    // "C:" alone is the drive's current folder, not its root.
    if (folder.empty() || folder.back() == ':')
        folder += path[slash];
    return folder;
}

std::string SettingFileDirectory(const std::string& lastFile)
{
    size_t slash = lastFile.find_last_of("\\/");
    size_t dot = lastFile.find_last_of('.');
    std::string extension = LowerCase(dot == std::string::npos ? std::string() : lastFile.substr(dot));
    bool isFile = extension == ".kst" && (slash == std::string::npos || dot > slash);
    return isFile ? FolderOfFile(lastFile) : lastFile;
}

bool ReadSettingFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::vector<unsigned char> buffer(CSettingTable::kBytes + 1);
    size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return false;
    buffer.resize(got);
    bytes.swap(buffer);
    return true;
}

bool WriteSettingFile(const std::string& requested, const unsigned char* bytes, size_t count)
{
    if (requested.empty())
        return false;
    const std::string path = SaveTarget(requested);
    if (IsReadOnly(path))
        return false;
    // Beside the old file, so that the rename stays on one volume.
    std::string temporary = path + ".new";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(bytes, 1, count, file) == count && KeepMode(file, path) && FlushToDisk(file);
    written = std::fclose(file) == 0 && written;
    if (!written || !ReplaceFile(temporary, path)) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool SaveSettingFile(const CSettingModel& model, const std::string& path)
{
    std::vector<unsigned char> image(CSettingTable::kBytes);
    model.Table().Save(image.data());
    return WriteSettingFile(path, image.data(), image.size());
}

std::vector<int> FileProjectors(const CSettingModel& model)
{
    std::vector<int> projectors;
    const CConnection& connection = model.Connection();
    if (connection.IsStackMode())
        for (int p = 1; p <= connection.ProjectorCount(); ++p)
            projectors.push_back(p);
    else
        projectors.push_back(-1);
    return projectors;
}

bool IsEmptySlot(const std::vector<unsigned char>& bytes, int slot)
{
    if (slot < 1 || slot > static_cast<int>(CSettingTable::kSlots))
        return true;
    size_t begin = (slot - 1) * static_cast<size_t>(CSettingTable::kSlotBytes);
    size_t end = begin + CSettingTable::kSlotBytes;
    for (size_t at = begin; at < end && at < bytes.size(); ++at)
        if (bytes[at])
            return false;
    return true;
}

SFileResult ApplySettingFile(CSettingModel& model, const std::vector<unsigned char>& bytes, bool withLocks)
{
    CSettingTable& table = model.Table();
    std::vector<unsigned char> image(CSettingTable::kBytes);
    table.Save(image.data());
    const CSettingTable before = table;
    std::memcpy(image.data(), bytes.data(), bytes.size() < image.size() ? bytes.size() : image.size());
    table.Load(image.data());
    KeepRuntimeState(table, before);
    // Every slot, known projector or not: without locks a file never changes them.
    if (!withLocks)
        KeepLockMasks(table, before);

    SFileResult result;
    std::vector<int> projectors;
    for (int p : FileProjectors(model)) {
        int slot = p >= 1 ? p : model.Connection().CurrentProjector();
        if (slot < 1 || slot > static_cast<int>(CSettingTable::kSlots))
            slot = 1;
        if (IsEmptySlot(bytes, slot)) {
            KeepSlot(table, before, slot);
            result.skipped.push_back(slot);
        } else {
            projectors.push_back(p);
        }
    }

    int& ok = result.ok;
    auto send = [&](int p) {
        std::vector<uint16_t> refused;
        ok = model.SendAllSettings(p, ok, &refused);
        for (uint16_t code : refused)
            result.refused.push_back({p, code});
    };
    if (withLocks) {
        // The values first, those of the items about to be locked too; the locks the table
        // held are not the projector's while the walks change them.
        for (int p : projectors)
            model.ForgetLocks(p);
        for (int p : projectors)
            send(p);
        for (int p : projectors) {
            ok = model.SendLockSettings(p, ok);
            ok = ok && model.ReadLockSettings(p);
        }
    } else {
        for (int p : projectors)
            send(p);
    }
    for (int p : projectors)
        ok = model.QueryAllSettings(p, ok);
    if (result.Complete())
        return result;

    // The pages must show what the projectors hold, not what the file asked for; the lock
    // masks are as the walks left them.
    CSettingTable masks = table;
    table = before;
    KeepLockMasks(table, masks);
    int reread = 1;
    for (int p : projectors)
        reread = model.QueryAllSettings(p, reread);
    return result;
}
