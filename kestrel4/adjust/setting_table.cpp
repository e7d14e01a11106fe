#include "setting_table.h"

#include <cstring>

CSettingTable::CSettingTable()
{
    Clear();
}

void CSettingTable::Clear()
{
    std::memset(m_Values, 0, sizeof m_Values);
}

int32_t CSettingTable::GetItemValue(uint16_t item, int projector) const
{
    if (projector < 0 || projector > 4)
        return -1;
    if (!IsInTable(item))
        return 0;
    return m_Values[projector >= 1 ? projector - 1 : 0][item >> 8][item & 0xFF];
}

void CSettingTable::PutItemValue(uint16_t item, int32_t value, int projector)
{
    if (!IsInTable(item))
        return;
    if (projector == 0) {
        for (auto& slot : m_Values)
            slot[item >> 8][item & 0xFF] = value;
        return;
    }
    if (projector >= 1 && projector <= 4)
        m_Values[projector - 1][item >> 8][item & 0xFF] = value;
}

void CSettingTable::Save(unsigned char out[kBytes]) const
{
    unsigned char* p = out;
    for (const auto& slot : m_Values)
        for (const auto& group : slot)
            for (int32_t value : group) {
                uint32_t v = static_cast<uint32_t>(value);
                for (int i = 0; i < 4; ++i)
                    *p++ = static_cast<unsigned char>(v >> (8 * i));
            }
}

void CSettingTable::Load(const unsigned char in[kBytes])
{
    const unsigned char* p = in;
    for (auto& slot : m_Values)
        for (auto& group : slot)
            for (int32_t& value : group) {
                uint32_t v = 0;
                for (int i = 0; i < 4; ++i)
                    v |= static_cast<uint32_t>(*p++) << (8 * i);
                value = static_cast<int32_t>(v);
            }
}
