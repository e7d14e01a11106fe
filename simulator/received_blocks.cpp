#include "received_blocks.h"

std::vector<uint8_t> CReceivedBlocks::Read(uint32_t address, size_t length) const
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
