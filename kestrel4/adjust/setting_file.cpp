#include "setting_file.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "replacing_file.h"
#include "setting_items.h"
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

// The table slot of a projector as FileProjectors gives it.
int SlotOf(const CSettingModel& model, int projector)
{
    int slot = projector >= 1 ? projector : model.Connection().CurrentProjector();
    return slot >= 1 && slot <= static_cast<int>(CSettingTable::kSlots) ? slot : 1;
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

bool WriteSettingFile(const std::string& path, const unsigned char* bytes, size_t count)
{
    return WriteReplacingFile(path.c_str(), bytes, count);
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

std::vector<uint16_t> UncarriedItems(const SProjectorModel& model, int slot, const CSettingTable& table)
{
    std::vector<uint16_t> codes;
    unsigned int count;
    const SMasterEntry* list = MasterList(count);
    for (unsigned int i = 0; i < count; ++i) {
        uint16_t code = list[i].wCode;
        int32_t value = table.GetItemValue(code, slot);
        if (!list[i].bSent || !IsItemOfModel(code, model) || value == CSettingTable::kUnread)
            continue;
        unsigned char bytes[4];
        unsigned int width = ItemValueBytes(code, value, bytes);
        if (ItemValueFromBytes(code, bytes, width) != value)
            codes.push_back(code);
    }
    return codes;
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
        int slot = SlotOf(model, p);
        if (IsEmptySlot(bytes, slot)) {
            KeepSlot(table, before, slot);
            result.skipped.push_back(slot);
        } else {
            projectors.push_back(p);
        }
    }

    // Checked whole before anything goes out: the projector would hold other values than the
    // file's, and a file cut short in its middle would leave it half changed.
    for (int p : projectors)
        if (!UncarriedItems(model.Connection().Model(), SlotOf(model, p), table).empty()) {
            table = before;
            result.damaged = true;
            return result;
        }

    int& ok = result.ok;
    std::vector<std::pair<int, uint16_t>> taken; // slot and item
    auto send = [&](int p) {
        std::vector<uint16_t> refused, took;
        ok = model.SendAllSettings(p, ok, &refused, &took);
        for (uint16_t code : refused)
            result.refused.push_back({p, code});
        for (uint16_t code : took)
            taken.emplace_back(SlotOf(model, p), code);
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

    // The pages must show what the projectors hold, not what the file asked for: the values
    // they took, even when the read below does not get through, and the lock masks as the
    // walks left them.
    const CSettingTable walked = table;
    table = before;
    KeepLockMasks(table, walked);
    for (const auto& value : taken)
        table.PutItemValue(value.second, walked.GetItemValue(value.second, value.first), value.first);
    int reread = 1;
    for (int p : projectors)
        reread = model.QueryAllSettings(p, reread);
    return result;
}
