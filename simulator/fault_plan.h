// What goes wrong with the projector's answer to a command: scripted one entry per command
// frame, or drawn at random from a seeded generator.
#pragma once
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "sim_control.h"

enum class EFault : uint8_t {
    Normal = SimControl::FAULT_NORMAL,
    NoAck = SimControl::FAULT_NO_ACK,
    Nak = SimControl::FAULT_NAK,
    AckOnly = SimControl::FAULT_ACK_ONLY,
    Late = SimControl::FAULT_LATE,
    BadChecksum = SimControl::FAULT_BAD_CHECKSUM,
    Truncated = SimControl::FAULT_TRUNCATED,
    Garbage = SimControl::FAULT_GARBAGE,
    ShortLength = SimControl::FAULT_SHORT_LENGTH,
    OtherItem = SimControl::FAULT_OTHER_ITEM,
};

struct SFault {
    EFault eKind = EFault::Normal;
    unsigned int nArg = 0; // late: milliseconds; garbage: byte count

    bool operator==(const SFault& other) const { return eKind == other.eKind && nArg == other.nArg; }
};

const unsigned int kDefaultGarbageBytes = 5;

// "nak", "late:1500", "garbage:3", "ack-only*2" (two entries); a list is separated by commas.
bool ParseFaultList(const std::string& text, std::vector<SFault>& out, std::string& error);
std::string FaultName(const SFault& fault);
// The byte form of the in-band control command; false when the bytes end inside an entry
// or hold an unknown kind.
bool DecodeFaultBytes(const uint8_t* data, size_t count, std::vector<SFault>& out);

class CFaultPlan {
public:
    void Push(const SFault& fault) { m_Queue.push_back(fault); }
    void Clear();
    // percent 0 ends random faults.
    void SetRandom(uint32_t seed, unsigned int percent);
    size_t Pending() const { return m_Queue.size(); }
    bool IsRandom() const { return m_nPercent != 0; }

    // The fault for the next command frame: the scripted queue first, then chance.
    SFault Next();
    // Bytes for a garbage fault: never a start, ACK or NAK byte.
    std::vector<uint8_t> GarbageBytes(unsigned int count);

private:
    std::deque<SFault> m_Queue;
    unsigned int m_nPercent = 0;
    std::mt19937 m_Random{0};
};
