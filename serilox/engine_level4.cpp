#include "engine_level4.h"

#include <cstring>

namespace {
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
    : CCommZelqLevel4(window, threadProc, LEVEL4_RECORDS)
{
}

CCommZelqLevel4::CCommZelqLevel4(HWND window, SeriloxThreadProc threadProc, ERecordRings rings)
    : CCommSerial(window, threadProc), m_eRecordRings(rings), m_nLastACKTime(0), m_nLastNAKTime(0),
      m_nLastPacketTime(0), m_nLastDevError(0), m_Activity(false, false)
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
    m_ErrorRing.Allocate();
    if (m_eRecordRings == LEVEL4_RECORDS) {
        m_WriteRing.Allocate();
        m_ReadRing.Allocate();
    } else {
        m_WriteRing.SetNumber(0);
        m_ReadRing.SetNumber(0);
    }
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
    uint32_t elapsed = MsSince(start);
    // One millisecond past the limit, so the caller's "exceeds" test is true on return.
    if (elapsed <= limitMs)
        GetClock().Wait(m_Activity, limitMs - elapsed + 1);
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
    return SendFrame(frame, SSendRules(waitReply, timeout));
}

int CCommZelqLevel4::SendFrame(const CDataInformation& frame, const SSendRules& rules)
{
    bool acknowledged = false;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (rules.bLevel5Attempts)
            ForgetReply();
        SAckMark mark = MarkAcks();
        int written = WriteCommand(frame, rules);
        if (written != 0)
            return written;
        // With neither wait there is nothing to wait for: the write is the whole command.
        if (!rules.bWaitAck && !rules.bWaitReply)
            return 0;
        uint32_t t0 = GetClock().TickCount();

        bool awaitReply = rules.bWaitReply;
        while (rules.bWaitAck) {
            if (IsDeviceLost())
                return DeviceLost();
            if (AckSince(mark)) {
                acknowledged = true;
                if (!rules.bWaitReply)
                    return 0;
                break;
            }
            // A refusal ends the call without an error and without another attempt, except
            // at Level 5, where it is a failed attempt.
            if (NakSince(mark) && !rules.bLevel5Attempts)
                return 0;
            if (NakSince(mark) || MsSince(t0) > rules.nAckWindowMs) {
                awaitReply = acknowledged && rules.bWaitReply;
                break;
            }
            WaitForActivity(t0, rules.nAckWindowMs);
        }
        if (!awaitReply)
            continue;

        uint32_t t1 = GetClock().TickCount();
        for (;;) {
            if (IsDeviceLost())
                return DeviceLost();
            EReply reply = TakeReply();
            if (reply == REPLY_GOOD)
                return 0;
            // Both check packets cleared match each other: at Level 5 the attempt is repeated.
            if (reply == REPLY_BAD || (reply == REPLY_EMPTY && !rules.bLevel5Attempts))
                return ERR_CHECKSUM;
            if (reply == REPLY_EMPTY)
                break;
            if (MsSince(t1) > rules.nReplyTimeoutMs) {
                if (rules.bLevel5Attempts)
                    return ERR_NO_REPLY;
                break;
            }
            WaitForActivity(t1, static_cast<uint32_t>(rules.nReplyTimeoutMs));
        }
    }
    return acknowledged && !rules.bLevel5Attempts ? ERR_NO_REPLY : ERR_NO_ACK;
}

int CCommZelqLevel4::WriteCommand(const CDataInformation& frame, const SSendRules& rules)
{
    std::lock_guard<std::mutex> order(m_PostOrder);
    if (rules.bMarkWriting)
        GetWriteNowEvent().Reset();
    int written = WriteSerilox(frame, frame.GetSize(), rules.nWriteRetries);
    SetLastDevError(written);
    if (written == 0)
        PostMessageA(UM_PACKET_SENT, reinterpret_cast<LPARAM>(&RecordSentFrame(frame)));
    if (rules.bMarkWriting)
        GetWriteNowEvent().Set();
    return written;
}

CZelqLevel4Packet& CCommZelqLevel4::RecordSentFrame(const CDataInformation& frame)
{
    CZelqLevel4Packet& record = Stamp(GetSafeWriteBufferInstance(), frame);
    SetCheckWritePacket(record);
    return record;
}

CCommZelqLevel4::EReply CCommZelqLevel4::TakeReply()
{
    std::lock_guard<std::mutex> hold(m_CheckLock);
    CZelqLevel4Packet* read = GetCheckReadPacketPtr();
    CZelqLevel4Packet* write = GetCheckWritePacketPtr();
    if (read->GetGroupID() != write->GetGroupID() || read->GetItemID() != write->GetItemID())
        return REPLY_NONE;
    EReply reply = read->FormerData().GetSize() == 0 ? REPLY_EMPTY : read->IsCheckSumValid() ? REPLY_GOOD : REPLY_BAD;
    read->InitializeInstance();
    write->InitializeInstance();
    return reply;
}

void CCommZelqLevel4::ForgetReply()
{
    std::lock_guard<std::mutex> hold(m_CheckLock);
    GetCheckReadPacketPtr()->InitializeInstance();
}

int CCommZelqLevel4::DeviceLost()
{
    SetLastDevError(ERR_DEVICE);
    return ERR_DEVICE;
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
        if (IsDeviceLost()) {
            // Nothing will ever arrive again: end here rather than poll a dead line. A waiting
            // sender learns of it at once.
            NoteActivity();
            return;
        }
        if (result != 0)
            continue;
        unsigned char byte = one.GetAt(0);
        bool frameStart = IsFrameStart(byte);
        if (frameStart) {
            frame = one;
            result = ObtainCommand(frame);
            SetLastDevError(result);
        }
        {
            std::lock_guard<std::mutex> order(m_PostOrder);
            if (byte == ZELQ_ACK)
                OnAckByte();
            else if (byte == ZELQ_NAK)
                OnNakByte();
            else if (frameStart && result != 0)
                OnFrameFailed(frame);
            else if (frameStart)
                OnFrameReceived(frame);
        }
        NoteActivity();
    }
}

void CCommZelqLevel4::RecordAck()
{
    SetLastACKTime(GetClock().TickCount());
    ++m_nAckCount;
}

void CCommZelqLevel4::RecordNak()
{
    SetLastNAKTime(GetClock().TickCount());
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
