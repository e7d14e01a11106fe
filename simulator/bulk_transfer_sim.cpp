// Bulk transfers as the projector takes them: in link mode 2 the computer prepares an area
// with block addresses (0x0900, one per 64 KiB), sends blocks of data behind 24-bit addresses
// (0x0902) and ends (0x0905 = 0) or aborts (0x0905 = 1); either way the lamp goes off.
// Blocks and the end are refused outside link mode 2.
#include <algorithm>
#include <cstdio>

#include "projector_simulator.h"
#include "zelq_items.h"

namespace {
const uint32_t kAreaStep = 0x10000;
}

uint32_t CProjectorSimulator::Digest(const std::vector<uint8_t>& bytes)
{
    uint32_t hash = 2166136261u;
    for (uint8_t b : bytes)
        hash = (hash ^ b) * 16777619u;
    return hash;
}

EFault CProjectorSimulator::BlockLineFault(const SCommand& command)
{
    if (command.wItem != kItemBlockData || command.nAttr != 1 || !m_Transfer.bOpen)
        return EFault::Normal;
    const unsigned int index = m_Transfer.nBlocks;
    if (m_eBlockFault == EBlockFault::DropRest && index >= m_nFaultBlock) {
        ++m_Transfer.nBlocks; // the lost block still counts, as the next one's index shows
        return EFault::NoAck;
    }
    if (index != m_nFaultBlock)
        return EFault::Normal;
    if (m_eBlockFault == EBlockFault::Drop) {
        ++m_Transfer.nBlocks;
        m_eBlockFault = EBlockFault::None;
        return EFault::NoAck;
    }
    if (m_eBlockFault == EBlockFault::Silent) {
        m_eBlockFault = EBlockFault::None;
        return EFault::AckOnly; // stored, as a set still is, but never answered
    }
    return EFault::Normal;
}

EStoreResult CProjectorSimulator::TransferSet(int address, const SCommand& command, bool& handled)
{
    const uint16_t item = command.wItem;
    if (item != kItemBlockAddress && item != kItemBlockData && item != kItemBlockEnd) {
        handled = false;
        return EStoreResult::Ok;
    }
    handled = true;
    if (item == kItemBlockAddress) {
        // Accepted in any link mode, as a plain value; the blocks that follow need mode 2.
        if (command.param.size() != 3)
            return EStoreResult::BadLength;
        const uint32_t at = BigEndianUnsigned(command.param.data(), 3);
        if (!m_Transfer.bOpen) {
            m_Transfer = STransfer();
            m_Transfer.bOpen = true;
            m_Transfer.nBase = at;
        } else if (at < m_Transfer.nBase) {
            return EStoreResult::OutOfRange;
        }
        m_Transfer.nEnd = std::max(m_Transfer.nEnd, at + kAreaStep);
        return m_Store.Set(address, item, command.param);
    }

    long long mode = 0;
    m_Store.GetValue(address, kItemLinkMode, mode);
    if (mode != 2)
        return EStoreResult::WrongState;
    if (item == kItemBlockData) {
        if (!m_Transfer.bOpen)
            return EStoreResult::WrongState;
        const unsigned int index = m_Transfer.nBlocks++;
        if (m_eBlockFault == EBlockFault::Refuse && index == m_nFaultBlock) {
            m_eBlockFault = EBlockFault::None;
            return EStoreResult::WrongState;
        }
        if (command.param.size() < 4)
            return EStoreResult::BadLength;
        const uint32_t at = BigEndianUnsigned(command.param.data(), 3);
        const size_t count = command.param.size() - 3;
        if (at < m_Transfer.nBase || at + count > m_Transfer.nEnd)
            return EStoreResult::OutOfRange;
        const size_t offset = at - m_Transfer.nBase;
        if (m_Transfer.bytes.size() < offset + count) {
            m_Transfer.bytes.resize(offset + count, 0);
            m_Transfer.written.resize(offset + count, false);
        }
        std::fill_n(m_Transfer.written.begin() + offset, count, true);
        std::copy(command.param.begin() + 3, command.param.end(), m_Transfer.bytes.begin() + offset);
        m_Bulk.AddBlock(at, command.param.data() + 3, count);
        char text[64];
        std::snprintf(text, sizeof text, "bulk block 0x%06X %zu bytes", at, count);
        Note(text);
        return EStoreResult::Ok;
    }

    if (command.param.size() != 1 || command.param[0] > 1)
        return EStoreResult::OutOfRange;
    if (!m_Transfer.bOpen)
        return EStoreResult::WrongState;
    m_Store.PokeValue(address, kItemPower, 0); // the lamp is off after a transfer
    if (command.param[0] == 0 && !TransferComplete()) {
        Note("transfer end refused: data missing");
        EndTransfer(false);
        return EStoreResult::WrongState;
    }
    m_Bulk.End(command.param[0]);
    Note(command.param[0] == 0 ? "bulk end" : "bulk abort");
    EndTransfer(command.param[0] == 0);
    return EStoreResult::Ok;
}

// Every byte arrived; a logo image (0x49 0x47) also has the length its head announces.
bool CProjectorSimulator::TransferComplete() const
{
    const std::vector<uint8_t>& b = m_Transfer.bytes;
    if (b.empty() || std::find(m_Transfer.written.begin(), m_Transfer.written.end(), false) != m_Transfer.written.end())
        return false;
    if (b.size() >= 14 && b[0] == 0x49 && b[1] == 0x47)
        return b.size() == 14 + 2 * size_t(b[2] << 8 | b[3]) * size_t(b[4] << 8 | b[5]);
    return true;
}

void CProjectorSimulator::EndTransfer(bool bComplete)
{
    if (m_eBlockFault == EBlockFault::DropRest)
        m_eBlockFault = EBlockFault::None;
    char text[128];
    if (!bComplete) {
        ++m_nTransfersAborted;
        std::snprintf(text, sizeof text, "transfer aborted after %u blocks", m_Transfer.nBlocks);
        Note(text);
        m_Transfer = STransfer();
        return;
    }
    ++m_nTransfersEnded;
    m_LastImage = std::move(m_Transfer.bytes);
    std::snprintf(text, sizeof text, "transfer end: %u blocks, %zu bytes at 0x%06X, digest %08X", m_Transfer.nBlocks,
                  m_LastImage.size(), m_Transfer.nBase, Digest(m_LastImage));
    Note(text);
    m_Transfer = STransfer();
    if (m_strImageFile.empty())
        return;
    const std::string aside = m_strImageFile + ".new";
    std::FILE* file = std::fopen(aside.c_str(), "wb");
    bool ok = file && std::fwrite(m_LastImage.data(), 1, m_LastImage.size(), file) == m_LastImage.size();
    if (file)
        ok = std::fclose(file) == 0 && ok;
    if (!ok || std::rename(aside.c_str(), m_strImageFile.c_str()) != 0)
        Note("cannot write the received image to " + m_strImageFile);
}

std::vector<uint8_t> CProjectorSimulator::ReceivedImage() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_LastImage;
}

unsigned int CProjectorSimulator::TransfersEnded() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_nTransfersEnded;
}

unsigned int CProjectorSimulator::TransfersAborted() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_nTransfersAborted;
}

void CProjectorSimulator::SetImageFile(const std::string& path)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_strImageFile = path;
}

void CProjectorSimulator::SetBlockFault(unsigned int block, EBlockFault fault)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_nFaultBlock = block;
    m_eBlockFault = fault;
}
