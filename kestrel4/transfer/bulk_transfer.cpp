#include "bulk_transfer.h"

#include <algorithm>

#include "projector_link.h"
#include "zelq_items.h"

SProgressScale ScaleProgress(uint32_t size)
{
    SProgressScale scale{size, 1};
    while (scale.nRange > 65535) {
        scale.nRange /= 100;
        scale.nFactor *= 100;
    }
    return scale;
}

ETransferResult CBulkTransfer::Send(const std::vector<uint8_t>& data, uint32_t base, uint32_t areaLength)
{
    if (!m_Link.SetLinkMode(2))
        return ETransferResult::Failed;
    ETransferResult result = ETransferResult::Failed;
    if (m_Link.RaiseSpeed() && m_Link.PrepareBlocks(base, areaLength))
        result = SendBlocks(data, base);
    m_Link.RestoreSpeed();
    if (!m_Link.SetLinkMode(0) && result == ETransferResult::Sent)
        result = ETransferResult::Failed;
    return result;
}

void CBulkTransfer::Abort()
{
    const unsigned char abort = 1;
    m_Link.Transact(0, 1, 1, kItemBlockEnd, &abort, 1);
}

ETransferResult CBulkTransfer::SendBlocks(const std::vector<uint8_t>& data, uint32_t base)
{
    const SProgressScale scale = ScaleProgress(static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> block(3 + kBlockBytes);
    uint32_t offset = 0;
    unsigned int failed = 0, silent = 0;
    while (offset < data.size()) {
        const uint32_t address = base + offset;
        const uint32_t count = std::min<uint32_t>(kBlockBytes, static_cast<uint32_t>(data.size()) - offset);
        PutBigEndian(address, 3, block.data());
        std::copy_n(data.begin() + offset, count, block.begin() + 3);
        offset += count;
        const bool taken = m_Link.Transact(1, 1, 1, kItemBlockData, block.data(), 3 + count);
        silent = taken || m_Link.WasAnswered() ? 0 : silent + 1;
        failed += taken ? 0 : 1;
        m_Link.WaitPumping(0);
        const bool cancelled = m_Progress.Cancelled();
        if (cancelled || (!taken && m_eFailedBlock == EFailedBlock::Abort) || silent >= kMaxSilentBlocks) {
            Abort();
            return cancelled ? ETransferResult::Cancelled : ETransferResult::Failed;
        }
        const uint32_t position = offset / scale.nFactor;
        m_Progress.Progress(position, scale.nRange ? static_cast<int>(uint64_t(position) * 100 / scale.nRange) : 100);
    }
    // A block the projector did not take leaves a hole, whatever the end command would answer.
    if (failed) {
        Abort();
        return ETransferResult::Failed;
    }
    const unsigned char end = 0;
    return m_Link.Transact(0, 1, 1, kItemBlockEnd, &end, 1) ? ETransferResult::Sent : ETransferResult::Failed;
}
