#include "set_transfer.h"

namespace {

class CUnwatchedProgress : public ITransferProgress {
public:
    void Progress(uint32_t, int) override {}
    bool Cancelled() override { return false; }
};

} // namespace

int SendSetImage(CProjectorLink& link, const std::vector<uint8_t>& image, ITransferProgress* progress)
{
    CUnwatchedProgress unwatched;
    CBulkTransfer transfer(link, progress ? *progress : unwatched, EFailedBlock::Abort);
    return transfer.Send(image, kSetImageAddress, static_cast<uint32_t>(image.size())) == ETransferResult::Sent;
}
