// CCommASIC: the ASIC channel. Frames with a 16-bit length, the Level 4 acknowledgement
// bytes, and separate caller-chosen limits for the acknowledgement and the reply.
#pragma once
#include "engine_level4.h"

class SERILOX_API CCommASIC : public CCommZelqLevel4 {
public:
    CCommASIC(HWND window, const SSerialProperty& property, SeriloxThreadProc threadProc);
    CCommASIC(HWND window, SeriloxThreadProc threadProc);
    CCommASIC();
    ~CCommASIC() override;

    // Note the argument order: the header form takes both flags, then both limits.
    int SendCommand(const SZelqLevel4Header& header, const CDataInformation& parameter, int waitAck, int waitReply,
                    unsigned long ackTimeout, unsigned long replyTimeout);
    int SendCommand(const CDataInformation& frame, int waitAck, unsigned long ackTimeout, int waitReply,
                    unsigned long replyTimeout);

    static unsigned int ASyncThreadCallBack(void* engine);

protected:
    int ObtainCommand(CDataInformation& frame) override;
    void PostMessageA(unsigned int message, LPARAM lParam) override;
    void InitializeInstance() override;
    void OnFrameReceived(const CDataInformation& frame) override;
    CZelqLevel4Packet& RecordSentFrame(const CDataInformation& frame) override;
    CASICPacket* GetCheckReadPacketPtr() override { return &m_CheckReadA; }
    CASICPacket* GetCheckWritePacketPtr() override { return &m_CheckWriteA; }

    CASICPacket& GetSafeWriteBufferInstance() { return m_WriteRingA.At(TakeWriteSlot()); }
    CASICPacket& GetSafeReadBufferInstance() { return m_ReadRingA.At(TakeReadSlot()); }
    CASICPacket* GetWriteBufferAddress() { return m_WriteRingA.Address(); }
    CASICPacket* GetReadBufferAddress() { return m_ReadRingA.Address(); }

private:
    CASICPacket m_CheckReadA;
    CASICPacket m_CheckWriteA;
    CRing<CASICPacket> m_WriteRingA;
    CRing<CASICPacket> m_ReadRingA;
};
