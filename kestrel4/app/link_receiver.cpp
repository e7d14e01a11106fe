#include "link_receiver.h"

#include <cstring>

#include "projector_link.h"
#include "zelq_items.h"

namespace {
// Items whose stack answers from projector 1 stand for the whole stack.
bool IsProjectorOneStackItem(uint16_t item)
{
    return item == kItemResolution || item == kItemVideoSignal || item == kItemBnc || item == kItemPictureInPicture;
}

int32_t SentValue(const SReceivedFrame& frame)
{
    return static_cast<int32_t>(BigEndianUnsigned(frame.Parameter, frame.nParameterLength));
}

void CopyFrame(const CZelqLevel4Packet& packet, SReceivedFrame& record)
{
    const CDataInformation& frame = packet.FormerData();
    record.nFrameLength = frame.GetSize() < sizeof record.Frame ? frame.GetSize() : sizeof record.Frame;
    frame.GetData(0, record.nFrameLength, record.Frame);
    record.Attr = packet.GetAttr();
    record.wItem = ItemCode(packet.GetGroupID(), packet.GetItemID());
    const CDataInformation* parameter = packet.GetParameter();
    record.nParameterLength =
        parameter->GetSize() < sizeof record.Parameter ? parameter->GetSize() : sizeof record.Parameter;
    parameter->GetData(0, record.nParameterLength, record.Parameter);
    record.bRefused = 0;
}
} // namespace

CLinkReceiver::CLinkReceiver(CProjectorLink& link, IReceiverEvents& events)
    : m_Link(link), m_Events(events), m_pReply(new SReceivedFrame()), m_pSent(new SReceivedFrame()),
      m_pReport(new SReceivedFrame())
{
}

void CLinkReceiver::OnEngineMessage(unsigned int message, WPARAM source, LPARAM record)
{
    bool level5 = source == SOURCE_LEVEL5;
    // Records are kept only for the generation the link works at.
    bool current = m_Link.GetLevel() == (level5 ? 1 : 0);
    switch (message) {
    case UM_PACKET_SENT:
        // Our answers to the projector's reports are not commands: the answer to the
        // outstanding command is matched against the command, and the projector's ACK or NAK
        // of our answer says nothing about the command.
        m_bAnswering = level5 && reinterpret_cast<const CZelqLevel5Packet*>(record)->IsApply();
        if (current && !m_bAnswering)
            CopyFrame(*reinterpret_cast<const CZelqLevel4Packet*>(record), *m_pSent);
        break;
    case UM_PACKET_RECEIVED: {
        if (!level5 || !current) {
            m_ReplyState |= REPLY_FRAME;
            if (!level5 && current)
                CopyFrame(*reinterpret_cast<const CZelqLevel4Packet*>(record), *m_pReply);
            if (!level5)
                m_Link.SendAck();
            break;
        }
        const CZelqLevel5Packet* packet = reinterpret_cast<const CZelqLevel5Packet*>(record);
        bool apply = packet->IsApply() != 0;
        // A report may come between a command and its answer, or right after the answer in
        // the same dispatch: it is neither, so it leaves the reply state and record alone.
        SReceivedFrame& frame = apply ? *m_pReply : *m_pReport;
        if (apply)
            m_ReplyState |= REPLY_FRAME;
        CopyFrame(*packet, frame);
        frame.bRefused = packet->IsOK();
        unsigned char flags = packet->FormerData().GetAt(packet->IsStack() ? 3 : 2);
        OnLevel5Frame(frame, packet->IsStack() != 0, apply, packet->GetFrom(), flags);
        break;
    }
    case UM_PACKET_ERROR:
        m_ReplyState |= REPLY_BAD_FRAME;
        break;
    case UM_ACK_RECEIVED:
        // An acknowledgement after a refusal is of the engine's next attempt: the command was
        // taken after all.
        if (!m_bAnswering)
            m_ReplyState = static_cast<unsigned char>((m_ReplyState & ~REPLY_NAK) | REPLY_ACK);
        break;
    case UM_NAK_RECEIVED:
        if (!m_bAnswering)
            m_ReplyState |= REPLY_NAK;
        break;
    default:
        break;
    }
}

void CLinkReceiver::OnLevel5Frame(const SReceivedFrame& reply, bool stack, bool apply, unsigned char from,
                                  unsigned char flags)
{
    const SReceivedFrame& sent = *m_pSent;
    int projector = stack ? (from == 0xFF ? 0 : from) : 1;
    uint16_t item = reply.wItem;

    // Values of a get or reset answer, or of a report: true when the model took them.
    auto applyValue = [&]() {
        if (reply.nParameterLength >= 1 && reply.nParameterLength <= 4)
            return m_Events.OnNotifiedValue(item, reply.Parameter, reply.nParameterLength, projector);
        m_Events.OnMultiByte(reply, projector);
        return true;
    };

    if (apply) {
        if (reply.bRefused)
            return;
        unsigned char commandAttr = sent.Attr & 0x0F;
        if (stack && projector == 1 && IsProjectorOneStackItem(item) && (commandAttr == 1 || commandAttr == 3)) {
            int32_t value = commandAttr == 1 ? SentValue(sent) : SentValue(reply);
            m_Events.OnSentValue(item, value, 1);
            m_Events.OnItemChanged(item, false, projector);
            return;
        }
        switch (reply.Attr) {
        case 1:
            m_Events.OnSentValue(sent.wItem, SentValue(sent), projector);
            if (sent.wItem == kItemLock) {
                m_Events.OnLockEntries(sent.Parameter, sent.nParameterLength);
                return;
            }
            break;
        case 2:
        case 3:
            applyValue();
            break;
        default:
            break;
        }
        m_Events.OnItemChanged(item, false, projector);
        return;
    }

    // The projector reports by itself: take the value, then tell it whether it was taken.
    bool taken = true;
    if (reply.Attr == 2 || reply.Attr == 3)
        taken = applyValue();
    SZelqLevel5Header answer;
    answer.Attr = reply.Attr;
    answer.GroupID = ItemGroup(item);
    answer.ItemID = ItemId(item);
    answer.Stack = stack ? 1 : 0;
    answer.To = from;
    answer.From = 0;
    answer.Apply = 1;
    answer.Check = (flags >> 5) & 1;
    answer.OK = taken ? 0 : 1;
    answer.Size = stack ? 8 : 6;
    m_Link.AnswerReport(answer);
    // A refused value was not stored: reacting would act on the old one again (a refused
    // warning report would show the previous warnings once more).
    if (taken)
        m_Events.OnItemChanged(item, true, projector);
}
