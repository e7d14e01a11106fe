#include "engine_level5.h"

CCommZelqLevel5::CCommZelqLevel5(HWND window, const SSerialProperty& property, SeriloxThreadProc threadProc)
    : CCommZelqLevel5(window, threadProc)
{
    ChangeCommProperty(property);
}

CCommZelqLevel5::CCommZelqLevel5(HWND window, SeriloxThreadProc)
    : CCommZelqLevel4(window, &ASyncThreadCallBack, OWN_RECORDS)
{
    CCommZelqLevel5::InitializeInstance();
}

CCommZelqLevel5::CCommZelqLevel5() : CCommZelqLevel5(serilox_os::ActiveWindow(), &ASyncThreadCallBack) {}

CCommZelqLevel5::~CCommZelqLevel5()
{
    StopReceiving();
}

void CCommZelqLevel5::InitializeInstance()
{
    m_WriteRing5.Allocate();
    m_ReadRing5.Allocate();
}

void CCommZelqLevel5::PostMessageA(unsigned int message, LPARAM lParam)
{
    serilox_os::PostToWindow(GetWindowHandle(), message, SOURCE_LEVEL5, lParam);
}

// ---- sending ----

int CCommZelqLevel5::SendCommand(const SZelqLevel5Header& header, const CDataInformation& parameter, int waitReply,
                                 unsigned long timeout)
{
    CZelqLevel5Packet packet(parameter.GetSize() + 8);
    packet.SetData(header, parameter);
    return SendCommand(packet.FormerData(), waitReply, timeout);
}

int CCommZelqLevel5::SendCommand(const CDataInformation& frame, int waitReply, unsigned long timeout)
{
    SSendRules rules(waitReply, timeout);
    rules.bMarkWriting = false;
    rules.bLevel5Attempts = true;
    return SendFrame(frame, rules);
}

CZelqLevel4Packet& CCommZelqLevel5::RecordSentFrame(const CDataInformation& frame)
{
    CZelqLevel5Packet& record = Stamp(GetSafeWriteBufferInstance(), frame);
    SetCheckWritePacket(record);
    return record;
}

int CCommZelqLevel5::WriteByte(unsigned char byte)
{
    CDataInformation one(&byte, 1);
    int result = WriteSerilox(one, 1, 5);
    SetLastDevError(result);
    return result;
}

int CCommZelqLevel5::SendACK()
{
    return WriteByte(ZELQ_ACK);
}

int CCommZelqLevel5::SendNAK()
{
    return WriteByte(ZELQ_NAK);
}

// ---- receiving ----

unsigned int CCommZelqLevel5::ASyncThreadCallBack(void* engine)
{
    static_cast<CCommZelqLevel5*>(static_cast<CSerilox*>(engine))->ReceiveLoop();
    return 0;
}

void CCommZelqLevel5::OnAckByte()
{
    PostMessageA(UM_ACK_RECEIVED, StampTimeText());
    RecordAck();
}

void CCommZelqLevel5::OnNakByte()
{
    LPARAM text = StampTimeText();
    RecordNak();
    PostMessageA(UM_NAK_RECEIVED, text);
}

void CCommZelqLevel5::OnFrameFailed(const CDataInformation& gathered)
{
    CErrorPacket& record = GetSafeErrorBufferInstance();
    record.SetPacket(gathered);
    SendNAK();
    PostMessageA(UM_PACKET_ERROR, reinterpret_cast<LPARAM>(&record));
    PostMessageA(UM_NAK_SENT, StampTimeText());
}

void CCommZelqLevel5::OnFrameReceived(const CDataInformation& frame)
{
    CZelqLevel5Packet& record = GetSafeReadBufferInstance();
    record = frame;
    record.SetNowTime();
    SendACK();
    PostMessageA(UM_PACKET_RECEIVED, reinterpret_cast<LPARAM>(&record));
    PostMessageA(UM_ACK_SENT, StampTimeText());
    {
        std::lock_guard<std::mutex> hold(m_CheckLock);
        if (record.GetGroupID() == m_CheckWrite5.GetGroupID() && record.GetItemID() == m_CheckWrite5.GetItemID())
            m_CheckRead5 = record;
    }
    SetLastPacketTime(GetClock().TickCount());
}

int CCommZelqLevel5::ObtainCommand(CDataInformation& frame)
{
    if (frame.GetAt(0) == 0x1D)
        return ObtainFrame(frame, 6, 1, true, 8);
    return ObtainFrame(frame, 4, 1, false, 6);
}
