// One projector on one port, identified and addressed the way the main program does it:
// a single Level 4 identification request, then Level 5 only.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clock.h"
#include "engine_level5.h"
#include "message_window.h"
#include "projector_model.h"

struct SAnswer {
    unsigned char attr = 0;
    int refused = 0;
    std::vector<unsigned char> parameter;
};

// A frame the projector sent by itself: a change of power, input, signal, warnings...
struct SReport {
    int projector = 1; // of a stack; 1 outside one
    uint16_t item = 0;
    std::vector<unsigned char> parameter;
};

enum ESessionStatus {
    SESSION_OK = 0,
    SESSION_USAGE = 1,
    SESSION_NO_PORT = 2,
    SESSION_NO_RESPONSE = 3,
    SESSION_UNSUPPORTED = 4,
    SESSION_REFUSED = 5,
    SESSION_DIFFERS = 6,  // diff: the projector differs from the file
    SESSION_BAD_FILE = 7, // a setting file that cannot be read, written or is not a whole table
};

// The engines' messages to the session as something a clock waits for. A message that came
// while the clock looked is held for the next Take.
class CSessionMessages : public IWaitable {
public:
    explicit CSessionMessages(CMessageWindow& window) : m_Window(window) {}
    bool Await(uint32_t ms) override;
    bool HasCome() override { return Await(0); }
    // The message that came, once; false when none has.
    bool Take(SEngineMessage& out);
    // Forgets every message posted so far.
    void Drop();

private:
    CMessageWindow& m_Window;
    SEngineMessage m_Held = {};
    bool m_bHeld = false;
};

class CProjectorSession {
public:
    // Every wait of the session and of its engines reads clock.
    CProjectorSession(const std::string& device, unsigned long baud, IClock& clock = SystemClock());
    ~CProjectorSession();
    const std::string& Device() const { return m_strDevice; }

    // Identifies the projector: status, and the model or a message for the user.
    ESessionStatus Identify(const SProjectorModel*& model, std::string& message);
    // One Level 5 command: attr 1 = set, 2 = get, 3 = reset; stack frames address one projector.
    ESessionStatus Transact(int stack, unsigned char attr, unsigned char address, uint16_t item,
                            const std::vector<unsigned char>& parameter, SAnswer& answer, std::string& message);

    // Waits up to waitMs for a report at Level 5: SESSION_OK with one, SESSION_NO_RESPONSE
    // when none came, SESSION_NO_PORT when the port cannot be opened or went away.
    ESessionStatus NextReport(unsigned long waitMs, SReport& report, std::string& message);

private:
    bool Open(int level);
    void Close();
    // Reads the engine's messages until the answer for item arrives or limitMs pass.
    // Level 5 answers count only with the command's attribute (1 set, 2 get, 3 reset).
    bool AwaitAnswer(uint16_t item, unsigned char attr, bool level5, unsigned long limitMs, SAnswer& answer);
    // Discards every message the engine has posted so far.
    void DropPending();
    // The status and message for an engine's failed send.
    ESessionStatus Failed(int result, std::string& message) const;

    std::string m_strDevice;
    unsigned long m_nBaud;
    IClock& m_Clock;
    CMessageWindow m_Window;
    CSessionMessages m_Messages{m_Window};
    std::unique_ptr<CCommZelqLevel4> m_pLevel4;
    std::unique_ptr<CCommZelqLevel5> m_pLevel5;
};

// Values travel big-endian. An item's value as the program keeps it: one- and two-byte values
// are signed unless the item is an unsigned choice (Resolution); 0 for more than four bytes.
int32_t DecodeItemValue(uint16_t item, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> EncodeItemValue(int32_t value, unsigned int width);
// The narrowest signed width (1, 2 or 4 bytes) that holds value.
unsigned int NarrowestWidth(int32_t value);
// The bytes a set of the item carries: its own width when the program knows the item, else
// the narrowest that holds value.
unsigned int ItemSetWidth(uint16_t item, int32_t value);
// Whether value survives being sent in width bytes, read signed or unsigned.
bool FitsWidth(int32_t value, unsigned int width);
// Whether value arrives as itself in width bytes: read back as the program reads the item
// when it knows it, else either way.
bool ItemValueFits(uint16_t item, int32_t value, unsigned int width);
