#include "projector_session.h"

#include <algorithm>
#include <cstdio>

#include "projector_link.h"
#include "setting_items.h"
#include "zelq_items.h"

namespace {
const unsigned long kReplyWaitMs = 1000;
const unsigned long kLevel5EngineWaitMs = 10000;

template <class Engine>
void Configure(Engine& engine, const std::string& device, unsigned long baud)
{
    SSerialProperty property;
    property.CommVelocity = static_cast<unsigned int>(baud);
    engine.ChangeCommProperty(property); // closed: stores the settings
    engine.SetDevicePath(device.c_str());
}

std::string DescribeFailure(int result)
{
    char text[96];
    switch (result) {
    case ERR_NO_ACK:
        return "No response from the projector.";
    case ERR_NO_REPLY:
        return "The projector acknowledged but did not answer.";
    case ERR_CHECKSUM:
        return "The projector's answer failed its checksum.";
    default:
        std::snprintf(text, sizeof text, "Communication failed (error 0x%X).", result);
        return text;
    }
}
} // namespace

bool CSessionMessages::Await(uint32_t ms)
{
    if (!m_bHeld)
        m_bHeld = m_Window.Next(m_Held, ms);
    return m_bHeld;
}

bool CSessionMessages::Take(SEngineMessage& out)
{
    if (!m_bHeld)
        return false;
    out = m_Held;
    m_bHeld = false;
    return true;
}

void CSessionMessages::Drop()
{
    m_bHeld = false;
    SEngineMessage stale;
    while (m_Window.Next(stale, 0)) {
    }
}

CProjectorSession::CProjectorSession(const std::string& device, unsigned long baud, IClock& clock)
    : m_strDevice(device), m_nBaud(baud), m_Clock(clock)
{
}

CProjectorSession::~CProjectorSession()
{
    Close();
}

bool CProjectorSession::Open(int level)
{
    Close();
    int result;
    if (level == 4) {
        m_pLevel4.reset(new CCommZelqLevel4(m_Window.Handle(), &CCommZelqLevel4::ASyncThreadCallBack));
        Configure(*m_pLevel4, m_strDevice, m_nBaud);
        m_pLevel4->SetClock(m_Clock);
        result = m_pLevel4->OpenSerilox();
    } else {
        m_pLevel5.reset(new CCommZelqLevel5(m_Window.Handle(), &CCommZelqLevel5::ASyncThreadCallBack));
        Configure(*m_pLevel5, m_strDevice, m_nBaud);
        m_pLevel5->SetClock(m_Clock);
        result = m_pLevel5->OpenSerilox();
    }
    return result == 0;
}

void CProjectorSession::Close()
{
    m_pLevel4.reset();
    m_pLevel5.reset();
    // Records of a closed engine are gone: drop what it posted.
    DropPending();
}

void CProjectorSession::DropPending()
{
    m_Messages.Drop();
}

bool CProjectorSession::AwaitAnswer(uint16_t item, unsigned char attr, bool level5, unsigned long limitMs,
                                    SAnswer& answer)
{
    const uint32_t start = m_Clock.TickCount();
    SEngineMessage m;
    for (;;) {
        const long left = static_cast<long>(limitMs) - static_cast<long>(m_Clock.TickCount() - start);
        if (left < 0)
            return false;
        m_Clock.Wait(m_Messages, static_cast<uint32_t>(left) + 1);
        if (!m_Messages.Take(m) || m.message != UM_PACKET_RECEIVED)
            continue;
        const CZelqLevel4Packet* packet;
        if (level5) {
            const CZelqLevel5Packet* p5 = reinterpret_cast<const CZelqLevel5Packet*>(m.lParam);
            // Only answers count; a frame without Apply is the projector reporting by itself.
            if (!p5->IsApply())
                continue;
            // A late second answer to an earlier command on the same item (the projector
            // answers each copy the engine repeats) is not this command's.
            if ((p5->GetAttr() & 0x0F) != attr)
                continue;
            answer.refused = p5->IsOK();
            packet = p5;
        } else {
            packet = reinterpret_cast<const CZelqLevel4Packet*>(m.lParam);
            answer.refused = 0;
            m_pLevel4->SendACK();
        }
        if ((packet->GetGroupID() << 8 | packet->GetItemID()) != item)
            continue;
        answer.attr = packet->FormerData().GetAt(packet->FormerData().GetAt(0) == 0x1D ? 3 : 2);
        const CDataInformation* parameter = packet->GetParameter();
        answer.parameter.assign(parameter->Bytes(), parameter->Bytes() + parameter->GetSize());
        return true;
    }
}

ESessionStatus CProjectorSession::Transact(int stack, unsigned char attr, unsigned char address, uint16_t item,
                                           const std::vector<unsigned char>& parameter, SAnswer& answer,
                                           std::string& message)
{
    if (!m_pLevel5 && !Open(5)) {
        message = "The port " + m_strDevice + " cannot be opened.";
        return SESSION_NO_PORT;
    }
    // Whatever is still queued answers an earlier command: a stale answer to a get on this
    // item would otherwise pass for this command's.
    DropPending();
    SZelqLevel5Header header =
        MakeLevel5Header(stack, attr, address, item, static_cast<unsigned int>(parameter.size()));
    CDataInformation data(parameter.data(), static_cast<unsigned int>(parameter.size()));
    int result = m_pLevel5->SendCommand(header, data, header.Apply == 0, kLevel5EngineWaitMs);
    if (result != 0)
        return Failed(result, message);
    if (!AwaitAnswer(item, attr, true, kReplyWaitMs, answer)) {
        message = "No answer from the projector.";
        return SESSION_NO_RESPONSE;
    }
    if (answer.refused) {
        message = "The projector refused the command.";
        return SESSION_REFUSED;
    }
    return SESSION_OK;
}

ESessionStatus CProjectorSession::NextReport(unsigned long waitMs, SReport& report, std::string& message)
{
    if (!m_pLevel5 && !Open(5)) {
        message = "The port " + m_strDevice + " cannot be opened.";
        return SESSION_NO_PORT;
    }
    const uint32_t start = m_Clock.TickCount();
    SEngineMessage m;
    for (;;) {
        if (m_pLevel5->IsPortLost()) {
            message = "The port " + m_strDevice + " is no longer available.";
            return SESSION_NO_PORT;
        }
        const long left = static_cast<long>(waitMs) - static_cast<long>(m_Clock.TickCount() - start);
        if (left < 0)
            return SESSION_NO_RESPONSE;
        // Woken now and then to notice a port that went away without a message.
        m_Clock.Wait(m_Messages, static_cast<uint32_t>(std::min(left, 200L)) + 1);
        if (!m_Messages.Take(m) || m.message != UM_PACKET_RECEIVED)
            continue;
        const CZelqLevel5Packet* packet = reinterpret_cast<const CZelqLevel5Packet*>(m.lParam);
        if (packet->IsApply())
            continue;
        report.projector = packet->IsStack() && packet->GetFrom() != 0xFF ? packet->GetFrom() : 1;
        report.item = static_cast<uint16_t>(packet->GetGroupID() << 8 | packet->GetItemID());
        const CDataInformation* parameter = packet->GetParameter();
        report.parameter.assign(parameter->Bytes(), parameter->Bytes() + parameter->GetSize());
        return SESSION_OK;
    }
}

ESessionStatus CProjectorSession::Failed(int result, std::string& message) const
{
    // The port itself went away (an adapter unplugged): that is the port's trouble, not a
    // projector that stays silent.
    if (result == ERR_DEVICE) {
        message = "The port " + m_strDevice + " is no longer available.";
        return SESSION_NO_PORT;
    }
    message = DescribeFailure(result);
    return SESSION_NO_RESPONSE;
}

ESessionStatus CProjectorSession::Identify(const SProjectorModel*& model, std::string& message)
{
    model = nullptr;
    if (!Open(4)) {
        message = "The port " + m_strDevice + " cannot be opened.";
        return SESSION_NO_PORT;
    }
    SZelqLevel4Header request;
    request.Size = 6;
    request.Attr = 2;
    request.GroupID = 0x00;
    request.ItemID = 0x04;
    CDataInformation none(0u);
    int result = m_pLevel4->SendCommand(request, none, 1, kReplyWaitMs);
    SAnswer answer;
    if (result != 0)
        return Failed(result, message);
    if (!AwaitAnswer(kItemIdentify, request.Attr, false, kReplyWaitMs, answer)) {
        message = "No response from the projector.";
        return SESSION_NO_RESPONSE;
    }
    // Bit 6 of the attribute: the projector does not take Level 4 and identifies at Level 5.
    if (answer.attr & 0x40) {
        if (!Open(5)) {
            message = "The port " + m_strDevice + " cannot be opened.";
            return SESSION_NO_PORT;
        }
        ESessionStatus status = Transact(1, 2, 1, kItemIdentify, {}, answer, message);
        if (status != SESSION_OK)
            return status;
    }
    if (answer.parameter.size() != 4) {
        message = "Kestrel does not support the projector connected.";
        return SESSION_UNSUPPORTED;
    }
    model = FindProjectorModel(answer.parameter.data(), 4);
    if (!model) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "Unknown projector: family 0x%02X%02X, model code 0x%02X%02X; Kestrel cannot recognize it.",
                      answer.parameter[0], answer.parameter[1], answer.parameter[2], answer.parameter[3]);
        message = text;
        return SESSION_UNSUPPORTED;
    }
    return SESSION_OK;
}

int32_t DecodeItemValue(uint16_t item, const std::vector<unsigned char>& bytes)
{
    return ItemValueFromBytes(item, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

std::vector<unsigned char> EncodeItemValue(int32_t value, unsigned int width)
{
    std::vector<unsigned char> bytes(width);
    PutBigEndian(static_cast<uint32_t>(value), width, bytes.data());
    return bytes;
}

unsigned int NarrowestWidth(int32_t value)
{
    if (value >= -128 && value <= 127)
        return 1;
    if (value >= -32768 && value <= 32767)
        return 2;
    return 4;
}

unsigned int ItemSetWidth(uint16_t item, int32_t value)
{
    return FindSettingItem(item) ? SetWidth(item) : NarrowestWidth(value);
}

bool FitsWidth(int32_t value, unsigned int width)
{
    if (width >= 4)
        return true;
    int64_t bits = 8 * static_cast<int64_t>(width);
    return value >= -(int64_t(1) << (bits - 1)) && value < (int64_t(1) << bits);
}

bool ItemValueFits(uint16_t item, int32_t value, unsigned int width)
{
    // Brightness 255 in one byte is -1 to the projector, and "ok" would hide that.
    return FitsWidth(value, width) &&
           (!FindSettingItem(item) || DecodeItemValue(item, EncodeItemValue(value, width)) == value);
}
