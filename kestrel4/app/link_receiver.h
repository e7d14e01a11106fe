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

// Where received values go: the setting model, and the connection's own reactions.
class IReceiverEvents {
public:
    virtual ~IReceiverEvents() {}
    // The answer to a set: the value that was sent, decoded without its sign.
    virtual void OnSentValue(uint16_t item, int32_t value, int projector) = 0;
    // A 1- to 4-byte value from the projector; false when the model refuses it.
    virtual bool OnNotifiedValue(uint16_t item, const unsigned char* bytes, uint32_t count, int projector) = 0;
    // An answer whose parameter is not a single value (tables, records, a whole stack).
    virtual void OnMultiByte(const SReceivedFrame& reply, int projector) = 0;
    // The lock entries a set of the lock item carried.
    virtual void OnLockEntries(const unsigned char* bytes, uint32_t count) = 0;
    virtual void OnItemChanged(uint16_t item, bool fromProjector, int projector) = 0;
};

// For a link whose answers are kept nowhere: console tools and transfer tests, which look at
// what reached the projector instead.
class CIgnoredEvents : public IReceiverEvents {
public:
    void OnSentValue(uint16_t, int32_t, int) override {}
    bool OnNotifiedValue(uint16_t, const unsigned char*, uint32_t, int) override { return true; }
    void OnMultiByte(const SReceivedFrame&, int) override {}
    void OnLockEntries(const unsigned char*, uint32_t) override {}
    void OnItemChanged(uint16_t, bool, int) override {}
};

class CLinkReceiver {
public:
    CLinkReceiver(CProjectorLink& link, IReceiverEvents& events);

    // One engine message (UM_PACKET_RECEIVED .. UM_NAK_SENT); other numbers are ignored.
    void OnEngineMessage(unsigned int message, WPARAM source, LPARAM record);

    // The bits of EReplyBits seen since the last command went out.
    unsigned char ReplyState() const { return m_ReplyState; }
    void ClearReplyState() { m_ReplyState = 0; }
    // The last answer received and the last command sent, as the window copied them; the
    // projector's own reports and our answers to them are kept out of both.
    const SReceivedFrame& Reply() const { return *m_pReply; }
    const SReceivedFrame& Sent() const { return *m_pSent; }

private:
    void OnLevel5Frame(const SReceivedFrame& frame, bool stack, bool apply, unsigned char from, unsigned char flags);

    CProjectorLink& m_Link;
    IReceiverEvents& m_Events;
    unsigned char m_ReplyState = 0;
    // The last frame we sent was an answer to a report, not a command.
    bool m_bAnswering = false;
    // Heap-held: each record is 128 KiB.
    std::unique_ptr<SReceivedFrame> m_pReply;
    std::unique_ptr<SReceivedFrame> m_pSent;
    // The report being handled, apart from the answer a command may still be waiting for.
    std::unique_ptr<SReceivedFrame> m_pReport;
};
