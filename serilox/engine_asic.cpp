#include "engine_asic.h"

namespace {
const int kAttempts = 3;
} // namespace

CCommASIC::CCommASIC(HWND window, const SSerialProperty& property, SeriloxThreadProc threadProc)
    : CCommZelqLevel4(window, property, threadProc)
{
    CCommASIC::InitializeInstance();
}

CCommASIC::CCommASIC(HWND window, SeriloxThreadProc threadProc) : CCommZelqLevel4(window, threadProc)
{
    CCommASIC::InitializeInstance();
}

CCommASIC::CCommASIC() : CCommASIC(serilox_os::ActiveWindow(), &ASyncThreadCallBack) {}

CCommASIC::~CCommASIC()
{
    StopReceiving();
}

void CCommASIC::InitializeInstance()
{
    m_WriteRingA.Allocate();
    m_ReadRingA.Allocate();
    m_WriteRing.Release();
    m_ReadRing.Release();
}

void CCommASIC::PostMessageA(unsigned int message, LPARAM lParam)
{
    serilox_os::PostToWindow(GetWindowHandle(), message, SOURCE_ASIC, lParam);
}

unsigned int CCommASIC::ASyncThreadCallBack(void* engine)
{
    static_cast<CCommASIC*>(static_cast<CSerilox*>(engine))->ReceiveLoop();
    return 0;
}

int CCommASIC::SendCommand(const SZelqLevel4Header& header, const CDataInformation& parameter, int waitAck,
                           int waitReply, unsigned long ackTimeout, unsigned long replyTimeout)
{
    CASICPacket packet(parameter.GetSize() + 8);
    packet.SetData(header, parameter);
    return SendCommand(packet.FormerData(), waitAck, ackTimeout, waitReply, replyTimeout);
}

int CCommASIC::SendCommand(const CDataInformation& frame, int waitAck, unsigned long ackTimeout, int waitReply,
                           unsigned long replyTimeout)
{
    int acknowledged = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        GetWriteNowEvent().Reset();
        // Posted before the write, so the answer never reaches the window ahead of it.
        CASICPacket& record = GetSafeWriteBufferInstance();
        record = frame;
        record.SetNowTime();
        {
            std::lock_guard<std::mutex> hold(m_CheckLock);
            m_CheckWriteA = record;
        }
        PostMessageA(UM_PACKET_SENT, reinterpret_cast<LPARAM>(&record));
        SAckMark mark = MarkAcks();
        int written = WriteSerilox(frame, frame.GetSize(), 10);
        SetLastDevError(written);
        GetWriteNowEvent().Set();
        if (written != 0)
            return written;
        uint32_t t0 = serilox_os::TickCount();

        // With neither wait there is nothing to wait for: the write is the whole command.
        if (!waitAck && !waitReply)
            return 0;
        bool awaitReply = waitReply != 0;
        if (waitAck) {
            for (;;) {
                if (AckSince(mark)) {
                    acknowledged = 1;
                    if (!waitReply)
                        return 0;
                    break;
                }
                if (NakSince(mark))
                    return 0;
                if (serilox_os::TickSince(t0) > ackTimeout) {
                    awaitReply = acknowledged && waitReply;
                    break;
                }
                WaitForActivity(t0, static_cast<uint32_t>(ackTimeout));
            }
        }
        if (!awaitReply)
            continue;

        uint32_t t1 = serilox_os::TickCount();
        while (serilox_os::TickSince(t1) <= replyTimeout) {
            {
                std::lock_guard<std::mutex> hold(m_CheckLock);
                if (m_CheckReadA.GetGroupID() == m_CheckWriteA.GetGroupID() &&
                    m_CheckReadA.GetItemID() == m_CheckWriteA.GetItemID()) {
                    int valid = m_CheckReadA.IsCheckSumValid();
                    m_CheckReadA.InitializeInstance();
                    m_CheckWriteA.InitializeInstance();
                    return valid ? 0 : ERR_CHECKSUM;
                }
            }
            WaitForActivity(t1, static_cast<uint32_t>(replyTimeout));
        }
    }
    return acknowledged ? ERR_NO_REPLY : ERR_NO_ACK;
}

void CCommASIC::OnFrameReceived(const CDataInformation& frame)
{
    CASICPacket& record = GetSafeReadBufferInstance();
    record = frame;
    record.SetNowTime();
    PostMessageA(UM_PACKET_RECEIVED, reinterpret_cast<LPARAM>(&record));
    std::lock_guard<std::mutex> hold(m_CheckLock);
    m_CheckReadA = record;
}

int CCommASIC::ObtainCommand(CDataInformation& frame)
{
    return ObtainFrame(frame, 5, 1, true, 7);
}
