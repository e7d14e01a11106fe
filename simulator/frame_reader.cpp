#include "frame_reader.h"

#include "packets.h"

namespace {
const uint8_t kAck = 0x06;
const uint8_t kNak = 0x15;
const uint8_t kStartShort = 0x1B;
const uint8_t kStartStack = 0x1D;
} // namespace

CFrameReader::CFrameReader(bool bAsic, long long nStallLimitUs) : m_bAsic(bAsic), m_nStallLimitUs(nStallLimitUs) {}

unsigned int CFrameReader::HeadSize(EFrameKind kind)
{
    switch (kind) {
    case EFrameKind::Short:
        return 5;
    case EFrameKind::Stack:
        return 7;
    case EFrameKind::Asic:
        return 6;
    }
    return 5;
}

unsigned int CFrameReader::MinimumLength(EFrameKind kind)
{
    switch (kind) {
    case EFrameKind::Short:
        return 6;
    case EFrameKind::Stack:
        return 8;
    case EFrameKind::Asic:
        return 7;
    }
    return 6;
}

unsigned int CFrameReader::AnnouncedLength(EFrameKind kind, const uint8_t* head)
{
    if (kind == EFrameKind::Short)
        return head[1];
    return (static_cast<unsigned int>(head[1]) << 8) | head[2];
}

bool CFrameReader::ChecksumRight(const std::vector<uint8_t>& frame)
{
    if (frame.size() < 2)
        return false;
    CDataInformation body(frame.data(), static_cast<unsigned int>(frame.size()));
    body.SetSize(body.GetSize() - 1);
    return CZelqLevel4Packet::CalcCheckSum(body) == frame.back();
}

void CFrameReader::Finish(ERxEvent type, std::vector<SRxEvent>& out)
{
    out.push_back(SRxEvent{type, m_eKind, std::move(m_Buffer)});
    m_Buffer.clear();
    m_bInFrame = false;
    m_nExpected = 0;
}

void CFrameReader::Feed(uint8_t byte, long long nowUs, std::vector<SRxEvent>& out)
{
    Poll(nowUs, out);
    m_nLastByteUs = nowUs;
    if (!m_bInFrame) {
        if (byte == kAck) {
            out.push_back(SRxEvent{ERxEvent::Ack, EFrameKind::Short, {byte}});
        } else if (byte == kNak) {
            out.push_back(SRxEvent{ERxEvent::Nak, EFrameKind::Short, {byte}});
        } else if (byte == kStartShort || (byte == kStartStack && !m_bAsic)) {
            m_bInFrame = true;
            m_eKind = m_bAsic ? EFrameKind::Asic : byte == kStartStack ? EFrameKind::Stack : EFrameKind::Short;
            m_nExpected = 0;
            m_Buffer.assign(1, byte);
        } else {
            out.push_back(SRxEvent{ERxEvent::Stray, EFrameKind::Short, {byte}});
        }
        return;
    }
    m_Buffer.push_back(byte);
    if (m_nExpected == 0 && m_Buffer.size() == HeadSize(m_eKind)) {
        unsigned int length = AnnouncedLength(m_eKind, m_Buffer.data());
        // Such a head can never complete; the next byte is hunted for a start again.
        if (length < MinimumLength(m_eKind)) {
            Finish(ERxEvent::BadLength, out);
            return;
        }
        m_nExpected = length;
    }
    if (m_nExpected != 0 && m_Buffer.size() == m_nExpected)
        Finish(ChecksumRight(m_Buffer) ? ERxEvent::Frame : ERxEvent::BadChecksum, out);
}

void CFrameReader::Poll(long long nowUs, std::vector<SRxEvent>& out)
{
    if (m_bInFrame && nowUs - m_nLastByteUs > m_nStallLimitUs)
        Finish(ERxEvent::Stalled, out);
}

long long CFrameReader::Deadline() const
{
    return m_bInFrame ? m_nLastByteUs + m_nStallLimitUs + 1 : -1;
}
