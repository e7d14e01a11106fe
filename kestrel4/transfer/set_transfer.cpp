#include "set_transfer.h"

#include <algorithm>

#include "projector_link.h"
#include "zelq_items.h"

namespace {

// Each block is the 24-bit target address followed by up to 1024 bytes; a failed or
// cancelled block aborts, otherwise the end marker decides.
int SendBlocks(CProjectorLink& link, uint32_t address, const std::vector<uint8_t>& data, ITransferProgress* progress)
{
    size_t total = (data.size() + kTransferBlockSize - 1) / kTransferBlockSize;
    std::vector<unsigned char> block;
    for (size_t index = 0; index < total; ++index) {
        size_t offset = index * kTransferBlockSize;
        size_t length = std::min(kTransferBlockSize, data.size() - offset);
        block.assign(3, 0);
        PutBigEndian(address + static_cast<uint32_t>(offset), 3, block.data());
        block.insert(block.end(), data.begin() + static_cast<std::ptrdiff_t>(offset),
                     data.begin() + static_cast<std::ptrdiff_t>(offset + length));
        bool sent = (!progress || !progress->Cancelled()) &&
                    link.Transact(1, 1, 1, kItemBlockData, block.data(), static_cast<unsigned int>(block.size()));
        if (!sent) {
            const unsigned char abort = 1;
            link.Transact(0, 1, 1, kItemBlockEnd, &abort, 1);
            return 0;
        }
        if (progress)
            progress->BlockSent(index + 1, total);
    }
    const unsigned char end = 0;
    return link.Transact(0, 1, 1, kItemBlockEnd, &end, 1);
}

} // namespace

int SendSetImage(CProjectorLink& link, const std::vector<uint8_t>& image, ITransferProgress* progress)
{
    if (!link.SetLinkMode(2))
        return 0;
    int ok = link.RaiseSpeed() && link.PrepareBlocks(kSetImageAddress, static_cast<uint32_t>(image.size())) &&
             SendBlocks(link, kSetImageAddress, image, progress);
    link.RestoreSpeed();
    if (!link.SetLinkMode(0))
        ok = 0;
    return ok;
}
