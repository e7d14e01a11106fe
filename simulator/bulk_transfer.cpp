#include "bulk_transfer.h"

#include <cstdio>

#include "zelq_items.h"

bool CBulkTransfer::Handles(uint16_t item) { return item == kItemBlockData || item == kItemBlockEnd; }

uint16_t CBulkTransfer::WindowItem() { return kItemBlockAddress; }

bool CBulkTransfer::Set(uint16_t item, const std::vector<uint8_t>& param, uint32_t window, std::string& note)
{
    char text[96];
    if (item == kItemBlockEnd) {
        if (param.size() != 1 || param[0] > 1) {
            note = "bulk end refused: bad value";
            return false;
        }
        m_nLastEnd = param[0];
        note = param[0] == 0 ? "bulk end" : "bulk abort";
        return true;
    }
    if (param.size() < 4 || param.size() > 3 + kMaxBlock) {
        note = "bulk block refused: " + std::to_string(param.size()) + " bytes";
        return false;
    }
    uint32_t address = BigEndianUnsigned(param.data(), 3);
    size_t length = param.size() - 3;
    if (address < window || address + length > window + kWindow) {
        std::snprintf(text, sizeof text, "bulk block refused: 0x%06X outside the window at 0x%06X", address, window);
        note = text;
        return false;
    }
    m_Blocks.push_back({address, std::vector<uint8_t>(param.begin() + 3, param.end())});
    std::snprintf(text, sizeof text, "bulk block 0x%06X %zu bytes", address, length);
    note = text;
    return true;
}

std::vector<uint8_t> CBulkTransfer::Read(uint32_t address, size_t length) const
{
    std::vector<uint8_t> bytes(length, 0);
    for (const SBulkBlock& block : m_Blocks)
        for (size_t i = 0; i < block.data.size(); ++i) {
            uint32_t at = block.nAddress + static_cast<uint32_t>(i);
            if (at >= address && at - address < length)
                bytes[at - address] = block.data[i];
        }
    return bytes;
}
