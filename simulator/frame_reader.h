// Splits the byte stream that arrives from the computer into frames, acknowledgement bytes
// and stray bytes, as a projector's receiver would.
#pragma once
#include <cstdint>
#include <vector>

enum class EFrameKind { Short, Stack, Asic };

enum class ERxEvent {
    Frame,       // complete, checksum right
    BadChecksum, // complete, checksum wrong
    BadLength,   // length field below the frame's fixed size
    Stalled,     // the rest of a started frame did not arrive in time
    Ack,
    Nak,
    Stray, // a byte outside any frame
};

struct SRxEvent {
    ERxEvent eType;
    EFrameKind eKind; // for the frame events
    std::vector<uint8_t> bytes;
};

class CFrameReader {
public:
    // In ASIC mode 0x1B starts a frame with a 16-bit length and 0x1D is an ordinary byte.
    CFrameReader(bool bAsic, long long nStallLimitUs);

    void Feed(uint8_t byte, long long nowUs, std::vector<SRxEvent>& out);
    // Gives up a frame whose next byte is overdue.
    void Poll(long long nowUs, std::vector<SRxEvent>& out);
    // When Poll would give up the frame in progress, or -1 when none is.
    long long Deadline() const;

    static unsigned int HeadSize(EFrameKind kind);      // start byte and header up to the length's end
    static unsigned int MinimumLength(EFrameKind kind); // a frame without parameter
    // Total length announced by a frame head of at least HeadSize bytes.
    static unsigned int AnnouncedLength(EFrameKind kind, const uint8_t* head);
    static bool ChecksumRight(const std::vector<uint8_t>& frame);

private:
    void Finish(ERxEvent type, std::vector<SRxEvent>& out);

    bool m_bAsic;
    long long m_nStallLimitUs;
    bool m_bInFrame = false;
    EFrameKind m_eKind = EFrameKind::Short;
    unsigned int m_nExpected = 0; // 0 until the head is complete
    long long m_nLastByteUs = 0;
    std::vector<uint8_t> m_Buffer;
};
