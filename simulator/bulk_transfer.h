// The projector's side of a bulk transfer (user logo, cursor/stamp set): data blocks behind
// their 24-bit address into the window announced by 0x0900, closed by an end or an abort.
// Blocks are kept so tests and scenarios can compare what arrived.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct SBulkBlock {
    uint32_t nAddress = 0;
    std::vector<uint8_t> data;
};

class CBulkTransfer {
public:
    static constexpr size_t kMaxBlock = 1024;
    static constexpr uint32_t kWindow = 0x10000; // one announced address covers this much

    static bool Handles(uint16_t item);
    // The item that announces the window, kept by the item store.
    static uint16_t WindowItem();
    // A set of 0x0902 or 0x0905; window is the address last announced with 0x0900. False
    // refuses the command; note says what happened, for the log.
    bool Set(uint16_t item, const std::vector<uint8_t>& param, uint32_t window, std::string& note);

    const std::vector<SBulkBlock>& Blocks() const { return m_Blocks; }
    // The bytes at address..address+length as the blocks left them (0 where none arrived).
    std::vector<uint8_t> Read(uint32_t address, size_t length) const;
    // -1 while no end arrived, else the last end value (0 complete, 1 aborted).
    int LastEnd() const { return m_nLastEnd; }

private:
    std::vector<SBulkBlock> m_Blocks;
    int m_nLastEnd = -1;
};
