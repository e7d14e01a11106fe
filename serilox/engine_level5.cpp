#include "engine_level5.h"

namespace {
const uint32_t kAckWindowMs = 300;
const int kAttempts = 3;
} // namespace

CCommZelqLevel5::CCommZelqLevel5(HWND window, const SSerialProperty& property, SeriloxThreadProc)
    : CCommZelqLevel4(window, property, &ASyncThreadCallBack)
{
    CCommZelqLevel5::InitializeInstance();
}

CCommZelqLevel5::CCommZelqLevel5(HWND window, SeriloxThreadProc)
    : CCommZelqLevel4(window, &ASyncThreadCallBack)
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
    // This engine keeps its frames in the Level 5 rings; the Level 4 ones only count.
    m_WriteRing.Release();
    m_ReadRing.Release();
}

void CCommZelqLevel5::PostMessageA(unsigned int message, LPARAM lParam)
{
    serilox_os::PostToWindow(GetWindowHandle(), message, SOURCE_LEVEL5, lParam);
}

CZelqLevel5Packet CCommZelqLevel5::GetCheckReadPacket()
{
    std::lock_guard<std::mutex> hold(m_CheckLock);
    return m_CheckRead5;
}

CZelqLevel5Packet CCommZelqLevel5::GetCheckWritePacket()
{
    std::lock_guard<std::mutex> hold(m_CheckLock);
    return m_CheckWrite5;
}

void CCommZelqLevel5::SetCheckReadPacket(const CZelqLevel5Packet& packet)
{
    std::lock_guard<std::mutex> hold(m_CheckLock);
    m_CheckRead5 = packet;
}

void CCommZelqLevel5::SetCheckWritePacket(const CZelqLevel5Packet& packet)
{
    std::lock_guard<std::mutex> hold(m_CheckLock);
    m_CheckWrite5 = packet;
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
    int acknowledged = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        {
            std::lock_guard<std::mutex> hold(m_CheckLock);
            m_CheckRead5.InitializeInstance();
            m_CheckWrite5.InitializeInstance();
            m_CheckWrite5 = frame;
        }
        // Posted before the write, so the answer never reaches the window ahead of it.
        CZelqLevel5Packet& record = GetSafeWriteBufferInstance();
        record = frame;
        record.SetNowTime();
        PostMessageA(UM_PACKET_SENT, reinterpret_cast<LPARAM>(&record));
        SAckMark mark = MarkAcks();
        int written = WriteSerilox(frame, frame.GetSize(), 1);
        SetLastDevError(written);
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
            // A NAK is a failed attempt here: the frame goes out again.
            if (NakSince(mark) || serilox_os::TickSince(t0) > kAckWindowMs) {
                awaitReply = acknowledged && waitReply;
                break;
            }
            WaitForActivity(t0, kAckWindowMs);
        }
        if (!awaitReply)
            continue;

        uint32_t t1 = serilox_os::TickCount();
        bool retry = false;
        while (!retry) {
            if (serilox_os::TickSince(t1) > timeout)
                return ERR_NO_REPLY;
            {
                std::lock_guard<std::mutex> hold(m_CheckLock);
                if (m_CheckRead5.GetGroupID() == m_CheckWrite5.GetGroupID() &&
                    m_CheckRead5.GetItemID() == m_CheckWrite5.GetItemID()) {
                    bool empty = m_CheckRead5.FormerData().GetSize() == 0;
                    int valid = !empty && m_CheckRead5.IsCheckSumValid();
                    m_CheckRead5.InitializeInstance();
                    m_CheckWrite5.InitializeInstance();
                    if (empty)
                        retry = true;
                    else
                        return valid ? 0 : ERR_CHECKSUM;
                }
            }
            if (!retry)
                WaitForActivity(t1, static_cast<uint32_t>(timeout));
        }
    }
    return ERR_NO_ACK;
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
    SetLastPacketTime(serilox_os::TickCount());
}

int CCommZelqLevel5::ObtainCommand(CDataInformation& frame)
{
    if (frame.GetAt(0) == 0x1D)
        return ObtainFrame(frame, 6, 1, true, 8);
    return ObtainFrame(frame, 4, 1, false, 6);
}
