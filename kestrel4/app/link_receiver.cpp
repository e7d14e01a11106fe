#include "link_receiver.h"

#include <cstring>

#include "projector_link.h"

namespace {
const uint16_t kItemLocks = 0x1004;

bool IsProjectorOneStackItem(uint16_t item)
{
    return item == 0x030E || item == 0x0405 || item == 0x0609 || item == 0x0708;
}

void CopyFrame(const CZelqLevel4Packet& packet, SReceivedFrame& record)
{
    const CDataInformation& frame = packet.FormerData();
    record.nFrameLength = frame.GetSize() < sizeof record.Frame ? frame.GetSize() : sizeof record.Frame;
    frame.GetData(0, record.nFrameLength, record.Frame);
    record.Attr = packet.GetAttr();
    record.wItem = static_cast<uint16_t>(packet.GetGroupID() << 8 | packet.GetItemID());
    const CDataInformation* parameter = packet.GetParameter();
    record.nParameterLength =
        parameter->GetSize() < sizeof record.Parameter ? parameter->GetSize() : sizeof record.Parameter;
    parameter->GetData(0, record.nParameterLength, record.Parameter);
    record.bRefused = 0;
}
} // namespace

CLinkReceiver::CLinkReceiver(CProjectorLink& link, IReceiverEvents& events)
    : m_ReplyState(0), m_pReply(new SReceivedFrame()), m_pSent(new SReceivedFrame()), m_Link(link), m_Events(events)
{
}

void CLinkReceiver::OnEngineMessage(unsigned int message, WPARAM source, LPARAM record)
{
    bool level5 = source == SOURCE_LEVEL5;
    // Records are kept only for the generation the link works at.
    bool current = level5 ? m_Link.m_nLevel == 1 : m_Link.m_nLevel == 0;
    switch (message) {
    case UM_PACKET_SENT:
        (level5 ? m_pLastSent5 : m_pLastSent4) = record;
        if (current)
            CopyFrame(*reinterpret_cast<const CZelqLevel4Packet*>(record), *m_pSent);
        break;
    case UM_PACKET_RECEIVED: {
        m_ReplyState |= REPLY_FRAME;
        (level5 ? m_pLastReceived5 : m_pLastReceived4) = record;
        if (!level5) {
            if (current)
                CopyFrame(*reinterpret_cast<const CZelqLevel4Packet*>(record), *m_pReply);
            m_Link.SendAck();
            break;
        }
        if (!current)
            break;
        const CZelqLevel5Packet* packet = reinterpret_cast<const CZelqLevel5Packet*>(record);
        CopyFrame(*packet, *m_pReply);
        m_pReply->bRefused = packet->IsOK();
        unsigned char flags = packet->FormerData().GetAt(packet->IsStack() ? 3 : 2);
        OnLevel5Frame(packet->IsStack() != 0, packet->IsApply() != 0, packet->GetFrom(), flags);
        break;
    }
    case UM_PACKET_ERROR:
        m_ReplyState |= REPLY_BAD_FRAME;
        break;
    case UM_ACK_RECEIVED:
        m_ReplyState |= REPLY_ACK;
        break;
    case UM_NAK_RECEIVED:
        m_ReplyState |= REPLY_NAK;
        break;
    default:
        break;
    }
}

void CLinkReceiver::OnLevel5Frame(bool stack, bool apply, unsigned char from, unsigned char flags)
{
    const SReceivedFrame& reply = *m_pReply;
    const SReceivedFrame& sent = *m_pSent;
    int projector = stack ? (from == 0xFF ? 0 : from) : 1;
    uint16_t item = reply.wItem;

    // Values of a get or reset answer, or of a report: true when the model took them.
    auto applyValue = [&]() {
        if (reply.nParameterLength >= 1 && reply.nParameterLength <= 4)
            return m_Events.ApplyNotifiedValue(item, reply.Parameter, reply.nParameterLength, projector);
        m_Events.ApplyMultiByte(reply, projector);
        return true;
    };

    if (apply) {
        if (reply.bRefused)
            return;
        unsigned char commandAttr = sent.Attr & 0x0F;
        if (stack && projector == 1 && IsProjectorOneStackItem(item) && (commandAttr == 1 || commandAttr == 3)) {
            int32_t value = commandAttr == 1 ? DecodeBigEndian(sent.Parameter, sent.nParameterLength)
                                             : DecodeBigEndian(reply.Parameter, reply.nParameterLength);
            m_Events.PutItemValue(item, value, 1);
            m_Events.OnItemChanged(item, false, projector);
            return;
        }
        switch (reply.Attr) {
        case 1:
            m_Events.PutItemValue(sent.wItem, DecodeBigEndian(sent.Parameter, sent.nParameterLength), projector);
            if (sent.wItem == kItemLocks) {
                m_Events.SetLockEntries(sent.Parameter, sent.nParameterLength);
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
    answer.GroupID = static_cast<unsigned char>(item >> 8);
    answer.ItemID = static_cast<unsigned char>(item);
    answer.Stack = stack ? 1 : 0;
    answer.To = from;
    answer.From = 0;
    answer.Apply = 1;
    answer.Check = (flags >> 5) & 1;
    answer.OK = taken ? 0 : 1;
    answer.Size = stack ? 8 : 6;
    m_Link.SendLevel5Command(answer, nullptr, 0);
    // A refused value was not stored: reacting would act on the old one again (a refused
    // warning report would show the previous warnings once more).
    if (taken)
        m_Events.OnItemChanged(item, true, projector);
}
