// Sending a cursor/stamp set image to the projector as a bulk transfer that stops at the
// first block the projector does not take.
#pragma once
#include <cstdint>
#include <vector>

#include "bulk_transfer.h"

class CAniInfo;
class CProjectorLink;

constexpr uint32_t kSetImageAddress = 0x4F2000;

// 1 when the projector took every block and the end; no message is shown here.
int SendSetImage(CProjectorLink& link, const std::vector<uint8_t>& image, ITransferProgress* progress = nullptr);

// Why a set was or was not sent; the page says which.
enum class ESetSend {
    Sent,
    NotSendable, // not eight 32 x 32 frames of 16 colours: nothing goes out
    Unconnected, // no open link: nothing goes out
    Failed,      // the projector did not take it, or the link failed on the way
};
ESetSend SendCursorSet(CProjectorLink& link, const CAniInfo& set, ITransferProgress* progress = nullptr);
