#include "setting_image.h"

#include "setting_items.h"
#include "stack_state.h"
#include "zelq_items.h"

namespace {
const uint16_t kGroupLocks = 0x1D00;

bool IsLocked(const CSettingTable& table, int slot, uint16_t code)
{
    unsigned int word, bit;
    if (!LockBit(code, 0, word, bit))
        return false;
    uint32_t mask = static_cast<uint32_t>(table.GetItemValue(static_cast<uint16_t>(kGroupLocks + word), slot));
    return (mask >> bit) & 1;
}

// The lock entries into the slot's masks, as the program keeps them.
ESessionStatus ReadLocks(CProjectorSession& session, const SProjectorModel& model, const SSettingTarget& target,
                         CSettingTable& table, std::string& message)
{
    if (!model.bStackCapable)
        return SESSION_OK;
    unsigned int count;
    const SLockEntry* list = LockList(count);
    for (unsigned int i = 0; i < count; ++i) {
        if (!IsItemOfModel(list[i].wCode, model))
            continue;
        SAnswer answer;
        ESessionStatus status =
            session.Transact(target.stack, 2, target.address, kItemLock,
                             {ItemGroup(list[i].wCode), ItemId(list[i].wCode), list[i].nSub}, answer, message);
        if (status == SESSION_REFUSED)
            continue;
        if (status != SESSION_OK)
            return status;
        unsigned int word, bit;
        if (answer.parameter.empty() || !LockBit(list[i].wCode, list[i].nSub, word, bit))
            continue;
        uint16_t cell = static_cast<uint16_t>(kGroupLocks + word);
        uint32_t mask = static_cast<uint32_t>(table.GetItemValue(cell, target.slot));
        mask = answer.parameter.back() ? mask | 1u << bit : mask & ~(1u << bit);
        table.PutItemValue(cell, static_cast<int32_t>(mask), target.slot);
    }
    return SESSION_OK;
}
} // namespace

ESessionStatus FindTargets(CProjectorSession& session, const SProjectorModel& model, int to,
                           std::vector<SSettingTarget>& targets, std::string& message)
{
    targets.clear();
    if (to >= 1 && to <= 4) {
        targets.push_back({1, static_cast<unsigned char>(to), to});
        return SESSION_OK;
    }
    if (model.bStackCapable) {
        SAnswer answer;
        ESessionStatus status = session.Transact(1, 2, 1, kItemStackQuery, {0}, answer, message);
        if (status != SESSION_OK)
            return status;
        SStackState state = DecodeStackState(answer.parameter.data(), static_cast<uint32_t>(answer.parameter.size()));
        if (state.bStackMode) {
            for (int p = 1; p <= state.nProjectorCount; ++p)
                targets.push_back({1, static_cast<unsigned char>(p), p});
            return SESSION_OK;
        }
    }
    targets.push_back({0, 1, 1});
    return SESSION_OK;
}

ESessionStatus ReadSettings(CProjectorSession& session, const SProjectorModel& model, const SSettingTarget& target,
                            CSettingTable& table, std::vector<uint16_t>& unread, std::string& message)
{
    unsigned int count;
    const SMasterEntry* list = MasterList(count);
    for (unsigned int i = 0; i < count; ++i) {
        uint16_t code = list[i].wCode;
        if (!IsItemOfModel(code, model))
            continue;
        SAnswer answer;
        ESessionStatus status = session.Transact(target.stack, 2, target.address, code, {}, answer, message);
        // An item the projector does not answer in its present state has no value to keep;
        // a 0 in its place would be sent back as a setting.
        if (status == SESSION_REFUSED) {
            table.PutItemValue(code, CSettingTable::kUnread, target.slot);
            unread.push_back(code);
            continue;
        }
        if (status != SESSION_OK)
            return status;
        if (answer.parameter.size() >= 1 && answer.parameter.size() <= 4)
            table.PutItemValue(
                code, ItemValueFromBytes(code, answer.parameter.data(), static_cast<uint32_t>(answer.parameter.size())),
                target.slot);
    }
    return ReadLocks(session, model, target, table, message);
}

ESessionStatus SendSettings(CProjectorSession& session, const SProjectorModel& model, const SSettingTarget& target,
                            const CSettingTable& table, std::vector<uint16_t>& refused, std::string& message)
{
    // The projector's own locks decide, not the file's.
    CSettingTable locks;
    ESessionStatus status = ReadLocks(session, model, target, locks, message);
    if (status != SESSION_OK)
        return status;
    unsigned int count;
    const SMasterEntry* list = MasterList(count);
    for (unsigned int i = 0; i < count; ++i) {
        uint16_t code = list[i].wCode;
        int32_t value = table.GetItemValue(code, target.slot);
        if (!list[i].bSent || !IsItemOfModel(code, model) || value == CSettingTable::kUnread ||
            (model.bStackCapable && IsLocked(locks, target.slot, code)))
            continue;
        unsigned char bytes[4];
        unsigned int width = ItemValueBytes(code, value, bytes);
        SAnswer answer;
        status = session.Transact(target.stack, 1, target.address, code,
                                  std::vector<unsigned char>(bytes, bytes + width), answer, message);
        if (status == SESSION_REFUSED)
            refused.push_back(code);
        else if (status != SESSION_OK)
            return status;
    }
    return SESSION_OK;
}

std::vector<SDifference> DiffSettings(const SProjectorModel& model, int slot, const CSettingTable& file,
                                      const CSettingTable& live)
{
    std::vector<SDifference> differences;
    unsigned int count;
    const SMasterEntry* list = MasterList(count);
    for (unsigned int i = 0; i < count; ++i) {
        uint16_t code = list[i].wCode;
        if (!list[i].bSent || !IsItemOfModel(code, model))
            continue;
        int32_t a = file.GetItemValue(code, slot), b = live.GetItemValue(code, slot);
        if (a != b && a != CSettingTable::kUnread && b != CSettingTable::kUnread)
            differences.push_back({code, a, b});
    }
    return differences;
}
