// The main window's half of the link: the handlers of the engines' messages. They keep the
// reply state and the last frames received and sent, acknowledge Level 4 frames, apply the
// projector's answers to the setting model, and answer the frames it sends on its own.
#pragma once
#include <cstdint>
#include <memory>

#include "platform_types.h"
#include "received_frame.h"

class CProjectorLink;

enum EReplyBits : unsigned char {
    REPLY_ACK = 0x01,
    REPLY_NAK = 0x02,
    REPLY_FRAME = 0x04,
    REPLY_BAD_FRAME = 0x08,
    REPLY_ANSWERED = REPLY_ACK | REPLY_FRAME,
};

// Where received values go: the setting model and the main window's reactions.
class IReceiverEvents {
public:
    virtual ~IReceiverEvents() {}
    virtual void PutItemValue(uint16_t item, int32_t value, int projector) = 0;
    // A 1- to 4-byte value from the projector; false when the model refuses it.
    virtual bool ApplyNotifiedValue(uint16_t item, const unsigned char* bytes, uint32_t count, int projector) = 0;
    // An answer whose parameter is not a single value (tables, records, a whole stack).
    virtual void ApplyMultiByte(const SReceivedFrame& reply, int projector) = 0;
    virtual void SetLockEntries(const unsigned char* bytes, uint32_t count) = 0;
    virtual void OnItemChanged(uint16_t item, bool fromProjector, int projector) = 0;
};

class CLinkReceiver {
public:
    CLinkReceiver(CProjectorLink& link, IReceiverEvents& events);

    // One engine message (UM_PACKET_RECEIVED .. UM_NAK_SENT); other numbers are ignored.
    void OnEngineMessage(unsigned int message, WPARAM source, LPARAM record);

    unsigned char m_ReplyState;
    // Heap-held: each record is 128 KiB.
    std::unique_ptr<SReceivedFrame> m_pReply;
    std::unique_ptr<SReceivedFrame> m_pSent;
    LPARAM m_pLastSent4 = 0, m_pLastSent5 = 0, m_pLastReceived4 = 0, m_pLastReceived5 = 0;

private:
    void OnLevel5Frame(bool stack, bool apply, unsigned char from, unsigned char flags);

    CProjectorLink& m_Link;
    IReceiverEvents& m_Events;
};
