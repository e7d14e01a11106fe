#include "setting_file.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "setting_model.h"
#include "text_case.h"

namespace {
const uint16_t kGroupLocks = 0x1D00;
const unsigned int kLockWords = 32;

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
    return true;
#else
    return fsync(fileno(file)) == 0;
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
    std::vector<unsigned char> buffer(CSettingTable::kBytes);
    size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return false;
    buffer.resize(got);
    bytes.swap(buffer);
    return true;
}

bool WriteSettingFile(const std::string& path, const unsigned char* bytes, size_t count)
{
    if (path.empty())
        return false;
    // Beside the old file, so that the rename stays on one volume.
    std::string temporary = path + ".new";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(bytes, 1, count, file) == count && FlushToDisk(file);
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

int ApplySettingFile(CSettingModel& model, const std::vector<unsigned char>& bytes, bool withLocks)
{
    CSettingTable& table = model.Table();
    std::vector<unsigned char> image(CSettingTable::kBytes);
    table.Save(image.data());
    const CSettingTable before = table;
    std::memcpy(image.data(), bytes.data(), bytes.size() < image.size() ? bytes.size() : image.size());
    table.Load(image.data());

    std::vector<int> projectors = FileProjectors(model);
    int ok = 1;
    if (withLocks) {
        for (int p : projectors) {
            ok = model.SendLockSettings(p, ok);
            ok = ok && model.ReadLockSettings(p);
        }
    } else {
        // Every slot, known projector or not: a file never changes the locks.
        for (unsigned int slot = 1; slot <= CSettingTable::kSlots; ++slot)
            for (unsigned int word = 0; word < kLockWords; ++word) {
                uint16_t cell = static_cast<uint16_t>(kGroupLocks + word);
                table.PutItemValue(cell, before.GetItemValue(cell, static_cast<int>(slot)), static_cast<int>(slot));
            }
    }
    for (int p : projectors)
        ok = model.SendAllSettings(p, ok);
    for (int p : projectors)
        ok = model.QueryAllSettings(p, ok);
    return ok;
}
