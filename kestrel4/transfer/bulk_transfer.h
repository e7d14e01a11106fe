// A bulk transfer to the projector: transfer mode, raised line speed, prepared block area,
// blocks of 1024 bytes behind their 24-bit addresses, and the closing command that decides
// success; speed and mode are restored on every path once the transfer mode was accepted.
#pragma once
#include <cstdint>
#include <vector>

class CProjectorLink;

// What the transfer reports to and asks of whoever shows its progress.
class ITransferProgress {
public:
    virtual ~ITransferProgress() {}
    // Bar position in units of the scale's factor, and the percent shown beside it.
    virtual void Progress(uint32_t position, int percent) = 0;
    // Polled after every block; the user asked to stop.
    virtual bool Cancelled() = 0;
};

// A progress control holds at most 65535: bigger sizes count in units of 100 (or 10000...).
struct SProgressScale {
    uint32_t nRange;
    uint32_t nFactor;
};
SProgressScale ScaleProgress(uint32_t size);

enum class ETransferResult { Sent, Failed, Cancelled };

// What a block the projector did not take means: a logo goes on with the rest (the projector
// is told to abort at the end); a cursor/stamp set stops there and tells it to abort. Either
// way the transfer has failed, and three blocks in a row without an answer end it at once.
enum class EFailedBlock { Continue, Abort };

constexpr uint32_t kBlockBytes = 1024;
// A pulled cable must not ask about each of hundreds of blocks.
constexpr unsigned int kMaxSilentBlocks = 3;

class CBulkTransfer {
public:
    CBulkTransfer(CProjectorLink& link, ITransferProgress& progress, EFailedBlock onFailedBlock = EFailedBlock::Continue)
        : m_Link(link), m_Progress(progress), m_eFailedBlock(onFailedBlock)
    {
    }

    // Sends data to the projector at base, preparing an area of areaLength bytes first.
    ETransferResult Send(const std::vector<uint8_t>& data, uint32_t base, uint32_t areaLength);

private:
    ETransferResult SendBlocks(const std::vector<uint8_t>& data, uint32_t base);
    void Abort();

    CProjectorLink& m_Link;
    ITransferProgress& m_Progress;
    EFailedBlock m_eFailedBlock;
};
