// The text commands of the control FIFO, one per line:
//
//   fault LIST                  push fault entries ("nak,late:1500,garbage:3,ack-only*2")
//   clear                       empty the fault plan and end random faults
//   random SEED:PERCENT | off   seeded random faults
//   delay MS                    every later reply waits MS after its ACK
//   pace BAUD | off             write no faster than BAUD (10 bits a byte)
//   report [stack] [from N] [to N] [flags F] ITEM [HEX...]
//                               a frame the projector sends by itself (flags default 0x02:
//                               attribute 2, Apply clear), e.g. "report 0x0003 01"
//   raw HEX...                  bytes sent verbatim
//   set ITEM VALUE [ADDR]       store a value quietly (address 1 unless given)
//   frequency H V [ADDR]        store the signal's frequencies quietly, in 0.01 kHz and 0.01 Hz
//   resolution W H [ADDR]       store the signal's resolution quietly
//   change ITEM VALUE [ADDR]    store a value and report it
//   range ITEM MIN MAX          sets of ITEM outside MIN..MAX are refused from now on
//   refuse ITEM | refuse none   every get, set and reset of ITEM is refused from now on
//   power on|standby|warming|cooling|VALUE [ADDR]
//                               store the power state and report it; timed, warming and
//                               cooling end by themselves
//   input N [ADDR]              the input source 0x0100 changes (16 computer, 33/34 video, 64)
//   signal N [ADDR]             the detected signal 0x0101 changes (1, 224..237, 0 for none)
//   warning BITS [ADDR]         the warning bits 0x0012 change
//   image FILE                  each completed bulk transfer is written to FILE
//   block-fault N refuse|drop|silent|drop-rest
//                               block N (from 0) of the next bulk transfer is refused, goes
//                               unheard, is taken but never answered, or it and every later
//                               block go unheard
//   power-ms WARM:COOL[:BUSY[:SYNC]] | off
//                               time the power sequence, reset all and re-synchronising; off:
//                               they take effect at once, unreported
//
// Numbers take C notation (0x0003, -10); HEX tokens are bytes ("01", "0xF6", "0a0b0c").
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "projector_simulator.h"

namespace {
bool ParseInteger(const std::string& text, long long min, long long max, long long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 0);
    return *end == 0 && errno == 0 && value >= min && value <= max;
}

bool ParseHexBytes(std::string text, std::vector<uint8_t>& out)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text = text.substr(2);
    if (text.empty() || (text.size() > 2 && text.size() % 2))
        return false;
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    if (text.size() <= 2) {
        out.push_back(static_cast<uint8_t>(std::strtoul(text.c_str(), nullptr, 16)));
        return true;
    }
    for (size_t i = 0; i < text.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16)));
    return true;
}
} // namespace

bool ParseStateTiming(const std::string& text, SStateTiming& timing)
{
    if (text == "off") {
        timing.bTimed = false;
        return true;
    }
    SStateTiming parsed = timing;
    unsigned int* durations[] = {&parsed.nWarmMs, &parsed.nCoolMs, &parsed.nBusyMs, &parsed.nSyncMs};
    size_t count = 0, start = 0;
    for (;;) {
        size_t colon = text.find(':', start);
        long long ms = 0;
        if (count == 4 || !ParseInteger(text.substr(start, colon - start), 0, 600000, ms))
            return false;
        *durations[count++] = static_cast<unsigned int>(ms);
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    if (count < 2)
        return false;
    parsed.bTimed = true;
    timing = parsed;
    return true;
}

std::string CProjectorSimulator::ExecuteLocked(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    if (words.empty() || words[0][0] == '#')
        return "";
    const std::string& verb = words[0];
    long long number = 0;

    if (verb == "fault" && words.size() == 2) {
        std::vector<SFault> faults;
        std::string error;
        if (!ParseFaultList(words[1], faults, error))
            return error;
        for (const SFault& fault : faults)
            m_Plan.Push(fault);
        return "";
    }
    if (verb == "clear" && words.size() == 1) {
        m_Plan.Clear();
        return "";
    }
    if (verb == "random" && words.size() == 2) {
        if (words[1] == "off") {
            m_Plan.SetRandom(0, 0);
            return "";
        }
        size_t colon = words[1].find(':');
        long long seed = 0;
        if (colon == std::string::npos || !ParseInteger(words[1].substr(0, colon), 0, 0xFFFFFFFFLL, seed) ||
            !ParseInteger(words[1].substr(colon + 1), 0, 100, number))
            return "random takes SEED:PERCENT or off";
        m_Plan.SetRandom(static_cast<uint32_t>(seed), static_cast<unsigned int>(number));
        return "";
    }
    if (verb == "delay" && words.size() == 2) {
        if (!ParseInteger(words[1], 0, 600000, number))
            return "delay takes milliseconds";
        m_nReplyDelayMs = static_cast<unsigned int>(number);
        return "";
    }
    if (verb == "pace" && words.size() == 2) {
        if (words[1] == "off") {
            m_bPace = false;
            return "";
        }
        if (!ParseInteger(words[1], 50, 4000000, number))
            return "pace takes a line rate or off";
        m_bPace = true;
        m_nBaud = static_cast<unsigned int>(number);
        return "";
    }
    if (verb == "report") {
        SUnsolicitedFrame frame;
        size_t i = 1;
        for (; i < words.size(); ++i) {
            if (words[i] == "stack") {
                frame.bStack = true;
            } else if ((words[i] == "from" || words[i] == "to" || words[i] == "flags") && i + 1 < words.size()) {
                if (!ParseInteger(words[i + 1], 0, words[i] == "flags" ? 255 : 15, number))
                    return "bad " + words[i] + " value";
                (words[i] == "from" ? frame.nFrom
                 : words[i] == "to" ? frame.nTo
                                    : frame.nFlags) = static_cast<uint8_t>(number);
                ++i;
            } else {
                break;
            }
        }
        if (i >= words.size() || !ParseInteger(words[i], 0, 0xFFFF, number))
            return "report needs an item code";
        frame.wItem = static_cast<uint16_t>(number);
        for (++i; i < words.size(); ++i)
            if (!ParseHexBytes(words[i], frame.value))
                return "bad byte \"" + words[i] + "\"";
        SOutput out = MakeFrameOutput(frame, NowUs());
        Queue(std::move(out.bytes), out.nDueUs, std::move(out.strLabel));
        return "";
    }
    if (verb == "raw" && words.size() >= 2) {
        std::vector<uint8_t> bytes;
        for (size_t i = 1; i < words.size(); ++i)
            if (!ParseHexBytes(words[i], bytes))
                return "bad byte \"" + words[i] + "\"";
        Queue(std::move(bytes), NowUs(), "raw");
        return "";
    }
    long long address = 1;
    if (verb == "set" && (words.size() == 3 || words.size() == 4)) {
        long long code = 0;
        if (!ParseInteger(words[1], 0, 0xFFFF, code) || !ParseInteger(words[2], -0x80000000LL, 0xFFFFFFFFLL, number) ||
            (words.size() == 4 && !ParseInteger(words[3], 1, CItemStore::kAddresses, address)))
            return "set takes ITEM VALUE [ADDRESS]";
        EStoreResult result = m_Store.PokeValue(static_cast<int>(address), static_cast<uint16_t>(code), number);
        return result == EStoreResult::Ok ? "" : StoreResultName(result);
    }
    if (verb == "image" && words.size() == 2) {
        m_strImageFile = words[1];
        return "";
    }
    if (verb == "block-fault" && words.size() == 3) {
        static const struct {
            const char* pszName;
            EBlockFault eFault;
        } kBlockFaults[] = {{"refuse", EBlockFault::Refuse},
                            {"drop", EBlockFault::Drop},
                            {"silent", EBlockFault::Silent},
                            {"drop-rest", EBlockFault::DropRest}};
        for (const auto& f : kBlockFaults)
            if (words[2] == f.pszName && ParseInteger(words[1], 0, 0xFFFF, number)) {
                m_nFaultBlock = static_cast<unsigned int>(number);
                m_eBlockFault = f.eFault;
                return "";
            }
        return "block-fault takes a block number and refuse, drop, silent or drop-rest";
    }
    if (verb == "refuse" && words.size() == 2) {
        if (words[1] == "none") {
            m_RefusedItems.clear();
            return "";
        }
        if (!ParseInteger(words[1], 0, 0xFFFF, number))
            return "refuse takes an item code or none";
        m_RefusedItems.insert(static_cast<uint16_t>(number));
        return "";
    }
    if (verb == "range" && words.size() == 4) {
        long long code = 0, min = 0, max = 0;
        if (!ParseInteger(words[1], 0, 0xFFFF, code) || !ParseInteger(words[2], -0x80000000LL, 0xFFFFFFFFLL, min) ||
            !ParseInteger(words[3], -0x80000000LL, 0xFFFFFFFFLL, max) ||
            !m_Store.SetRange(static_cast<uint16_t>(code), min, max))
            return "range takes a value ITEM, MIN and MAX";
        return "";
    }
    // A value given by name or number, an optional address, and a report of the change.
    auto change = [&](uint16_t code, long long value, size_t addressWord) -> std::string {
        if (words.size() > addressWord && !ParseInteger(words[addressWord], 1, CItemStore::kAddresses, address))
            return verb + " takes a value and an address";
        const SItemDef* def = m_Store.Def(code);
        if (!def || def->nWidth > 4)
            return StoreResultName(EStoreResult::UnknownItem);
        ChangeLocked(static_cast<int>(address), code, CItemStore::Encode(value, def->nWidth), NowUs());
        QueueConsequences(NowUs());
        return "";
    };
    if (verb == "power" && (words.size() == 2 || words.size() == 3)) {
        static const struct {
            const char* pszName;
            int nValue;
        } kStates[] = {{"on", 0x01}, {"standby", 0x00}, {"off", 0x00}, {"warming", 0x10}, {"cooling", 0x11}};
        number = -1;
        for (const auto& state : kStates)
            if (words[1] == state.pszName)
                number = state.nValue;
        if (number < 0 && !ParseInteger(words[1], 0, 255, number))
            return "power takes on, standby, warming, cooling or a value, and an address";
        return change(0x0003, number, 2);
    }
    static const struct {
        const char* pszVerb;
        uint16_t wCode;
    } kChanges[] = {{"input", 0x0100}, {"signal", 0x0101}, {"warning", 0x0012}};
    for (const auto& c : kChanges) {
        if (verb != c.pszVerb || (words.size() != 2 && words.size() != 3))
            continue;
        if (!ParseInteger(words[1], 0, 255, number))
            return verb + " takes a value from 0 to 255";
        return change(c.wCode, number, 2);
    }
    if (verb == "change" && (words.size() == 3 || words.size() == 4)) {
        long long code = 0;
        if (!ParseInteger(words[1], 0, 0xFFFF, code) || !ParseInteger(words[2], -0x80000000LL, 0xFFFFFFFFLL, number))
            return "change takes ITEM VALUE [ADDRESS]";
        return change(static_cast<uint16_t>(code), number, 3);
    }
    if ((verb == "frequency" || verb == "resolution") && (words.size() == 3 || words.size() == 4)) {
        long long first = 0, second = 0;
        if (!ParseInteger(words[1], 0, 0xFFFFFFFFLL, first) || !ParseInteger(words[2], 0, 0xFFFFFFFFLL, second) ||
            (words.size() == 4 && !ParseInteger(words[3], 1, CItemStore::kAddresses, address)))
            return verb + " takes two numbers and an address";
        std::vector<uint8_t> bytes = CItemStore::Encode(first, 4), low = CItemStore::Encode(second, 4);
        bytes.insert(bytes.end(), low.begin(), low.end());
        EStoreResult result = m_Store.Poke(static_cast<int>(address), verb == "frequency" ? 0x030A : 0x030B, bytes);
        return result == EStoreResult::Ok ? "" : StoreResultName(result);
    }
    if (verb == "power-ms" && words.size() == 2) {
        SStateTiming timing = m_Timing;
        if (!ParseStateTiming(words[1], timing))
            return "power-ms takes WARM:COOL[:BUSY[:SYNC]] or off";
        SetTimingLocked(timing, NowUs());
        return "";
    }
    return "unknown command \"" + line + "\"";
}
