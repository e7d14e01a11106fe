#include "fault_plan.h"

#include <cstdlib>
#include <iterator>

namespace {
struct SFaultName {
    EFault eKind;
    const char* pszName;
    bool bArg;
};

const SFaultName kNames[] = {
    {EFault::Normal, "normal", false},
    {EFault::NoAck, "no-ack", false},
    {EFault::Nak, "nak", false},
    {EFault::AckOnly, "ack-only", false},
    {EFault::Late, "late", true},
    {EFault::BadChecksum, "bad-checksum", false},
    {EFault::Truncated, "truncated", false},
    {EFault::Garbage, "garbage", true},
    {EFault::ShortLength, "short-length", false},
    {EFault::OtherItem, "other-item", false},
};

const SFaultName* ByKind(EFault kind)
{
    for (const auto& name : kNames)
        if (name.eKind == kind)
            return &name;
    return nullptr;
}

bool ParseNumber(const std::string& text, unsigned long max, unsigned long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtoul(text.c_str(), &end, 10);
    return *end == 0 && value <= max && text[0] != '-';
}

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}
} // namespace

bool ParseFaultList(const std::string& text, std::vector<SFault>& out, std::string& error)
{
    std::vector<SFault> faults;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        std::string entry = Trim(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        start = comma == std::string::npos ? text.size() + 1 : comma + 1;
        if (entry.empty()) {
            error = "empty fault entry in \"" + text + "\"";
            return false;
        }
        unsigned long repeat = 1;
        size_t star = entry.find('*');
        if (star != std::string::npos) {
            if (!ParseNumber(entry.substr(star + 1), 1000, repeat) || repeat == 0) {
                error = "bad repeat count in \"" + entry + "\"";
                return false;
            }
            entry = entry.substr(0, star);
        }
        size_t colon = entry.find(':');
        std::string name = entry.substr(0, colon);
        const SFaultName* found = nullptr;
        for (const auto& candidate : kNames)
            if (name == candidate.pszName)
                found = &candidate;
        if (!found) {
            error = "unknown fault \"" + name + "\"";
            return false;
        }
        SFault fault;
        fault.eKind = found->eKind;
        if (colon != std::string::npos) {
            unsigned long arg = 0;
            unsigned long max = fault.eKind == EFault::Late ? 65535 : 255;
            if (!found->bArg || !ParseNumber(entry.substr(colon + 1), max, arg)) {
                error = "bad argument in \"" + entry + "\"";
                return false;
            }
            fault.nArg = static_cast<unsigned int>(arg);
        } else if (fault.eKind == EFault::Late) {
            error = "late needs milliseconds, as in late:500";
            return false;
        } else if (fault.eKind == EFault::Garbage) {
            fault.nArg = kDefaultGarbageBytes;
        }
        faults.insert(faults.end(), repeat, fault);
    }
    out.insert(out.end(), faults.begin(), faults.end());
    return true;
}

std::string FaultName(const SFault& fault)
{
    const SFaultName* name = ByKind(fault.eKind);
    if (!name)
        return "?";
    std::string text = name->pszName;
    if (name->bArg)
        text += ":" + std::to_string(fault.nArg);
    return text;
}

bool DecodeFaultBytes(const uint8_t* data, size_t count, std::vector<SFault>& out)
{
    std::vector<SFault> faults;
    size_t i = 0;
    while (i < count) {
        SFault fault;
        fault.eKind = static_cast<EFault>(data[i++]);
        if (!ByKind(fault.eKind))
            return false;
        if (fault.eKind == EFault::Late) {
            if (i + 2 > count)
                return false;
            fault.nArg = (static_cast<unsigned int>(data[i]) << 8) | data[i + 1];
            i += 2;
        } else if (fault.eKind == EFault::Garbage) {
            if (i + 1 > count)
                return false;
            fault.nArg = data[i++];
        }
        faults.push_back(fault);
    }
    out.insert(out.end(), faults.begin(), faults.end());
    return true;
}

void CFaultPlan::Clear()
{
    m_Queue.clear();
    m_nPercent = 0;
}

void CFaultPlan::SetRandom(uint32_t seed, unsigned int percent)
{
    m_nPercent = percent > 100 ? 100 : percent;
    m_Random.seed(seed);
}

SFault CFaultPlan::Next()
{
    if (!m_Queue.empty()) {
        SFault fault = m_Queue.front();
        m_Queue.pop_front();
        return fault;
    }
    SFault fault;
    if (m_nPercent == 0 || std::uniform_int_distribution<unsigned int>(0, 99)(m_Random) >= m_nPercent)
        return fault;
    static const EFault kChoices[] = {EFault::NoAck,   EFault::Nak,         EFault::AckOnly,
                                      EFault::Late,    EFault::BadChecksum, EFault::Truncated,
                                      EFault::Garbage, EFault::ShortLength, EFault::OtherItem};
    fault.eKind = kChoices[std::uniform_int_distribution<size_t>(0, std::size(kChoices) - 1)(m_Random)];
    if (fault.eKind == EFault::Late)
        fault.nArg = std::uniform_int_distribution<unsigned int>(100, 1500)(m_Random);
    else if (fault.eKind == EFault::Garbage)
        fault.nArg = std::uniform_int_distribution<unsigned int>(1, 16)(m_Random);
    return fault;
}

std::vector<uint8_t> CFaultPlan::GarbageBytes(unsigned int count)
{
    std::vector<uint8_t> bytes;
    std::uniform_int_distribution<unsigned int> pick(0, 255);
    while (bytes.size() < count) {
        uint8_t b = static_cast<uint8_t>(pick(m_Random));
        if (b != 0x06 && b != 0x15 && b != 0x1B && b != 0x1D)
            bytes.push_back(b);
    }
    return bytes;
}
