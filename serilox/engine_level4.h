// CCommZelqLevel4: sends Level 4 command frames, waits for the one-byte acknowledgement and
// the matching reply, and runs the receive thread that checks every incoming frame and
// reports each event to the window in the order it happened.
#pragma once
#include <atomic>
#include <mutex>

#include "packets.h"
#include "ring.h"
#include "serial_device.h"

class SERILOX_API CCommZelqLevel4 : public CCommSerial {
public:
    CCommZelqLevel4(HWND window, const SSerialProperty& property, SeriloxThreadProc threadProc);
    CCommZelqLevel4(HWND window, SeriloxThreadProc threadProc);
    CCommZelqLevel4();
    ~CCommZelqLevel4() override;

    int SendCommand(const SZelqLevel4Header& header, const CDataInformation& parameter, int waitReply,
                    unsigned long timeout);
    int SendCommand(const CDataInformation& frame, int waitReply, unsigned long timeout);
    int SendACK();
    int SendNAK();

    static unsigned int ASyncThreadCallBack(void* engine);

    SZelqLevel4Header GetIntInfo() const { return m_IntInfo; }
    void InitIntInfo() { m_IntInfo.GroupID = 0xFF; }
    int IsThereInt() const { return m_IntInfo.GroupID != 0xFF; }
    void SetIntInfo(unsigned char groupId, unsigned char itemId);

    int GetLastDevError() const { return m_nLastDevError.load(); }
    uint32_t GetLastACKTime() const { return m_nLastACKTime.load(); }
    uint32_t GetLastNAKTime() const { return m_nLastNAKTime.load(); }
    uint32_t GetLastPacketTime() const { return m_nLastPacketTime.load(); }

    uint32_t GetTimeBufferNumber() const { return m_TimeRing.Number(); }
    uint32_t GetWriteBufferNumber() const { return m_WriteRing.Number(); }
    uint32_t GetReadBufferNumber() const { return m_ReadRing.Number(); }
    uint32_t GetErrorBufferNumber() const { return m_ErrorRing.Number(); }

protected:
    // Engines that keep their frames in rings of their own records construct the Level 4 part
    // without its packet rings; only the counters of those rings are used.
    enum ERecordRings { LEVEL4_RECORDS, OWN_RECORDS };
    CCommZelqLevel4(HWND window, SeriloxThreadProc threadProc, ERecordRings rings);

    // Frame completion once the start byte is in the buffer: 0, a read's result, or ERR_CHECKSUM.
    virtual int ObtainCommand(CDataInformation& frame);
    virtual void PostMessageA(unsigned int message, LPARAM lParam);
    virtual void InitializeInstance();

    // The receive thread's steps that differ between the engines.
    virtual bool IsFrameStart(unsigned char byte) const { return byte == 0x1B; }
    virtual void OnAckByte();
    virtual void OnNakByte();
    virtual void OnFrameFailed(const CDataInformation& gathered);
    virtual void OnFrameReceived(const CDataInformation& frame);

    // The send steps that use the engine's own records: a written frame goes into a record of
    // the engine's write ring and becomes the command the reply is matched against. Through
    // these, a send started from any level of the hierarchy uses the object's own rings.
    virtual CZelqLevel4Packet& RecordSentFrame(const CDataInformation& frame);
    virtual CZelqLevel4Packet* GetCheckReadPacketPtr() { return &m_CheckRead; }
    virtual CZelqLevel4Packet* GetCheckWritePacketPtr() { return &m_CheckWrite; }

    // How one engine's send differs from another's; the loop itself is shared.
    struct SSendRules {
        unsigned int nWriteRetries = 1;
        bool bMarkWriting = true; // the write-now event is reset while the frame goes out
        bool bWaitAck = true;
        uint32_t nAckWindowMs = 300;
        bool bWaitReply = false;
        unsigned long nReplyTimeoutMs = 0;
        // Level 5: a NAK is a failed attempt rather than the end of the call, each attempt
        // waits for a reply of its own, and a reply time-out ends the call.
        bool bLevel5Attempts = false;

        SSendRules(int waitReply, unsigned long replyTimeoutMs)
            : bWaitReply(waitReply != 0), nReplyTimeoutMs(replyTimeoutMs)
        {
        }
    };
    int SendFrame(const CDataInformation& frame, const SSendRules& rules);
    template <class Packet>
    static Packet& Stamp(Packet& record, const CDataInformation& frame)
    {
        record = frame;
        record.SetNowTime();
        return record;
    }
    unsigned int TakeWriteSlot() { return m_WriteRing.TakeSlot(); }
    unsigned int TakeReadSlot() { return m_ReadRing.TakeSlot(); }

    void ReceiveLoop();
    // Reads count more bytes onto the frame; on failure the frame keeps what it had.
    int ReadMore(CDataInformation& frame, unsigned long count);
    // Completes a frame whose length field sits at lengthAt (one or two bytes) after the
    // fixed part of headerBytes; lengths below minimum fail as a bad frame.
    int ObtainFrame(CDataInformation& frame, unsigned long headerBytes, unsigned int lengthAt, bool wideLength,
                    unsigned int minimum);
    // Sleeps until the receive thread records something or limitMs have passed since start,
    // both on the engine's clock.
    void WaitForActivity(uint32_t start, uint32_t limitMs);
    uint32_t MsSince(uint32_t start) const { return GetClock().TickCount() - start; }
    void NoteActivity() { m_Activity.Set(); }

    // Acknowledgements are told apart by count, not by tick: at millisecond resolution a
    // fast peer's answer to the previous attempt can carry the same tick as the next write.
    struct SAckMark {
        uint32_t acks;
        uint32_t naks;
    };
    SAckMark MarkAcks() const { return {m_nAckCount.load(), m_nNakCount.load()}; }
    bool AckSince(const SAckMark& mark) const { return m_nAckCount.load() != mark.acks; }
    bool NakSince(const SAckMark& mark) const { return m_nNakCount.load() != mark.naks; }
    void RecordAck();
    void RecordNak();
    // A time text for a posted ACK/NAK message, taken from the time ring.
    LPARAM StampTimeText();
    void StopReceiving();

    CErrorPacket& GetSafeErrorBufferInstance() { return m_ErrorRing.Take(); }
    STimeText& GetSafeTimeBufferInstance() { return m_TimeRing.Take(); }
    CErrorPacket* GetErrorBufferAddress() { return m_ErrorRing.Address(); }
    STimeText* GetTimeBufferAddress() { return m_TimeRing.Address(); }

    CZelqLevel4Packet GetCheckReadPacket() { return Locked(m_CheckRead); }
    CZelqLevel4Packet GetCheckWritePacket() { return Locked(m_CheckWrite); }
    void SetCheckReadPacket(const CZelqLevel4Packet& packet) { Locked(m_CheckRead, packet); }
    void SetCheckWritePacket(const CZelqLevel4Packet& packet) { Locked(m_CheckWrite, packet); }
    // A check packet copied out or in under the lock the receive thread takes for it.
    template <class Packet>
    Packet Locked(const Packet& packet)
    {
        std::lock_guard<std::mutex> hold(m_CheckLock);
        return packet;
    }
    template <class Packet>
    void Locked(Packet& packet, const Packet& value)
    {
        std::lock_guard<std::mutex> hold(m_CheckLock);
        packet = value;
    }

    void SetLastDevError(int error) { m_nLastDevError.store(error); }
    void SetLastACKTime(uint32_t t) { m_nLastACKTime.store(t); }
    void SetLastNAKTime(uint32_t t) { m_nLastNAKTime.store(t); }
    void SetLastPacketTime(uint32_t t) { m_nLastPacketTime.store(t); }

    // Guards the check packets, which the receive thread fills while the sender compares them.
    std::mutex m_CheckLock;

private:
    enum EReply { REPLY_NONE, REPLY_GOOD, REPLY_BAD, REPLY_EMPTY };
    // Writes one attempt's frame and posts it as sent; a failed write posts nothing.
    int WriteCommand(const CDataInformation& frame, const SSendRules& rules);
    // Takes the matching reply, if there is one, and clears both check packets.
    EReply TakeReply();
    void ForgetReply();
    int DeviceLost();
    int SendLevel4Byte(unsigned char byte, unsigned int message);

    // Private: an engine with rings of its own must never take a record from these.
    CZelqLevel4Packet& GetSafeWriteBufferInstance();
    CZelqLevel4Packet& GetSafeReadBufferInstance();
    CZelqLevel4Packet* GetWriteBufferAddress() { return m_WriteRing.Address(); }
    CZelqLevel4Packet* GetReadBufferAddress() { return m_ReadRing.Address(); }

    // The write and read counters of every engine; the records only of a Level 4 engine.
    CRing<CZelqLevel4Packet> m_WriteRing;
    CRing<CZelqLevel4Packet> m_ReadRing;
    ERecordRings m_eRecordRings;
    // Held by the sender from a write until UM_PACKET_SENT is posted, and by the receive
    // thread while it posts, so an answer never reaches the window ahead of its command.
    std::mutex m_PostOrder;

    CZelqLevel4Packet m_CheckRead;
    CZelqLevel4Packet m_CheckWrite;
    CRing<STimeText> m_TimeRing;
    CRing<CErrorPacket> m_ErrorRing;
    std::atomic<uint32_t> m_nLastACKTime;
    std::atomic<uint32_t> m_nLastNAKTime;
    std::atomic<uint32_t> m_nLastPacketTime;
    std::atomic<int> m_nLastDevError;
    std::atomic<uint32_t> m_nAckCount{0};
    std::atomic<uint32_t> m_nNakCount{0};
    SZelqLevel4Header m_IntInfo;
    serilox_os::CEvent m_Activity;
};
