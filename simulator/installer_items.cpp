// The installer-only items: the password the projector holds and checks, the lock entries of
// each projector, and the "setting complete" mark. None of them lives in the item store:
// their parameters are keys and texts, not values.
#include "projector_simulator.h"
#include "zelq_items.h"

namespace {
const size_t kPasswordBytes = 16;
const size_t kLockKeyBytes = 3;

uint32_t LockKey(const std::vector<uint8_t>& param)
{
    return static_cast<uint32_t>(param[0] << 16 | param[1] << 8 | param[2]);
}
} // namespace

bool CProjectorSimulator::InstallerAnswer(const SCommand& command, int first, int last, std::vector<uint8_t>& param,
                                          EStoreResult& result)
{
    uint16_t item = command.wItem;
    if (!m_pModel->bStackCapable ||
        (item != kItemPasswordChange && item != kItemPassword && item != kItemSettingComplete && item != kItemLock))
        return false;
    if (first < 1 || last > CItemStore::kAddresses) {
        result = EStoreResult::BadAddress;
        return true;
    }
    result = EStoreResult::Ok;
    switch (command.nAttr) {
    case 2:
        if (item == kItemPasswordChange) {
            param = m_Password;
        } else if (item == kItemLock && command.param.size() == kLockKeyBytes) {
            auto it = m_Locks[first - 1].find(LockKey(command.param));
            param = command.param;
            param.push_back(it == m_Locks[first - 1].end() ? 0 : it->second);
        } else {
            result = EStoreResult::BadLength;
        }
        return true;
    case 1:
        if ((item == kItemPasswordChange || item == kItemPassword) && command.param.size() != kPasswordBytes) {
            result = EStoreResult::BadLength;
        } else if (item == kItemPasswordChange) {
            m_Password = command.param;
        } else if (item == kItemPassword) {
            if (command.param != m_Password)
                result = EStoreResult::WrongState;
        } else if (item == kItemLock) {
            if (command.param.size() != kLockKeyBytes + 1 || command.param[3] > 1)
                result = EStoreResult::BadLength;
            for (int p = first; p <= last && result == EStoreResult::Ok; ++p)
                m_Locks[p - 1][LockKey(command.param)] = command.param[3];
        } else if (!command.param.empty()) {
            result = EStoreResult::BadLength;
        } else {
            ++m_nSettingCompletes;
        }
        return true;
    default:
        result = EStoreResult::NoReset;
        return true;
    }
}

void CProjectorSimulator::SetPassword(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Password.assign(kPasswordBytes, 0);
    for (size_t i = 0; i < text.size() && i < kPasswordBytes; ++i)
        m_Password[i] = static_cast<uint8_t>(text[i]);
}

std::string CProjectorSimulator::Password() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    std::string text;
    for (uint8_t b : m_Password) {
        if (b == 0)
            break;
        text += static_cast<char>(b);
    }
    return text;
}

int CProjectorSimulator::GetLock(int address, uint16_t code, int sub) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (address < 1 || address > CItemStore::kAddresses)
        return -1;
    auto it = m_Locks[address - 1].find(static_cast<uint32_t>(code << 8 | sub));
    return it == m_Locks[address - 1].end() ? 0 : it->second;
}

unsigned int CProjectorSimulator::SettingCompletes() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_nSettingCompletes;
}
