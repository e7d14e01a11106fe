// CCommZelqLevel5: Level 5 short and stack frames. Its receive thread acknowledges every
// frame itself and keeps only the reply that matches the outstanding command.
#pragma once
#include "engine_level4.h"

class SERILOX_API CCommZelqLevel5 : public CCommZelqLevel4 {
public:
    CCommZelqLevel5(HWND window, const SSerialProperty& property, SeriloxThreadProc threadProc);
    CCommZelqLevel5(HWND window, SeriloxThreadProc threadProc);
    CCommZelqLevel5();
    ~CCommZelqLevel5() override;

    int SendCommand(const SZelqLevel5Header& header, const CDataInformation& parameter, int waitReply,
                    unsigned long timeout);
    int SendCommand(const CDataInformation& frame, int waitReply, unsigned long timeout);
    // Unlike Level 4 these post nothing: the receive thread posts for its own answers.
    int SendACK();
    int SendNAK();

    static unsigned int ASyncThreadCallBack(void* engine);

protected:
    int ObtainCommand(CDataInformation& frame) override;
    void PostMessageA(unsigned int message, LPARAM lParam) override;
    void InitializeInstance() override;

    bool IsFrameStart(unsigned char byte) const override { return byte == 0x1B || byte == 0x1D; }
    void OnAckByte() override;
    void OnNakByte() override;
    void OnFrameFailed(const CDataInformation& gathered) override;
    void OnFrameReceived(const CDataInformation& frame) override;
    CZelqLevel4Packet& RecordSentFrame(const CDataInformation& frame) override;
    CZelqLevel5Packet* GetCheckReadPacketPtr() override { return &m_CheckRead5; }
    CZelqLevel5Packet* GetCheckWritePacketPtr() override { return &m_CheckWrite5; }

    CZelqLevel5Packet& GetSafeWriteBufferInstance() { return m_WriteRing5.At(TakeWriteSlot()); }
    CZelqLevel5Packet& GetSafeReadBufferInstance() { return m_ReadRing5.At(TakeReadSlot()); }
    CZelqLevel5Packet* GetWriteBufferAddress() { return m_WriteRing5.Address(); }
    CZelqLevel5Packet* GetReadBufferAddress() { return m_ReadRing5.Address(); }

    CZelqLevel5Packet GetCheckReadPacket() { return Locked(m_CheckRead5); }
    CZelqLevel5Packet GetCheckWritePacket() { return Locked(m_CheckWrite5); }
    void SetCheckReadPacket(const CZelqLevel5Packet& packet) { Locked(m_CheckRead5, packet); }
    void SetCheckWritePacket(const CZelqLevel5Packet& packet) { Locked(m_CheckWrite5, packet); }

private:
    int WriteByte(unsigned char byte);

    CZelqLevel5Packet m_CheckRead5;
    CZelqLevel5Packet m_CheckWrite5;
    CRing<CZelqLevel5Packet> m_WriteRing5;
    CRing<CZelqLevel5Packet> m_ReadRing5;
};
