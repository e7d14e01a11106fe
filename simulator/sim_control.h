// In-band control of the simulated projector, for tests that have nothing but the serial line
// (the Windows engine tests under Wine). Plain C++ without dependencies so that both the
// simulator and Windows test code can include it.
//
// A control command is a SET (attribute 1) frame to GroupID 0xEE; the ItemID selects the
// command and the parameter carries its arguments. Short Level 5 frames are the normal form;
// stack frames work too, and in ASIC mode ASIC frames. The simulator always acknowledges and
// answers a control frame (Apply set; OK set when the arguments do not decode), never delays
// it by faults or reply delays, and never counts it against the fault plan.
//
//   item 0x01  push faults     fault entries back to back (encoding below); appended to the plan,
//                              one entry is consumed by each later command frame
//   item 0x02  clear plan      no parameter; also ends random faults
//   item 0x03  send frame      DH DL FORM FROM FLAGS GROUP ITEM value...
//                              a frame the projector sends by itself, DH:DL ms after the answer.
//                              FORM 0 = short frame, 1 = stack frame (To 0, From = FROM);
//                              FLAGS = the flag byte (Apply 0x80, OK 0x40, Check 0x20, attribute
//                              in bits 0-3), in ASIC mode the attribute byte
//   item 0x04  reply delay     DH DL: every later reply waits DH:DL ms after its ACK (0 = none)
//   item 0x05  store value     ADDR GROUP ITEM value...: puts the value bytes (big-endian, the
//                              item's width) into projector ADDR's store without range checks
//   item 0x06  send raw        DH DL bytes...: the bytes verbatim, DH:DL ms after the answer
//   item 0x07  random faults   S3 S2 S1 S0 PERCENT: a fault on PERCENT % of the command frames,
//                              chosen by a generator seeded with S (big-endian); 0 % ends them
//   item 0x08  reset counters  no parameter
//   item 0x09  timing          MODE WH WL CH CL [BH BL [SH SL]]: MODE 1 = timed, 0 = untimed;
//                              warming W, cooling C, busy after reset all B, re-synchronising
//                              after a resolution change S, each in ms (big-endian). Timed, a set
//                              of power 0x0003 passes through 0x10 or 0x11, reset all 0x0007
//                              reads 0 for B ms, and each change is reported by the projector;
//                              untimed, the set takes effect at once, unreported
//   item 0x0A  change value    ADDR GROUP ITEM value...: as store value, then projector ADDR
//                              reports the item by itself (after the control's answer), as
//                              for a new input 0x0100, detected signal 0x0101, warning bits
//                              0x0012 or power state 0x0003; a warming or cooling state then
//                              runs its time when timed
//   item 0x10  counters        GET (attribute 2) only. Answer: five 16-bit big-endian counts:
//                              command frames, bad frames (checksum, length, stalled), ACK bytes,
//                              NAK bytes received, fault entries still pending. ACK/NAK bytes
//                              that answer a control frame's answer are not counted.
//
// Fault entries: one kind byte, two kinds with arguments.
//   0x00 normal          ACK and the usual answer
//   0x01 no-ack          nothing at all
//   0x02 nak             NAK, no answer
//   0x03 ack-only        ACK, no answer (a set still takes effect)
//   0x04 late MH ML      ACK, the answer MH:ML ms later
//   0x05 bad-checksum    ACK, the answer with a wrong checksum
//   0x06 truncated       ACK, the answer's first 5 bytes only
//   0x07 garbage N       ACK, N random bytes that start nothing, then the answer
//   0x08 short-length    ACK, a frame head whose length is below the minimum, then the answer
//   0x09 other-item      ACK, an answer for a neighbouring ItemID, then the right answer 100 ms later
#pragma once

namespace SimControl {

const unsigned char kGroup = 0xEE;
const unsigned int kMaxParameter = 249; // a short frame's length byte limits its parameter

enum EItem : unsigned char {
    ITEM_PUSH_FAULTS = 0x01,
    ITEM_CLEAR_PLAN = 0x02,
    ITEM_SEND_FRAME = 0x03,
    ITEM_REPLY_DELAY = 0x04,
    ITEM_STORE_VALUE = 0x05,
    ITEM_SEND_RAW = 0x06,
    ITEM_RANDOM_FAULTS = 0x07,
    ITEM_RESET_COUNTERS = 0x08,
    ITEM_TIMING = 0x09,
    ITEM_CHANGE_VALUE = 0x0A,
    ITEM_COUNTERS = 0x10,
};

enum EFault : unsigned char {
    FAULT_NORMAL = 0x00,
    FAULT_NO_ACK = 0x01,
    FAULT_NAK = 0x02,
    FAULT_ACK_ONLY = 0x03,
    FAULT_LATE = 0x04,
    FAULT_BAD_CHECKSUM = 0x05,
    FAULT_TRUNCATED = 0x06,
    FAULT_GARBAGE = 0x07,
    FAULT_SHORT_LENGTH = 0x08,
    FAULT_OTHER_ITEM = 0x09,
};

// Collects the parameter of one control command.
class CParameter {
public:
    CParameter() : m_nSize(0), m_bOverflow(false) {}

    CParameter& Byte(unsigned int value)
    {
        if (m_nSize < kMaxParameter)
            m_Bytes[m_nSize++] = static_cast<unsigned char>(value);
        else
            m_bOverflow = true;
        return *this;
    }
    CParameter& Word(unsigned int value) { return Byte(value >> 8).Byte(value); }
    // ITEM_STORE_VALUE, ITEM_CHANGE_VALUE: the address and item; append the value.
    CParameter& Item(unsigned int address, unsigned int item) { return Byte(address).Word(item); }
    CParameter& Bytes(const unsigned char* data, unsigned int count)
    {
        for (unsigned int i = 0; i < count; ++i)
            Byte(data[i]);
        return *this;
    }

    CParameter& Fault(EFault kind) { return Byte(kind); }
    CParameter& Late(unsigned int ms) { return Byte(FAULT_LATE).Word(ms); }
    CParameter& Garbage(unsigned int count) { return Byte(FAULT_GARBAGE).Byte(count); }

    // ITEM_SEND_FRAME: the head of a frame the projector sends by itself; append its value.
    CParameter& Frame(unsigned int delayMs, int stack, unsigned int from, unsigned int flags, unsigned int item)
    {
        return Word(delayMs).Byte(stack ? 1 : 0).Byte(from).Byte(flags).Word(item);
    }

    const unsigned char* Data() const { return m_Bytes; }
    unsigned int Size() const { return m_nSize; }
    bool Overflowed() const { return m_bOverflow; }

private:
    unsigned char m_Bytes[kMaxParameter];
    unsigned int m_nSize;
    bool m_bOverflow;
};

// The whole short SET frame of a control command, for tests that write raw bytes.
// out must hold count + 6 bytes; returns the frame length (0 when count is too long).
inline unsigned int BuildFrame(unsigned char item, const unsigned char* parameter, unsigned int count,
                               unsigned char* out)
{
    if (count > kMaxParameter)
        return 0;
    unsigned int total = count + 6;
    out[0] = 0x1B;
    out[1] = static_cast<unsigned char>(total);
    out[2] = 0x01;
    out[3] = kGroup;
    out[4] = item;
    unsigned char sum = 0;
    for (unsigned int i = 0; i < count; ++i)
        out[5 + i] = parameter[i];
    for (unsigned int i = 1; i < total - 1; ++i)
        sum = static_cast<unsigned char>(sum + out[i]);
    out[total - 1] = static_cast<unsigned char>(0x100 - sum);
    return total;
}

} // namespace SimControl
