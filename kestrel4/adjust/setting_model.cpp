#include "setting_model.h"

#include <cstring>
#include <vector>

#include "link_receiver.h"
#include "projector_link.h"
#include "projector_model.h"
#include "zelq_items.h"

namespace {
const uint16_t kGroupStatus = 0x1A00;
const uint16_t kGroupCursorSets = 0x1B00;
const uint16_t kGroupPresets = 0x1C00;
const uint16_t kGroupLocks = 0x1D00;

// Positions in the signal list of 0x0304 .. 0x0310, the items only a computer signal has.
const unsigned int kFirstComputerSignalItem = 2;
const unsigned int kLastComputerSignalItem = 9;

const unsigned int kPresets = 5;
const unsigned int kPresetReplyBytes = 15;

int32_t Words(uint32_t low, uint32_t high)
{
    return static_cast<int32_t>((low & 0xFFFF) | high << 16);
}
} // namespace

CSettingModel::CSettingModel(CConnection& connection) : m_Link(connection.Link()), m_Connection(connection)
{
    m_Connection.SetItemStore(this);
}

CSettingModel::~CSettingModel()
{
    m_Connection.SetItemStore(nullptr);
}

void CSettingModel::SetView(ISettingView* view)
{
    m_pView = view;
    m_bRequeryAsked = false;
    AskForRequery();
}

// ---- projector arguments ----

int CSettingModel::CurrentProjector() const
{
    int current = m_Connection.CurrentProjector();
    return current >= 1 && current <= 4 ? current : 1;
}

int CSettingModel::TableProjector(int projector) const
{
    if (projector == -1)
        return CurrentProjector();
    return projector >= 0 && projector <= 4 ? projector : -1;
}

bool CSettingModel::Address(int projector, unsigned char& address) const
{
    int p = TableProjector(projector);
    if (p < 0)
        return false;
    address = p == 0 ? 0xFF : static_cast<unsigned char>(p);
    return true;
}

bool CSettingModel::IsOfModel(uint16_t code) const
{
    return IsItemOfModel(code, m_Connection.Model());
}

int CSettingModel::NoCommand()
{
    // Nothing went out, so nothing was answered: a walk must not read an earlier answer.
    m_Connection.Receiver().ClearReplyState();
    return 0;
}

bool CSettingModel::Answered() const
{
    return m_Connection.Receiver().ReplyState() == REPLY_ANSWERED;
}

// ---- commands ----

int CSettingModel::SetItem(int stack, int projector, uint16_t item, const unsigned char* bytes, unsigned int count,
                           int ok)
{
    unsigned char address;
    if (!ok)
        return 0;
    if (!Address(projector, address))
        return NoCommand();
    return Command(stack, 1, address, item, bytes, count);
}

int CSettingModel::SetItemValue(int stack, int projector, uint16_t item, int32_t value, int ok)
{
    unsigned char bytes[4];
    unsigned int count = ItemValueBytes(item, value, bytes);
    return SetItem(stack, projector, item, bytes, count, ok);
}

int CSettingModel::SetItemValueChecked(int stack, int projector, uint16_t item, int32_t value)
{
    if (SetItemValue(stack, projector, item, value))
        return 1;
    if (Answered() || !QueryItem(stack, projector, item))
        return 0;
    // The table holds values as they arrive (one byte sign-extended): compare what goes out.
    unsigned char sent[4], held[4];
    unsigned int count = ItemValueBytes(item, value, sent);
    return ItemValueBytes(item, GetItemValue(item, projector), held) == count && std::memcmp(sent, held, count) == 0;
}

int CSettingModel::QueryItem(int stack, int projector, uint16_t item, int ok)
{
    unsigned char address;
    if (!ok)
        return 0;
    if (!Address(projector, address))
        return NoCommand();
    return Command(stack, 2, address, item, nullptr, 0);
}

int CSettingModel::ResetItem(int stack, int projector, uint16_t item, int ok)
{
    unsigned char address;
    if (!ok)
        return 0;
    if (!Address(projector, address))
        return NoCommand();
    return Command(stack, 3, address, item, nullptr, 0);
}

int CSettingModel::Command(int stack, unsigned char attr, unsigned char address, uint16_t item,
                           const unsigned char* bytes, unsigned int count)
{
    int result = m_Link.Transact(stack, attr, address, item, bytes, count);
    if (!m_Link.IsWaiting())
        AskForRequery();
    return result;
}

// ---- the table ----

int32_t CSettingModel::GetItemValue(uint16_t item, int projector) const
{
    int p = TableProjector(projector);
    if (p < 0)
        return -1;
    return m_SettingTable.GetItemValue(item, p);
}

void CSettingModel::PutItemValue(uint16_t item, int32_t value, int projector)
{
    int p = TableProjector(projector);
    if (p >= 0)
        m_SettingTable.PutItemValue(item, value, p);
}

void CSettingModel::PutSentValue(uint16_t item, int32_t value, int projector)
{
    m_nLastAnswerFrom = projector;
    PutItemValue(item, ItemValueFromWire(item, value), projector);
}

void CSettingModel::Show(int projector, ESettingPage page, uint16_t item, int32_t value)
{
    // Address 0 changed every slot, the current projector's as well.
    if (!m_pView || page == PAGE_NONE)
        return;
    if (projector == 0 || projector == -1 || projector == m_Connection.CurrentProjector())
        m_pView->ShowValue(page, item, value);
}

int CSettingModel::ApplyNotifiedValue(int projector, uint16_t item, const unsigned char* bytes, uint32_t count)
{
    if (count < 1 || count > 4 || TableProjector(projector) < 0)
        return 0;
    int32_t value = ItemValueFromBytes(item, bytes, count);
    const SSettingItem* def = FindSettingItem(item);
    ESettingPage page = def ? def->ePage : PAGE_NONE;
    if (def) {
        switch (def->eRule) {
        case RULE_ANY:
            break;
        case RULE_RANGE:
            if (value < def->nMin || value > def->nMax)
                return 0;
            break;
        case RULE_BYTES:
            if (count != static_cast<uint32_t>(def->nMin))
                return 0;
            break;
        case RULE_REFUSED:
            return 0;
        case RULE_WARNINGS:
            if ((value & 0xFF) == 0)
                return 0;
            break;
        case RULE_LOCK: {
            const SReceivedFrame& sent = m_Connection.Receiver().Sent();
            if (count == 4)
                UpdateLockMask(projector, static_cast<uint16_t>(bytes[0] << 8 | bytes[1]), bytes[2], bytes[3] != 0);
            else if (count == 1 && sent.wItem == kItemLock && sent.nParameterLength >= 3)
                // An answer with the lock byte alone belongs to the entry that was asked for.
                UpdateLockMask(projector, static_cast<uint16_t>(sent.Parameter[0] << 8 | sent.Parameter[1]),
                               sent.Parameter[2], bytes[0] != 0);
            break;
        }
        }
    }
    if ((item == kItemPositionH || item == kItemPositionV) && !IsComputerInput())
        page = PAGE_VIDEO_VIDEO;
    PutItemValue(item, value, projector);
    Show(projector, page, item, value);
    return 1;
}

bool CSettingModel::ApplyMultiByte(int projector, uint16_t item, const unsigned char* bytes, uint32_t count)
{
    bool valid = TableProjector(projector) >= 0;
    switch (item) {
    case kItemFrequencies:
    case kItemResolutionInfo:
        if (count == 8 && valid) {
            uint16_t first = kGroupStatus + (item == kItemFrequencies ? 0 : 2);
            PutItemValue(first, static_cast<int32_t>(BigEndianUnsigned(bytes, 4)), projector);
            PutItemValue(first + 1, static_cast<int32_t>(BigEndianUnsigned(bytes + 4, 4)), projector);
        }
        return true;
    case kItemPresets:
        if (count == kPresets * kPresetReplyBytes && valid) {
            for (unsigned int n = 0; n < kPresets; ++n) {
                const unsigned char* b = bytes + n * kPresetReplyBytes;
                uint16_t first = static_cast<uint16_t>(kGroupPresets + 4 * n);
                PutItemValue(first, Words(BigEndianUnsigned(b, 2), BigEndianUnsigned(b + 2, 2)), projector);
                PutItemValue(first + 1, static_cast<int32_t>(BigEndianUnsigned(b + 4, 4)), projector);
                PutItemValue(first + 2, Words(BigEndianUnsigned(b + 8, 2), BigEndianUnsigned(b + 10, 2)), projector);
                PutItemValue(first + 3, Words(BigEndianUnsigned(b + 12, 2), b[14]), projector);
            }
        }
        return true;
    case kItemCursorSets:
        if (count == 48 && valid)
            for (unsigned int i = 0; i < 16; ++i)
                PutItemValue(static_cast<uint16_t>(kGroupCursorSets + i),
                             static_cast<int32_t>(BigEndianUnsigned(bytes + 3 * i, 3)), projector);
        return true;
    default:
        return false;
    }
}

void CSettingModel::SetLockEntries(const unsigned char* bytes, uint32_t count)
{
    if (count == 4)
        UpdateLockMask(m_nLastAnswerFrom, static_cast<uint16_t>(bytes[0] << 8 | bytes[1]), bytes[2], bytes[3] != 0);
}

void CSettingModel::UpdateLockMask(int projector, uint16_t code, unsigned int sub, bool locked)
{
    unsigned int word, bit;
    int p = TableProjector(projector);
    if (p < 0 || !LockBit(code, sub, word, bit))
        return;
    // Address 0 holds for every slot; each keeps its own other bits.
    for (int slot = p == 0 ? 1 : p; slot <= (p == 0 ? 4 : p); ++slot) {
        uint16_t cell = static_cast<uint16_t>(kGroupLocks + word);
        uint32_t mask = static_cast<uint32_t>(m_SettingTable.GetItemValue(cell, slot));
        mask = locked ? mask | 1u << bit : mask & ~(1u << bit);
        m_SettingTable.PutItemValue(cell, static_cast<int32_t>(mask), slot);
    }
}

void CSettingModel::OnItemChanged(uint16_t item, bool fromProjector, int projector)
{
    if (!fromProjector || (item != kItemInput && item != kItemSignal) || IsBulkReadRunning())
        return;
    if (m_Link.IsWaiting() && m_pView)
        DeferRequery(item, projector);
    else
        RequeryAfterReport(item, projector);
}

void CSettingModel::DeferRequery(uint16_t item, int projector)
{
    bool first = m_wPendingRequery == 0;
    if (m_wPendingRequery != kItemInput)
        m_wPendingRequery = item;
    m_nPendingProjector = first || m_nPendingProjector == projector ? projector : 1;
    AskForRequery();
}

void CSettingModel::AskForRequery()
{
    if (m_wPendingRequery == 0 || m_bRequeryAsked || !m_pView)
        return;
    m_bRequeryAsked = true;
    m_pView->RequeryLater();
}

int CSettingModel::RunPendingRequery()
{
    m_bRequeryAsked = false;
    if (m_wPendingRequery == 0 || m_Link.IsWaiting() || IsBulkReadRunning())
        return 0;
    uint16_t item = m_wPendingRequery;
    m_wPendingRequery = 0;
    return RequeryAfterReport(item, m_nPendingProjector);
}

int CSettingModel::RequeryAfterReport(uint16_t item, int projector)
{
    auto requery = [&](int p, int ok) { return item == kItemInput ? QueryInputItems(p, ok) : QuerySignalItems(p, ok); };
    int ok = 1;
    if (!m_Connection.IsStackMode())
        ok = requery(-1, ok);
    else if (projector == 1)
        for (int p = 1; p <= m_Connection.ProjectorCount(); ++p)
            ok = requery(p, ok);
    else
        ok = requery(projector, ok);
    if (m_pView)
        m_pView->RefreshPages();
    return ok;
}

// ---- bulk walks ----

int CSettingModel::SendAllSettings(int projector, int ok, std::vector<uint16_t>* refused, std::vector<uint16_t>* taken)
{
    if (!ok)
        return 0;
    CBulkWalk walk(*this);
    unsigned int count;
    const SMasterEntry* list = MasterList(count);
    for (unsigned int i = 0; i < count; ++i) {
        uint16_t code = list[i].wCode;
        int32_t value = GetItemValue(code, projector);
        if (!list[i].bSent || !IsOfModel(code) || IsItemLocked(code, 0, projector) || value == CSettingTable::kUnread)
            continue;
        if (SetItemValue(m_Connection.IsStackMode(), projector, code, value)) {
            if (taken)
                taken->push_back(code);
            continue;
        }
        if (!Answered())
            return 0;
        if (refused)
            refused->push_back(code);
    }
    return 1;
}

int CSettingModel::QueryAllSettings(int projector, int ok)
{
    if (!ok)
        return 0;
    CBulkWalk walk(*this);
    unsigned int count;
    const SMasterEntry* list = MasterList(count);
    for (unsigned int i = 0; i < count; ++i) {
        uint16_t code = list[i].wCode;
        if (IsOfModel(code) && !QueryItem(m_Connection.IsStackMode(), projector, code) && !Answered())
            return 0;
    }
    return 1;
}

int CSettingModel::QueryInputItems(int projector, int ok)
{
    if (!ok)
        return 0;
    CBulkWalk walk(*this);
    bool computer = IsComputerInput();
    unsigned int count;
    const uint16_t* list = InputItems(count);
    for (unsigned int i = 0; i < count; ++i) {
        uint16_t code = list[i];
        unsigned int group = code >> 8;
        // Under one input the other Video page's items are not asked for.
        if ((computer && group == 0x04) || (!computer && group == 0x03) || !IsOfModel(code))
            continue;
        if (!QueryItem(m_Connection.IsStackMode(), projector, code) && !Answered())
            return 0;
    }
    return QuerySignalItems(projector, 1);
}

int CSettingModel::QuerySignalItems(int projector, int ok)
{
    if (!ok)
        return 0;
    CBulkWalk walk(*this);
    bool computer = IsComputerInput();
    unsigned int count;
    const uint16_t* list = SignalItems(count);
    for (unsigned int i = 0; i < count; ++i) {
        uint16_t code = list[i];
        // A video signal has no tracking, sync, resolution, presets or frequencies.
        if (!computer && i >= kFirstComputerSignalItem && i <= kLastComputerSignalItem)
            continue;
        if (!IsOfModel(code))
            continue;
        if (!QueryItem(m_Connection.IsStackMode(), projector, code) && !Answered())
            return 0;
    }
    return 1;
}

int CSettingModel::ReadLockSettings(int projector)
{
    unsigned char address;
    int p = TableProjector(projector);
    if (p < 1 || !Address(p, address))
        return NoCommand();
    CBulkWalk walk(*this);
    // Until the read is complete the masks are partly the projector's and partly older.
    m_nLocksReadIn[p - 1] = 0;
    unsigned int count;
    const SLockEntry* list = LockList(count);
    for (unsigned int i = 0; i < count; ++i) {
        if (!IsOfModel(list[i].wCode))
            continue;
        unsigned char entry[3] = {ItemGroup(list[i].wCode), ItemId(list[i].wCode), list[i].nSub};
        if (!Command(m_Connection.IsStackMode(), 2, address, kItemLock, entry, sizeof entry) && !Answered())
            return 0;
    }
    m_nLocksReadIn[p - 1] = m_Connection.Identifications();
    return 1;
}

void CSettingModel::ForgetLocks(int projector)
{
    int p = TableProjector(projector);
    if (p >= 1)
        m_nLocksReadIn[p - 1] = 0;
}

int CSettingModel::ReadAllLockSettings(int ok)
{
    if (!m_Connection.IsStackMode())
        return ok ? ReadLockSettings(-1) : 0;
    for (int p = 1; p <= m_Connection.ProjectorCount(); ++p)
        ok = ok && ReadLockSettings(p);
    return ok;
}

int CSettingModel::SendLockSettings(int projector, int ok)
{
    if (!ok)
        return 0;
    projector = TableProjector(projector);
    if (projector < 1)
        return NoCommand();
    CBulkWalk walk(*this);
    // The masks read before the walk: the answers to the sets change them as they come.
    std::vector<unsigned char> entries;
    unsigned int count;
    const SLockEntry* list = LockList(count);
    for (unsigned int i = 0; i < count; ++i) {
        if (!IsOfModel(list[i].wCode))
            continue;
        int locked = IsStoredLocked(list[i].wCode, list[i].nSub, projector);
        unsigned char entry[4] = {ItemGroup(list[i].wCode), ItemId(list[i].wCode), list[i].nSub,
                                  static_cast<unsigned char>(locked)};
        entries.insert(entries.end(), entry, entry + 4);
    }
    for (size_t at = 0; at < entries.size(); at += 4)
        if (!SetItem(m_Connection.IsStackMode(), projector, kItemLock, &entries[at], 4) && !Answered())
            return 0;
    return 1;
}

int CSettingModel::ReadProjectorSettings()
{
    CBulkWalk read(*this);
    if (m_pView)
        m_pView->ShowReadingDialog();
    if (m_Connection.Model().bStackCapable)
        ReadAllLockSettings();
    int ok = 1;
    if (m_Connection.IsStackMode())
        for (int p = 1; p <= m_Connection.ProjectorCount(); ++p)
            ok = QueryAllSettings(p, ok);
    else
        ok = QueryAllSettings(m_Connection.CurrentProjector(), ok);
    if (m_pView) {
        m_pView->RefreshPages();
        m_pView->DestroyReadingDialog();
    }
    return ok;
}

int CSettingModel::SendGammaParameters(int stack, int projector, unsigned int g, int ok)
{
    const SGammaParameters& gamma = GammaParameters(IsComputerGamma() != 0, g);
    ok = SetItemValue(stack, projector, kItemGammaParameter1, gamma.w060C, ok);
    ok = SetItemValue(stack, projector, kItemGammaParameter2, gamma.n060D, ok);
    for (unsigned char index = 0; index < 3; ++index) {
        const unsigned char bytes[2] = {index, gamma.n060E[index]};
        ok = SetItem(stack, projector, kItemGammaParameter3, bytes, sizeof bytes, ok);
    }
    return ok;
}

// ---- input and signal ----

int CSettingModel::GetInputCode() const
{
    return GetItemValue(kItemInput, -1) & 0xFF;
}

int CSettingModel::IsComputerInput() const
{
    int code = GetInputCode();
    return code != 33 && code != 34;
}

int CSettingModel::IsSignalValid() const
{
    int signal = GetItemValue(kItemSignal, -1) & 0xFF;
    return signal == 1 || (signal >= 224 && signal <= 233);
}

int CSettingModel::IsTintAvailable() const
{
    int32_t standard = GetItemValue(kItemVideoSignal, -1);
    if (standard == 1 || standard == 2 || standard == 8)
        return 1;
    int signal = GetItemValue(kItemSignal, -1) & 0xFF;
    return standard == 0 && (signal == 224 || signal == 225 || signal == 231);
}

// ---- locks ----

bool CSettingModel::LocksInForce(int projector) const
{
    int p = TableProjector(projector);
    if (p == 0)
        p = 1;
    if (p < 1 || !m_Connection.Model().bStackCapable)
        return false;
    bool addressed = p == 1 || (m_Connection.IsStackMode() && p <= m_Connection.ProjectorCount());
    unsigned int readIn = m_nLocksReadIn[p - 1];
    return addressed && readIn != 0 && readIn == m_Connection.Identifications();
}

int CSettingModel::IsItemLocked(uint16_t item, unsigned int sub, int projector) const
{
    int p = TableProjector(projector);
    if (p < 0)
        return -1;
    return LocksInForce(p) ? IsStoredLocked(item, sub, p) : 0;
}

int CSettingModel::IsStoredLocked(uint16_t item, unsigned int sub, int p) const
{
    unsigned int word, bit;
    if (!LockBit(item, sub, word, bit))
        return 0;
    uint32_t mask = static_cast<uint32_t>(m_SettingTable.GetItemValue(static_cast<uint16_t>(kGroupLocks + word), p));
    return (mask >> bit) & 1;
}

int CSettingModel::IsPageLocked(int tab, int projector) const
{
    static const uint16_t kGammaPage[] = {kItemGamma, kItemGammaParameter1, kItemGammaParameter2, kItemGammaParameter3};
    const uint16_t* list = nullptr;
    unsigned int count = 0;
    switch (tab) {
    case TAB_VIDEO:
        list = ResetList(IsComputerInput() ? RESET_VIDEO_COMPUTER : RESET_VIDEO_VIDEO, count);
        break;
    case TAB_AUDIO:
        list = ResetList(RESET_AUDIO, count);
        break;
    case TAB_SETTING:
        list = ResetList(RESET_SETTING, count);
        break;
    case TAB_ADVANCED:
        list = ResetList(RESET_ADVANCED, count);
        break;
    case TAB_GAMMA:
        list = kGammaPage;
        count = sizeof kGammaPage / sizeof kGammaPage[0];
        break;
    default:
        return 0;
    }
    if (!LocksInForce(projector))
        return 0;
    for (unsigned int i = 0; i < count; ++i) {
        uint16_t code = list[i];
        // Items the model lacks cannot be locked on it: they would keep the page open for ever.
        if (code == kItemSound3D || code == kItemPresets || !IsOfModel(code))
            continue;
        if (IsItemLocked(code, 0, projector) != 1)
            return 0;
    }
    return 1;
}

int CSettingModel::IsPresetRegistered(unsigned int n, int projector) const
{
    if (n >= kPresets)
        return 0;
    return (GetItemValue(static_cast<uint16_t>(kGroupPresets + 4 * n), projector) & 0xFFFF) != 0xFFFF;
}
