#include "engine_asic.h"

CCommASIC::CCommASIC(HWND window, const SSerialProperty& property, SeriloxThreadProc threadProc)
    : CCommASIC(window, threadProc)
{
    ChangeCommProperty(property);
}

CCommASIC::CCommASIC(HWND window, SeriloxThreadProc threadProc) : CCommZelqLevel4(window, threadProc, OWN_RECORDS)
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
    SSendRules rules(waitReply, replyTimeout);
    rules.nWriteRetries = 10;
    rules.bWaitAck = waitAck != 0;
    rules.nAckWindowMs = static_cast<uint32_t>(ackTimeout);
    return SendFrame(frame, rules);
}

CZelqLevel4Packet& CCommASIC::RecordSentFrame(const CDataInformation& frame)
{
    CASICPacket& record = Stamp(GetSafeWriteBufferInstance(), frame);
    Locked(m_CheckWriteA, record);
    return record;
}

void CCommASIC::OnFrameReceived(const CDataInformation& frame)
{
    CASICPacket& record = GetSafeReadBufferInstance();
    record = frame;
    record.SetNowTime();
    PostMessageA(UM_PACKET_RECEIVED, reinterpret_cast<LPARAM>(&record));
    Locked(m_CheckReadA, record);
}

int CCommASIC::ObtainCommand(CDataInformation& frame)
{
    return ObtainFrame(frame, 5, 1, true, 7);
}
