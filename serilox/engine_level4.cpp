#include "engine_level4.h"

#include <cstring>

namespace {
const uint32_t kAckWindowMs = 300;
const int kAttempts = 3;
const unsigned long kByteWaitMs = 1000;
const unsigned int kWorkBufferBytes = 65536;
} // namespace

CCommZelqLevel4::CCommZelqLevel4(HWND window, const SSerialProperty& property, SeriloxThreadProc threadProc)
    : CCommZelqLevel4(window, threadProc)
{
    ChangeCommProperty(property);
}

CCommZelqLevel4::CCommZelqLevel4(HWND window, SeriloxThreadProc threadProc)
    : CCommSerial(window, threadProc), m_nLastACKTime(0), m_nLastNAKTime(0), m_nLastPacketTime(0),
      m_nLastDevError(0), m_Activity(false, false)
{
    m_IntInfo.GroupID = 0xFF;
    CCommZelqLevel4::InitializeInstance();
}

CCommZelqLevel4::CCommZelqLevel4() : CCommZelqLevel4(serilox_os::ActiveWindow(), &ASyncThreadCallBack) {}

CCommZelqLevel4::~CCommZelqLevel4()
{
    StopReceiving();
}

void CCommZelqLevel4::StopReceiving()
{
    // Derived engines call this first: the receive thread uses their members.
    if (HasThread())
        CloseSerilox();
}

void CCommZelqLevel4::InitializeInstance()
{
    m_TimeRing.Allocate();
    m_WriteRing.Allocate();
    m_ReadRing.Allocate();
    m_ErrorRing.Allocate();
    m_nLastACKTime = 0;
    m_nLastNAKTime = 0;
    m_nLastPacketTime = 0;
}

void CCommZelqLevel4::SetIntInfo(unsigned char groupId, unsigned char itemId)
{
    m_IntInfo.GroupID = groupId;
    m_IntInfo.ItemID = itemId;
}

CZelqLevel4Packet& CCommZelqLevel4::GetSafeWriteBufferInstance()
{
    CZelqLevel4Packet& record = m_WriteRing.Take();
    record.InitializeInstance();
    return record;
}

CZelqLevel4Packet& CCommZelqLevel4::GetSafeReadBufferInstance()
{
    CZelqLevel4Packet& record = m_ReadRing.Take();
    record.InitializeInstance();
    return record;
}

CZelqLevel4Packet CCommZelqLevel4::GetCheckReadPacket()
{
    std::lock_guard<std::mutex> hold(m_CheckLock);
    return m_CheckRead;
}

CZelqLevel4Packet CCommZelqLevel4::GetCheckWritePacket()
{
    std::lock_guard<std::mutex> hold(m_CheckLock);
    return m_CheckWrite;
}

void CCommZelqLevel4::SetCheckReadPacket(const CZelqLevel4Packet& packet)
{
    std::lock_guard<std::mutex> hold(m_CheckLock);
    m_CheckRead = packet;
}

void CCommZelqLevel4::SetCheckWritePacket(const CZelqLevel4Packet& packet)
{
    std::lock_guard<std::mutex> hold(m_CheckLock);
    m_CheckWrite = packet;
}

void CCommZelqLevel4::PostMessageA(unsigned int message, LPARAM lParam)
{
    serilox_os::PostToWindow(GetWindowHandle(), message, SOURCE_LEVEL4, lParam);
}

LPARAM CCommZelqLevel4::StampTimeText()
{
    STimeText& text = GetSafeTimeBufferInstance();
    GetNowTime(text.text);
    return reinterpret_cast<LPARAM>(text.text);
}

void CCommZelqLevel4::WaitForActivity(uint32_t start, uint32_t limitMs)
{
    uint32_t elapsed = serilox_os::TickSince(start);
    // One millisecond past the limit, so the caller's "exceeds" test is true on return.
    if (elapsed <= limitMs)
        m_Activity.Wait(limitMs - elapsed + 1);
}

// ---- sending ----

int CCommZelqLevel4::SendCommand(const SZelqLevel4Header& header, const CDataInformation& parameter, int waitReply,
                                 unsigned long timeout)
{
    CZelqLevel4Packet packet(parameter.GetSize() + 8);
    packet.SetData(header, parameter);
    return SendCommand(packet.FormerData(), waitReply, timeout);
}

int CCommZelqLevel4::SendCommand(const CDataInformation& frame, int waitReply, unsigned long timeout)
{
    int acknowledged = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        GetWriteNowEvent().Reset();
        // Posted before the write: a quick projector's answer must not reach the window
        // ahead of the command it answers.
        CZelqLevel4Packet& record = GetSafeWriteBufferInstance();
        record = frame;
        record.SetNowTime();
        SetCheckWritePacket(record);
        PostMessageA(UM_PACKET_SENT, reinterpret_cast<LPARAM>(&record));
        SAckMark mark = MarkAcks();
        int written = WriteSerilox(frame, frame.GetSize(), 1);
        SetLastDevError(written);
        GetWriteNowEvent().Set();
        if (written != 0)
            return written;
        uint32_t t0 = serilox_os::TickCount();

        bool awaitReply = false;
        for (;;) {
            if (AckSince(mark)) {
                acknowledged = 1;
                if (!waitReply)
                    return 0;
                awaitReply = true;
                break;
            }
            // A refusal ends the call without an error and without another attempt.
            if (NakSince(mark))
                return 0;
            if (serilox_os::TickSince(t0) > kAckWindowMs) {
                awaitReply = acknowledged && waitReply;
                break;
            }
            WaitForActivity(t0, kAckWindowMs);
        }
        if (!awaitReply)
            continue;

        uint32_t t1 = serilox_os::TickCount();
        while (serilox_os::TickSince(t1) <= timeout) {
            {
                std::lock_guard<std::mutex> hold(m_CheckLock);
                if (m_CheckRead.GetGroupID() == m_CheckWrite.GetGroupID() &&
                    m_CheckRead.GetItemID() == m_CheckWrite.GetItemID()) {
                    int valid = m_CheckRead.IsCheckSumValid();
                    m_CheckRead.InitializeInstance();
                    m_CheckWrite.InitializeInstance();
                    return valid ? 0 : ERR_CHECKSUM;
                }
            }
            WaitForActivity(t1, static_cast<uint32_t>(timeout));
        }
    }
    return acknowledged ? ERR_NO_REPLY : ERR_NO_ACK;
}

int CCommZelqLevel4::SendLevel4Byte(unsigned char byte, unsigned int message)
{
    CDataInformation one(&byte, 1);
    int result = WriteSerilox(one, 1, 5);
    SetLastDevError(result);
    if (result != 0)
        return result;
    PostMessageA(message, StampTimeText());
    return 0;
}

int CCommZelqLevel4::SendACK()
{
    return SendLevel4Byte(ZELQ_ACK, UM_ACK_SENT);
}

int CCommZelqLevel4::SendNAK()
{
    return SendLevel4Byte(ZELQ_NAK, UM_NAK_SENT);
}

// ---- receiving ----

unsigned int CCommZelqLevel4::ASyncThreadCallBack(void* engine)
{
    static_cast<CCommZelqLevel4*>(static_cast<CSerilox*>(engine))->ReceiveLoop();
    return 0;
}

void CCommZelqLevel4::ReceiveLoop()
{
    CDataInformation frame(kWorkBufferBytes);
    while (GetCommFlag() != 1) {
        CDataInformation one(1);
        int result = ReadSerilox(one, 1, kByteWaitMs);
        SetLastDevError(result);
        if (result != 0)
            continue;
        unsigned char byte = one.GetAt(0);
        if (byte == ZELQ_ACK) {
            OnAckByte();
        } else if (byte == ZELQ_NAK) {
            OnNakByte();
        } else if (IsFrameStart(byte)) {
            frame = one;
            result = ObtainCommand(frame);
            SetLastDevError(result);
            if (result != 0)
                OnFrameFailed(frame);
            else
                OnFrameReceived(frame);
        }
        NoteActivity();
    }
}

void CCommZelqLevel4::RecordAck()
{
    SetLastACKTime(serilox_os::TickCount());
    ++m_nAckCount;
}

void CCommZelqLevel4::RecordNak()
{
    SetLastNAKTime(serilox_os::TickCount());
    ++m_nNakCount;
}

void CCommZelqLevel4::OnAckByte()
{
    RecordAck();
    PostMessageA(UM_ACK_RECEIVED, StampTimeText());
}

void CCommZelqLevel4::OnNakByte()
{
    RecordNak();
    PostMessageA(UM_NAK_RECEIVED, StampTimeText());
}

void CCommZelqLevel4::OnFrameFailed(const CDataInformation& gathered)
{
    CErrorPacket& record = GetSafeErrorBufferInstance();
    record.SetPacket(gathered);
    PostMessageA(UM_PACKET_ERROR, reinterpret_cast<LPARAM>(&record));
}

void CCommZelqLevel4::OnFrameReceived(const CDataInformation& frame)
{
    CZelqLevel4Packet& record = GetSafeReadBufferInstance();
    record = frame;
    record.SetNowTime();
    PostMessageA(UM_PACKET_RECEIVED, reinterpret_cast<LPARAM>(&record));
    SetCheckReadPacket(record);
}

int CCommZelqLevel4::ReadMore(CDataInformation& frame, unsigned long count)
{
    CDataInformation part(static_cast<unsigned int>(count));
    int result = ReadSerilox(part, count, kByteWaitMs);
    if (result == 0)
        frame += part;
    return result;
}

int CCommZelqLevel4::ObtainFrame(CDataInformation& frame, unsigned long headerBytes, unsigned int lengthAt,
                                 bool wideLength, unsigned int minimum)
{
    int result = ReadMore(frame, headerBytes);
    if (result != 0)
        return result;
    unsigned int length = wideLength ? (frame.GetAt(lengthAt) << 8 | frame.GetAt(lengthAt + 1)) : frame.GetAt(lengthAt);
    // A length below the fixed part cannot be completed: report the frame as failed and let
    // the thread hunt for the next start byte.
    if (length < minimum)
        return ERR_CHECKSUM;
    result = ReadMore(frame, length - frame.GetSize());
    if (result != 0)
        return result;
    CDataInformation body(frame);
    body.SetSize(frame.GetSize() - 1);
    return CZelqLevel4Packet::CalcCheckSum(body) == frame.GetAt(frame.GetSize() - 1) ? 0 : ERR_CHECKSUM;
}

int CCommZelqLevel4::ObtainCommand(CDataInformation& frame)
{
    return ObtainFrame(frame, 4, 1, false, 6);
}
