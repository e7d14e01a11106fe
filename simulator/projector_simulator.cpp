#include "projector_simulator.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "packets.h"
#include "sim_control.h"
#include "zelq_items.h"

namespace {
const long long kOtherItemLeadUs = 100000;
const uint8_t kAck = 0x06;
const uint8_t kNak = 0x15;
const uint8_t kFlagApply = 0x80;
const uint8_t kFlagOK = 0x40;
const uint8_t kFlagCheck = 0x20;
const uint8_t kBroadcast = 0x0F; // To nibble of a frame to every projector

const unsigned int kSpeeds[] = {9600, 19200, 38400, 57600};

const char* AttrName(uint8_t attr)
{
    switch (attr) {
    case 1:
        return "set";
    case 2:
        return "get";
    case 3:
        return "reset";
    }
    return "attr?";
}

std::string Hex16(uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

std::vector<uint8_t> FrameBytes(EFrameKind kind, uint8_t flags, uint8_t to, uint8_t from, uint16_t item,
                                const std::vector<uint8_t>& param)
{
    CDataInformation parameter(param.data(), static_cast<unsigned int>(param.size()));
    CDataInformation frame(0u);
    unsigned int room = static_cast<unsigned int>(param.size()) + 16;
    if (kind == EFrameKind::Asic) {
        SZelqLevel4Header header;
        header.Attr = flags;
        header.GroupID = static_cast<unsigned char>(item >> 8);
        header.ItemID = static_cast<unsigned char>(item);
        CASICPacket packet(room);
        packet.SetData(header, parameter);
        packet.GetFormerData(frame);
    } else {
        SZelqLevel5Header header;
        header.Stack = kind == EFrameKind::Stack ? 1 : 0;
        header.Attr = flags & 0x0F;
        header.Apply = (flags & kFlagApply) ? 1 : 0;
        header.OK = (flags & kFlagOK) ? 1 : 0;
        header.Check = (flags & kFlagCheck) ? 1 : 0;
        header.To = to;
        header.From = from;
        header.GroupID = static_cast<unsigned char>(item >> 8);
        header.ItemID = static_cast<unsigned char>(item);
        CZelqLevel5Packet packet(room);
        packet.SetData(header, parameter);
        packet.GetFormerData(frame);
    }
    return std::vector<uint8_t>(frame.Bytes(), frame.Bytes() + frame.GetSize());
}
} // namespace

CProjectorSimulator::CProjectorSimulator(const SSimulatorOptions& options)
    : m_Options(options), m_pModel(FindSimModel(options.strModel)), m_nBaud(options.nBaud), m_bPace(options.bPace),
      m_Timing(options.timing), m_Start(std::chrono::steady_clock::now())
{
    m_strImageFile = options.strImageFile;
    for (auto& timers : m_nTimerUs)
        for (long long& due : timers)
            due = -1;
    if (!m_pModel)
        return;
    for (const SItemDef& def : CItemStore::DefaultItems())
        m_Store.Define(def);
    if (!m_pModel->bStackCapable) {
        m_Store.Remove(kItemStackEstablish);
        m_Store.Remove(kItemSourceSwitching);
    }
    if (m_pModel->nAudioVariant == 0) {
        m_Store.Remove(0x0205);
    } else {
        m_Store.Remove(0x0208);
        m_Store.Remove(0x0209);
    }
    if (!m_pModel->bBlackWhiteLevel) {
        m_Store.Remove(0x0508);
        m_Store.Remove(0x0509);
    }
    for (int address = 1; address <= CItemStore::kAddresses; ++address)
        m_Store.PokeValue(address, kItemPower, options.nPower);
    for (const SFault& fault : options.faults)
        m_Plan.Push(fault);
    if (options.bRandomFaults)
        m_Plan.SetRandom(options.nRandomSeed, options.nRandomPercent);
}

CProjectorSimulator::~CProjectorSimulator()
{
    Stop();
}

bool CProjectorSimulator::Start(int fd)
{
    if (!m_pModel) {
        m_strError = "unknown model \"" + m_Options.strModel + "\"";
        return false;
    }
    if (IsRunning()) {
        m_strError = "already running";
        return false;
    }
    if (!m_Options.strLogFile.empty() && !m_Log.OpenFile(m_Options.strLogFile)) {
        m_strError = "cannot write the log file " + m_Options.strLogFile;
        return false;
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0 || pipe2(m_WakePipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        m_strError = std::string("cannot use the line: ") + std::strerror(errno);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_nFd = fd;
        m_pReader.reset(new CFrameReader(m_Options.bAsic, m_Options.nStallLimitMs * 1000LL));
        m_Output.clear();
        m_bWriteBlocked = false;
        m_nHangupUntilUs = 0;
        m_Start = std::chrono::steady_clock::now();
        ScheduleStartPower(0);
    }
    m_bStop = false;
    m_Thread = std::thread(&CProjectorSimulator::Run, this);
    return true;
}

void CProjectorSimulator::Stop()
{
    if (!m_Thread.joinable())
        return;
    m_bStop = true;
    Wake();
    m_Thread.join();
    close(m_WakePipe[0]);
    close(m_WakePipe[1]);
    m_WakePipe[0] = m_WakePipe[1] = -1;
}

namespace {
bool HasInput(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return fd >= 0 && poll(&p, 1, 0) > 0;
}
} // namespace

bool CProjectorSimulator::IsIdle() const
{
    if (!m_Thread.joinable())
        return true;
    std::lock_guard<std::mutex> lock(m_Mutex);
    // Asleep was decided before the last wake-up; a byte or a wake call since then shows as input.
    return m_bAsleep && m_Output.empty() && NextWakeUs(NowUs()) < 0 && !HasInput(m_nFd) && !HasInput(m_WakePipe[0]);
}

void CProjectorSimulator::Wake()
{
    if (m_WakePipe[1] >= 0) {
        const char byte = 1;
        ssize_t ignored = write(m_WakePipe[1], &byte, 1);
        (void)ignored;
    }
}

long long CProjectorSimulator::NowUs() const
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - m_Start).count();
}

void CProjectorSimulator::Note(const std::string& text)
{
    SLogEntry entry;
    entry.nMicros = NowUs();
    entry.eKind = ELogKind::Note;
    entry.strText = text;
    m_Log.Add(std::move(entry));
}

// ---- the line ----

void CProjectorSimulator::Run()
{
    std::vector<uint8_t> buffer(512);
    std::vector<SRxEvent> events;
    while (!m_bStop) {
        long long waitUs;
        bool wantWrite;
        bool hungUp;
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            long long now = NowUs();
            waitUs = NextWakeUs(now);
            wantWrite = m_bWriteBlocked;
            hungUp = now < m_nHangupUntilUs;
            if (hungUp && (waitUs < 0 || waitUs > m_nHangupUntilUs - now))
                waitUs = m_nHangupUntilUs - now;
            m_bAsleep = waitUs < 0;
        }
        pollfd fds[2] = {{hungUp ? -1 : m_nFd, static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0},
                         {m_WakePipe[0], POLLIN, 0}};
        timespec limit{};
        if (waitUs >= 0) {
            limit.tv_sec = waitUs / 1000000;
            limit.tv_nsec = (waitUs % 1000000) * 1000;
        }
        int ready = ppoll(fds, 2, waitUs >= 0 ? &limit : nullptr, nullptr);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0 && (fds[1].revents & POLLIN)) {
            char drain[64];
            while (read(m_WakePipe[0], drain, sizeof drain) > 0) {
            }
        }

        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bAsleep = false;
        long long now = NowUs();
        events.clear();
        if (ready > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
            ssize_t count = read(m_nFd, buffer.data(), buffer.size());
            if (count > 0) {
                // Paced, bytes arrive no faster than the line carries them.
                for (ssize_t i = 0; i < count; ++i) {
                    if (ByteTimeUs())
                        m_nRxLineUs = std::max(m_nRxLineUs, now) + ByteTimeUs();
                    m_pReader->Feed(buffer[i], std::max(now, m_nRxLineUs), events);
                }
            } else if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
                // Nobody holds the other end; look again a little later instead of spinning.
                m_nHangupUntilUs = now + 50000;
            }
        }
        m_pReader->Poll(now, events);
        for (const SRxEvent& event : events)
            Handle(event, std::max(now, m_nRxLineUs));
        RunTimers(now);
        Flush(NowUs());
    }
}

long long CProjectorSimulator::NextWakeUs(long long nowUs) const
{
    long long wait = -1;
    long long deadline = m_pReader->Deadline();
    if (deadline >= 0)
        wait = std::max(0LL, deadline - nowUs);
    if (!m_Output.empty() && !m_bWriteBlocked) {
        long long start = m_Output.front().nDueUs;
        if (ByteTimeUs())
            start = std::max(start, m_nNextByteUs);
        long long untilOutput = std::max(0LL, start - nowUs);
        if (wait < 0 || untilOutput < wait)
            wait = untilOutput;
    }
    long long timer = NextTimerUs();
    if (timer >= 0 && (wait < 0 || timer - nowUs < wait))
        wait = std::max(0LL, timer - nowUs);
    return wait;
}

void CProjectorSimulator::Flush(long long nowUs)
{
    m_bWriteBlocked = false;
    while (!m_Output.empty()) {
        SOutput& out = m_Output.front();
        if (out.nDueUs > nowUs)
            break;
        size_t count = out.bytes.size() - out.nSent;
        long long byteUs = ByteTimeUs();
        if (byteUs) {
            // An idle line earns no credit; a late wake-up may catch up a byte or two.
            if (m_nNextByteUs < nowUs - 2 * byteUs)
                m_nNextByteUs = nowUs;
            if (nowUs < m_nNextByteUs)
                break;
            count = std::min<size_t>(count, static_cast<size_t>((nowUs - m_nNextByteUs) / byteUs + 1));
        }
        if (!out.bStarted) {
            out.bStarted = true;
            SLogEntry entry;
            entry.nMicros = nowUs;
            entry.eKind = ELogKind::Tx;
            entry.bytes = out.bytes;
            entry.strText = out.strLabel;
            m_Log.Add(std::move(entry));
        }
        ssize_t written = count ? write(m_nFd, out.bytes.data() + out.nSent, count) : 0;
        if (written < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                m_bWriteBlocked = true;
                break;
            }
            Note(std::string("write failed: ") + std::strerror(errno) + "; dropped " + out.strLabel);
            m_Output.erase(m_Output.begin());
            continue;
        }
        out.nSent += static_cast<size_t>(written);
        m_nNextByteUs += written * byteUs;
        if (out.nSent < out.bytes.size()) {
            if (static_cast<size_t>(written) < count)
                m_bWriteBlocked = true;
            break;
        }
        if (out.bytes.size() > 1)
            m_bControlAnswerLast = out.bControlAnswer;
        if (out.nNewBaud)
            m_nBaud = out.nNewBaud;
        m_Output.erase(m_Output.begin());
    }
}

long long CProjectorSimulator::ByteTimeUs() const
{
    // Ten bits a byte: start, eight data bits, stop.
    return m_bPace && m_nBaud ? std::max(1LL, 10000000LL / m_nBaud) : 0;
}

void CProjectorSimulator::Queue(std::vector<uint8_t> bytes, long long dueUs, std::string label, bool bControlAnswer,
                                unsigned int newBaud)
{
    SOutput out;
    out.nDueUs = dueUs;
    out.nSeq = m_nOutputSeq++;
    out.bytes = std::move(bytes);
    out.strLabel = std::move(label);
    out.bControlAnswer = bControlAnswer;
    out.nNewBaud = newBaud;
    // A frame being written keeps the line; the rest goes by due time, then by order of queueing.
    auto first = m_Output.begin();
    if (first != m_Output.end() && first->bStarted)
        ++first;
    auto at = std::upper_bound(first, m_Output.end(), out, [](const SOutput& a, const SOutput& b) {
        return a.nDueUs != b.nDueUs ? a.nDueUs < b.nDueUs : a.nSeq < b.nSeq;
    });
    m_Output.insert(at, std::move(out));
}

void CProjectorSimulator::QueueReply(const SReply& reply, long long dueUs, bool bControlAnswer)
{
    Queue(FrameBytes(reply.eKind, reply.nFlags, reply.nTo, reply.nFrom, reply.wItem, reply.param), dueUs,
          reply.strLabel, bControlAnswer, reply.nNewBaud);
}

// ---- what arrives ----

void CProjectorSimulator::Handle(const SRxEvent& event, long long nowUs)
{
    SLogEntry entry;
    entry.nMicros = nowUs;
    entry.bytes = event.bytes;
    bool silent = m_pModel->eIdentify == EIdentify::Silent;
    switch (event.eType) {
    case ERxEvent::Frame:
        HandleFrame(event, nowUs);
        return;
    case ERxEvent::Ack:
    case ERxEvent::Nak:
        entry.eKind = event.eType == ERxEvent::Ack ? ELogKind::RxAck : ELogKind::RxNak;
        if (m_bControlAnswerLast) {
            entry.strText = "for a control answer";
        } else if (event.eType == ERxEvent::Ack) {
            ++m_Counters.nAcks;
        } else {
            ++m_Counters.nNaks;
        }
        m_bControlAnswerLast = false;
        m_Log.Add(std::move(entry));
        return;
    case ERxEvent::Stray:
        entry.eKind = ELogKind::RxStray;
        m_Log.Add(std::move(entry));
        return;
    case ERxEvent::BadChecksum:
    case ERxEvent::BadLength:
    case ERxEvent::Stalled:
        entry.eKind = event.eType == ERxEvent::BadChecksum ? ELogKind::RxBadChecksum
                      : event.eType == ERxEvent::BadLength ? ELogKind::RxBadLength
                                                           : ELogKind::RxStalled;
        ++m_Counters.nBadFrames;
        m_Log.Add(std::move(entry));
        if (!silent)
            Queue({kNak}, nowUs, "NAK");
        return;
    }
}

void CProjectorSimulator::HandleFrame(const SRxEvent& event, long long nowUs)
{
    SCommand command;
    command.eKind = event.eKind;
    command.bytes = event.bytes;
    CDataInformation frame(event.bytes.data(), static_cast<unsigned int>(event.bytes.size()));
    unsigned int room = frame.GetSize() + 16;
    const CDataInformation* parameter;
    if (event.eKind == EFrameKind::Asic) {
        CASICPacket packet(room);
        packet = frame;
        command.nFlags = event.bytes[3];
        command.nAttr = packet.GetAttr();
        command.wItem = static_cast<uint16_t>(packet.GetGroupID() << 8 | packet.GetItemID());
        parameter = packet.GetParameter();
        command.param.assign(parameter->Bytes(), parameter->Bytes() + parameter->GetSize());
    } else {
        CZelqLevel5Packet packet(room);
        packet = frame;
        command.nFlags = event.bytes[event.eKind == EFrameKind::Stack ? 3 : 2];
        command.nAttr = packet.GetAttr();
        command.bApply = packet.IsApply();
        command.bOK = packet.IsOK();
        command.bCheck = packet.IsCheck();
        if (packet.IsStack()) {
            command.nTo = packet.GetTo();
            command.nFrom = packet.GetFrom();
        }
        command.wItem = static_cast<uint16_t>(packet.GetGroupID() << 8 | packet.GetItemID());
        parameter = packet.GetParameter();
        command.param.assign(parameter->Bytes(), parameter->Bytes() + parameter->GetSize());
    }

    if ((command.wItem >> 8) == SimControl::kGroup && !command.bApply && (command.nAttr == 1 || command.nAttr == 2)) {
        HandleControl(command, nowUs);
        return;
    }

    ++m_Counters.nFrames;
    SLogEntry entry;
    entry.nMicros = nowUs;
    entry.eKind = ELogKind::RxFrame;
    entry.bytes = event.bytes;
    const char* form = command.eKind == EFrameKind::Asic    ? "asic"
                       : command.eKind == EFrameKind::Stack ? "stack"
                                                            : "short";
    entry.strText = std::string(form) + " " + AttrName(command.nAttr) + " " + Hex16(command.wItem);
    if (command.eKind == EFrameKind::Stack)
        entry.strText += " to " + std::to_string(command.nTo) + " from " + std::to_string(command.nFrom);

    bool silent = m_pModel->eIdentify == EIdentify::Silent;
    if (command.eKind != EFrameKind::Asic && command.bApply) {
        // The computer answering a frame of ours: it wants the ACK and nothing more.
        entry.strText += command.bOK ? " (answer, refused)" : " (answer)";
        m_Log.Add(std::move(entry));
        if (silent)
            return;
        if (m_nRefusedAnswers > 0) {
            --m_nRefusedAnswers;
            Queue({kNak}, nowUs, "NAK");
        } else {
            Queue({kAck}, nowUs, "ACK");
        }
        return;
    }
    if (silent) {
        entry.strText += " (silent)";
        m_Log.Add(std::move(entry));
        return;
    }

    SFault fault = m_Plan.Next();
    EFault blockFault = BlockLineFault(command);
    if (blockFault != EFault::Normal)
        fault.eKind = blockFault;
    if (fault.eKind != EFault::Normal)
        entry.strText += " fault " + FaultName(fault);
    m_Log.Add(std::move(entry));

    if (fault.eKind == EFault::NoAck)
        return;
    if (fault.eKind == EFault::Nak) {
        Queue({kNak}, nowUs, "NAK");
        return;
    }
    Queue({kAck}, nowUs, "ACK");
    m_Consequences.clear();
    std::vector<SReply> replies = Execute(command, nowUs);
    long long due = nowUs + m_nReplyDelayMs * 1000LL;
    if (fault.eKind == EFault::Late)
        due += fault.nArg * 1000LL;
    if (fault.eKind == EFault::AckOnly || replies.empty()) {
        QueueConsequences(due);
        return;
    }

    std::vector<uint8_t> last = FrameBytes(replies.back().eKind, replies.back().nFlags, replies.back().nTo,
                                           replies.back().nFrom, replies.back().wItem, replies.back().param);
    switch (fault.eKind) {
    case EFault::Garbage:
        Queue(m_Plan.GarbageBytes(fault.nArg), due, "garbage");
        break;
    case EFault::ShortLength:
        Queue(ShortLengthHead(command.eKind), due, "short-length head");
        break;
    case EFault::OtherItem: {
        SReply other = replies.front();
        other.wItem = static_cast<uint16_t>(other.wItem ^ 0x0001);
        other.strLabel = "other item";
        other.nNewBaud = 0;
        QueueReply(other, due);
        // The right answer follows a little later, so a receiver that ends its wait on the
        // first frame it sees is done before the answer arrives.
        due += kOtherItemLeadUs;
        break;
    }
    case EFault::BadChecksum:
        last.back() = static_cast<uint8_t>(last.back() + 1);
        replies.back().strLabel += " (bad checksum)";
        break;
    case EFault::Truncated:
        last.resize(std::min<size_t>(last.size(), 5));
        replies.back().strLabel += " (truncated)";
        break;
    default:
        break;
    }
    for (size_t i = 0; i + 1 < replies.size(); ++i)
        QueueReply(replies[i], due);
    Queue(std::move(last), due, replies.back().strLabel, false, replies.back().nNewBaud);
    QueueConsequences(due);
}

std::vector<uint8_t> CProjectorSimulator::ShortLengthHead(EFrameKind kind) const
{
    // Zero bytes after the length, so a receiver that hunts on from any of them finds nothing.
    switch (kind) {
    case EFrameKind::Stack:
        return {0x1D, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00};
    case EFrameKind::Asic:
        return {0x1B, 0x00, 0x04, 0x00, 0x00, 0x00};
    case EFrameKind::Short:
        break;
    }
    return {0x1B, 0x03, 0x00, 0x00, 0x00};
}

// ---- answers ----

std::vector<uint8_t> CProjectorSimulator::IdentBytes() const
{
    uint32_t ident = m_Options.nIdent >= 0 ? static_cast<uint32_t>(m_Options.nIdent) : m_pModel->nIdent;
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(ident >> 24), static_cast<uint8_t>(ident >> 16),
                                  static_cast<uint8_t>(ident >> 8), static_cast<uint8_t>(ident)};
    bytes.resize(m_Options.nIdentBytes, 0);
    return bytes;
}

std::vector<uint8_t> CProjectorSimulator::StackState() const
{
    // Count of projectors, one role byte for each of 1-4, four unused bytes.
    std::vector<uint8_t> state(9, 0);
    state[0] = static_cast<uint8_t>(m_Options.nProjectors);
    if (m_bStackEstablished) {
        state[1] = 0x21;
        for (int p = 2; p <= m_Options.nProjectors && p <= 4; ++p)
            state[p] = 0x20;
    } else if (m_bStackCancelled) {
        state[1] = 0x11;
    }
    return state;
}

std::vector<CProjectorSimulator::SReply> CProjectorSimulator::Execute(const SCommand& command, long long nowUs)
{
    if (command.eKind == EFrameKind::Asic)
        return {AsicAnswer(command)};

    if (command.eKind == EFrameKind::Short && command.wItem == kItemIdentify && command.nAttr == 2 &&
        command.param.empty()) {
        // The Level 4 identification request; a Level 5 short get of 0x0004 looks the same.
        SReply reply;
        reply.wItem = kItemIdentify;
        if (m_pModel->eIdentify == EIdentify::Level4) {
            reply.nFlags = command.nFlags;
            reply.param = IdentBytes();
            reply.strLabel = "identification";
        } else {
            reply.nFlags = kFlagApply | kFlagOK | command.nAttr;
            reply.strLabel = "refusal (no Level 4)";
        }
        return {reply};
    }

    if (command.eKind == EFrameKind::Short)
        return {Answer(command, 1, false, nowUs)};
    if (command.nTo == kBroadcast)
        return {Answer(command, 1, true, nowUs)};
    if (command.nTo >= 1 && command.nTo <= m_Options.nProjectors && command.nTo <= CItemStore::kAddresses)
        return {Answer(command, command.nTo, false, nowUs)};
    Note("no projector at address " + std::to_string(command.nTo));
    return {};
}

CProjectorSimulator::SReply CProjectorSimulator::Answer(const SCommand& command, int address, bool bBroadcast,
                                                        long long nowUs)
{
    SReply reply;
    reply.eKind = command.eKind;
    reply.wItem = command.wItem;
    reply.nTo = command.nFrom;
    // A reply from address 0 stands for every projector.
    reply.nFrom = static_cast<uint8_t>(bBroadcast ? 0 : address);
    reply.nFlags = static_cast<uint8_t>(kFlagApply | (command.bCheck ? kFlagCheck : 0) | command.nAttr);
    reply.strLabel = "answer";

    int first = bBroadcast ? 1 : address;
    int last = bBroadcast ? std::min(m_Options.nProjectors, CItemStore::kAddresses) : address;
    EStoreResult result = m_RefusedItems.count(command.wItem) ? EStoreResult::WrongState : EStoreResult::Ok;
    bool installer = result == EStoreResult::Ok && InstallerAnswer(command, first, last, reply.param, result);
    switch (installer || result != EStoreResult::Ok ? -1 : command.nAttr) {
    case -1:
        break;
    case 2:
        if (command.wItem == kItemIdentify && m_Options.bRefuseIdent)
            result = EStoreResult::WrongState;
        else if (command.wItem == kItemIdentify)
            reply.param = IdentBytes();
        else if (command.wItem == kItemStackQuery && m_pModel->bStackCapable)
            reply.param = StackState();
        else
            result = GetSpecial(address, command, reply.param);
        break;
    case 1:
        for (int p = first; p <= last && result == EStoreResult::Ok; ++p) {
            bool handled = false;
            result = TransferSet(p, command, handled);
            if (!handled)
                result = SetSpecial(p, command, handled, nowUs);
            if (!handled && result == EStoreResult::Ok)
                result = m_Store.Set(p, command.wItem, command.param);
        }
        if (result != EStoreResult::Ok)
            break;
        if (command.wItem == kItemSpeed) {
            // The projector switches after its answer has gone out at the old speed.
            reply.nNewBaud = kSpeeds[CItemStore::Decode(command.param)];
        } else if (command.wItem == kItemStackEstablish) {
            bool established = CItemStore::Decode(command.param) == 1;
            m_bStackCancelled = m_bStackEstablished && !established;
            m_bStackEstablished = established;
        }
        break;
    case 3:
        for (int p = first; p <= last && result == EStoreResult::Ok; ++p) {
            result = m_Store.Reset(p, command.wItem, reply.param);
            if (result == EStoreResult::Ok)
                AfterReset(p, command.wItem, nowUs);
            // Untimed, the signal is found again at once, and said so after the answer.
            if (result == EStoreResult::Ok && command.wItem == kItemResolution && !m_Timing.bTimed)
                Report(p, kItemSignal);
        }
        break;
    default:
        reply.nFlags |= kFlagOK;
        reply.strLabel = "refusal: attribute " + std::to_string(command.nAttr);
        return reply;
    }
    if (result != EStoreResult::Ok) {
        reply.nFlags |= kFlagOK;
        reply.param.clear();
        reply.nNewBaud = 0;
        reply.strLabel = std::string("refusal: ") + StoreResultName(result);
    }
    return reply;
}

CProjectorSimulator::SReply CProjectorSimulator::AsicAnswer(const SCommand& command)
{
    SReply reply;
    reply.eKind = EFrameKind::Asic;
    reply.nFlags = command.nAttr;
    reply.wItem = command.wItem;
    reply.strLabel = "answer";
    reply.param = command.param;
    // The channel has no refusal: an item it does not know is simply echoed.
    if (command.nAttr == 2) {
        std::vector<uint8_t> value;
        if (m_Store.Get(1, command.wItem, value) == EStoreResult::Ok)
            reply.param = value;
    } else if (command.nAttr == 1) {
        m_Store.Set(1, command.wItem, command.param);
    } else if (command.nAttr == 3) {
        std::vector<uint8_t> value;
        if (m_Store.Reset(1, command.wItem, value) == EStoreResult::Ok)
            reply.param = value;
    }
    return reply;
}

// ---- control commands on the line ----

void CProjectorSimulator::HandleControl(const SCommand& command, long long nowUs)
{
    std::vector<uint8_t> answer;
    std::vector<SOutput> after;
    m_Consequences.clear();
    std::string error = RunControl(command, nowUs, answer, after);

    SLogEntry entry;
    entry.nMicros = nowUs;
    entry.eKind = ELogKind::RxFrame;
    entry.bytes = command.bytes;
    char text[64];
    std::snprintf(text, sizeof text, "control %s 0x%02X", AttrName(command.nAttr), command.wItem & 0xFF);
    entry.strText = text;
    if (!error.empty())
        entry.strText += " refused: " + error;
    m_Log.Add(std::move(entry));

    SReply reply;
    reply.eKind = command.eKind;
    reply.wItem = command.wItem;
    reply.nTo = command.nFrom;
    reply.nFrom = command.nTo;
    if (command.eKind == EFrameKind::Asic) {
        reply.nFlags = command.nAttr;
    } else {
        reply.nFlags = static_cast<uint8_t>(kFlagApply | command.nAttr | (error.empty() ? 0 : kFlagOK));
    }
    reply.param = answer;
    reply.strLabel = error.empty() ? "control answer" : "control refusal";
    Queue({kAck}, nowUs, "ACK");
    QueueReply(reply, nowUs, true);
    for (SOutput& out : after)
        Queue(std::move(out.bytes), out.nDueUs, std::move(out.strLabel));
    QueueConsequences(nowUs);
}

std::string CProjectorSimulator::RunControl(const SCommand& command, long long nowUs, std::vector<uint8_t>& answer,
                                            std::vector<SOutput>& after)
{
    const std::vector<uint8_t>& p = command.param;
    auto delay = [&] { return nowUs + ((p[0] << 8) | p[1]) * 1000LL; };
    uint8_t item = command.wItem & 0xFF;
    if (command.nAttr == 2) {
        if (item != SimControl::ITEM_COUNTERS)
            return "only the counters can be read";
        for (unsigned int count : {m_Counters.nFrames, m_Counters.nBadFrames, m_Counters.nAcks, m_Counters.nNaks,
                                   static_cast<unsigned int>(m_Plan.Pending())}) {
            count = std::min(count, 0xFFFFu);
            answer.push_back(static_cast<uint8_t>(count >> 8));
            answer.push_back(static_cast<uint8_t>(count));
        }
        return "";
    }
    switch (item) {
    case SimControl::ITEM_PUSH_FAULTS: {
        std::vector<SFault> faults;
        if (!DecodeFaultBytes(p.data(), p.size(), faults))
            return "fault entries do not decode";
        for (const SFault& fault : faults)
            m_Plan.Push(fault);
        return "";
    }
    case SimControl::ITEM_CLEAR_PLAN:
        m_Plan.Clear();
        return "";
    case SimControl::ITEM_SEND_FRAME: {
        if (p.size() < 7)
            return "frame description too short";
        SUnsolicitedFrame frame;
        frame.bStack = p[2] != 0;
        frame.nFrom = p[3];
        frame.nFlags = p[4];
        frame.wItem = static_cast<uint16_t>(p[5] << 8 | p[6]);
        frame.value.assign(p.begin() + 7, p.end());
        after.push_back(MakeFrameOutput(frame, delay()));
        return "";
    }
    case SimControl::ITEM_REPLY_DELAY:
        if (p.size() != 2)
            return "delay needs two bytes";
        m_nReplyDelayMs = (p[0] << 8) | p[1];
        return "";
    case SimControl::ITEM_STORE_VALUE: {
        if (p.size() < 4)
            return "store needs address, item and value";
        EStoreResult result =
            m_Store.Poke(p[0], static_cast<uint16_t>(p[1] << 8 | p[2]), std::vector<uint8_t>(p.begin() + 3, p.end()));
        return result == EStoreResult::Ok ? "" : StoreResultName(result);
    }
    case SimControl::ITEM_SEND_RAW: {
        if (p.size() < 3)
            return "raw needs a delay and bytes";
        SOutput out;
        out.nDueUs = delay();
        out.bytes.assign(p.begin() + 2, p.end());
        out.strLabel = "raw";
        after.push_back(std::move(out));
        return "";
    }
    case SimControl::ITEM_RANDOM_FAULTS:
        if (p.size() != 5)
            return "random faults need a seed and a percentage";
        m_Plan.SetRandom(static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3], p[4]);
        return "";
    case SimControl::ITEM_RESET_COUNTERS:
        m_Counters = SSimCounters();
        return "";
    case SimControl::ITEM_TIMING: {
        if ((p.size() != 5 && p.size() != 7 && p.size() != 9) || p[0] > 1)
            return "timing takes a mode and two to four durations";
        SStateTiming timing = m_Timing;
        timing.bTimed = p[0] == 1;
        unsigned int* durations[] = {&timing.nWarmMs, &timing.nCoolMs, &timing.nBusyMs, &timing.nSyncMs};
        for (size_t i = 1; i + 1 < p.size(); i += 2)
            *durations[i / 2] = static_cast<unsigned int>(p[i] << 8 | p[i + 1]);
        SetTimingLocked(timing, nowUs);
        return "";
    }
    case SimControl::ITEM_CHANGE_VALUE: {
        if (p.size() < 4)
            return "change needs address, item and value";
        if (!ChangeLocked(p[0], static_cast<uint16_t>(p[1] << 8 | p[2]), std::vector<uint8_t>(p.begin() + 3, p.end()),
                          nowUs))
            return "no such item, address or width";
        return "";
    }
    }
    return "unknown control item";
}

CProjectorSimulator::SOutput CProjectorSimulator::MakeFrameOutput(const SUnsolicitedFrame& frame, long long dueUs) const
{
    SOutput out;
    out.nDueUs = dueUs;
    out.bytes = BuildFrame(frame, m_Options.bAsic);
    out.strLabel = "report " + Hex16(frame.wItem);
    return out;
}

// ---- the interface for tests and the command line ----

std::vector<uint8_t> CProjectorSimulator::BuildFrame(const SUnsolicitedFrame& frame, bool bAsic)
{
    EFrameKind kind = bAsic ? EFrameKind::Asic : frame.bStack ? EFrameKind::Stack : EFrameKind::Short;
    return FrameBytes(kind, frame.nFlags, frame.nTo, frame.nFrom, frame.wItem, frame.value);
}

void CProjectorSimulator::PushFault(const SFault& fault)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Plan.Push(fault);
}

void CProjectorSimulator::PushFaults(const std::vector<SFault>& faults)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    for (const SFault& fault : faults)
        m_Plan.Push(fault);
}

void CProjectorSimulator::RefuseAnswers(unsigned int count)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_nRefusedAnswers = count;
}

void CProjectorSimulator::ClearFaults()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Plan.Clear();
}

void CProjectorSimulator::SetRandomFaults(uint32_t seed, unsigned int percent)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Plan.SetRandom(seed, percent);
}

size_t CProjectorSimulator::PendingFaults() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Plan.Pending();
}

void CProjectorSimulator::SetReplyDelay(unsigned int ms)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_nReplyDelayMs = ms;
}

void CProjectorSimulator::SetPacing(unsigned int baud)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bPace = baud != 0;
        if (baud)
            m_nBaud = baud;
    }
    Wake();
}

unsigned int CProjectorSimulator::GetBaud() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_nBaud;
}

void CProjectorSimulator::SendFrame(const SUnsolicitedFrame& frame, unsigned int delayMs)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        SOutput out = MakeFrameOutput(frame, NowUs() + delayMs * 1000LL);
        Queue(std::move(out.bytes), out.nDueUs, std::move(out.strLabel));
    }
    Wake();
}

void CProjectorSimulator::SendRaw(const std::vector<uint8_t>& bytes, unsigned int delayMs)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        Queue(bytes, NowUs() + delayMs * 1000LL, "raw");
    }
    Wake();
}

bool CProjectorSimulator::SetValue(int address, uint16_t code, long long value)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Store.PokeValue(address, code, value) == EStoreResult::Ok;
}

bool CProjectorSimulator::GetValue(int address, uint16_t code, long long& value) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Store.GetValue(address, code, value) == EStoreResult::Ok;
}

bool CProjectorSimulator::IsStackEstablished() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bStackEstablished;
}

CReceivedBlocks CProjectorSimulator::BulkTransfer() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Bulk;
}

SSimCounters CProjectorSimulator::Counters() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Counters;
}

std::string CProjectorSimulator::Execute(const std::string& line)
{
    std::string error;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        error = ExecuteLocked(line);
    }
    // In the log, so that a script can wait for its command to have been taken.
    Note("command " + line + (error.empty() ? "" : ": " + error));
    Wake();
    return error;
}
