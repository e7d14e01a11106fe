// What bulk transfers (user logo, cursor/stamp set) delivered, block by block, kept so tests
// and scenarios can compare what arrived with what was sent.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct SBulkBlock {
    uint32_t nAddress = 0;
    std::vector<uint8_t> data;
};

class CReceivedBlocks {
public:
    void AddBlock(uint32_t address, const uint8_t* data, size_t length)
    {
        m_Blocks.push_back({address, std::vector<uint8_t>(data, data + length)});
    }
    // An end command was taken: 0 complete, 1 aborted.
    void End(int value) { m_nLastEnd = value; }

    const std::vector<SBulkBlock>& Blocks() const { return m_Blocks; }
    // The bytes at address..address+length as the blocks left them (0 where none arrived).
    std::vector<uint8_t> Read(uint32_t address, size_t length) const;
    // -1 while no end arrived, else the last end value (0 complete, 1 aborted).
    int LastEnd() const { return m_nLastEnd; }

private:
    std::vector<SBulkBlock> m_Blocks;
    int m_nLastEnd = -1;
};
