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
//   power on|standby|warming|cooling|VALUE [ADDR]
//                               store the power state and report it
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
                (words[i] == "from" ? frame.nFrom : words[i] == "to" ? frame.nTo : frame.nFlags) =
                    static_cast<uint8_t>(number);
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
    if (verb == "power" && (words.size() == 2 || words.size() == 3)) {
        static const struct {
            const char* pszName;
            int nValue;
        } kStates[] = {{"on", 0x01}, {"standby", 0x00}, {"off", 0x00}, {"warming", 0x10}, {"cooling", 0x11}};
        number = -1;
        for (const auto& state : kStates)
            if (words[1] == state.pszName)
                number = state.nValue;
        if ((number < 0 && !ParseInteger(words[1], 0, 255, number)) ||
            (words.size() == 3 && !ParseInteger(words[2], 1, CItemStore::kAddresses, address)))
            return "power takes on, standby, warming, cooling or a value, and an address";
        m_Store.PokeValue(static_cast<int>(address), 0x0003, number);
        // A stacked projector, or any but the first, reports in the stack form.
        SUnsolicitedFrame frame;
        frame.bStack = m_bStackEstablished || address != 1;
        frame.nFrom = static_cast<uint8_t>(address);
        frame.wItem = 0x0003;
        frame.value = {static_cast<uint8_t>(number)};
        SOutput out = MakeFrameOutput(frame, NowUs());
        Queue(std::move(out.bytes), out.nDueUs, std::move(out.strLabel));
        return "";
    }
    return "unknown command \"" + line + "\"";
}
