// Sending a cursor/stamp set image to the projector: bulk mode, raised speed, the target
// window announced, the data in blocks, then speed and link mode put back on every path.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class CProjectorLink;

constexpr uint32_t kSetImageAddress = 0x4F2000;
constexpr size_t kTransferBlockSize = 1024;

// What a sender learns while it runs: blocks sent so far, and whether to stop.
class ITransferProgress {
public:
    virtual ~ITransferProgress() {}
    virtual void BlockSent(size_t sent, size_t total) = 0;
    virtual bool Cancelled() = 0;
};

// 1 when the projector took every block and the end; no message is shown here.
int SendSetImage(CProjectorLink& link, const std::vector<uint8_t>& image, ITransferProgress* progress = nullptr);
