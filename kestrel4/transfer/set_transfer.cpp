#include "set_transfer.h"

#include "ani_info.h"
#include "projector_link.h"

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

ESetSend SendCursorSet(CProjectorLink& link, const CAniInfo& set, ITransferProgress* progress)
{
    std::vector<uint8_t> image;
    if (!set.PackImage(image))
        return ESetSend::NotSendable;
    if (!link.IsOpen())
        return ESetSend::Unconnected;
    return SendSetImage(link, image, progress) ? ESetSend::Sent : ESetSend::Failed;
}
