// CProjectorLink: the program's single door to the projector. It owns the engine of the
// generation in use, turns a compact command into a Level 5 header, sends it and waits
// until the receiving handlers have seen the acknowledgement and the answer.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "clock.h"
#include "engine_level4.h"
#include "engine_level5.h"
#include "link_host.h"

class CLinkReceiver;

// The header of a compact command: attr carries Apply, OK and Check in bits 7-5 and the
// attribute in bits 0-3; address carries To in bits 0-3 and From in bits 4-7.
SZelqLevel5Header MakeLevel5Header(int stack, unsigned char attr, unsigned char address, uint16_t item,
                                   unsigned int count);

class CProjectorLink {
public:
    CProjectorLink();
    // The owner closes the link first; the destructor only frees what is left.
    ~CProjectorLink();
    CProjectorLink(const CProjectorLink&) = delete;
    CProjectorLink& operator=(const CProjectorLink&) = delete;

    // The window half: the host that pumps messages and the handlers that keep the reply state.
    void Attach(ILinkHost* host, CLinkReceiver* receiver);
    // The clock of every wait of the link and of its engines; the system's unless set. A
    // change reaches the engine at the next Open.
    void SetClock(IClock& clock) { m_pClock = &clock; }
    IClock& GetClock() const { return *m_pClock; }

    int Open();
    // One attempt on the current port without asking for another: for searching the ports.
    int TryOpen();
    void Close();
    int SetVelocity(unsigned long baud);
    int SendLevel4Command(const SZelqLevel4Header& header, const unsigned char* bytes, unsigned int count, int wait,
                          unsigned long timeout);
    int SendLevel5Command(const SZelqLevel5Header& header, const unsigned char* bytes, unsigned int count);
    // The answer to a report of the projector. It may go out while a command waits for its
    // answer, so it leaves the reply state alone and dispatches nothing itself.
    int AnswerReport(const SZelqLevel5Header& header);
    int Transact(int stack, unsigned char attr, unsigned char address, uint16_t item, const unsigned char* bytes,
                 unsigned int count);
    // The last Transact had an answer, taking or refusing; false when the projector was silent.
    bool WasAnswered() const;
    // A Transact is waiting for its answer: a command sent now would take that answer as its own.
    bool IsWaiting() const { return m_nWaiting != 0; }
    int SendAck();
    int SetLinkMode(unsigned char mode);
    int RaiseSpeed();
    void RestoreSpeed();
    int PrepareBlocks(uint32_t address, uint32_t length);
    void PumpMessages(unsigned int first, unsigned int last);
    void WaitPumping(unsigned long ms);
    // Dispatches engine messages until the reply state is exactly state; false after ms.
    bool WaitReplyState(unsigned char state, unsigned long ms);
    // Dispatches engine messages until done() holds; false after ms.
    bool WaitUntil(const std::function<bool()>& done, unsigned long ms);

    int IsOpen() const { return m_bOpen; }
    // The open port's device went away (an adapter pulled, a network stream closed).
    bool IsPortLost() const;
    unsigned int GetPort() const { return m_Property.PortNumber; }
    void SetPort(unsigned int port) { m_Property.PortNumber = static_cast<uint16_t>(port); }
    // The HOST:PORT the network port (kNetworkPort) opens; empty while none was chosen.
    const std::string& GetNetworkAddress() const { return m_strNetworkAddress; }
    void SetNetworkAddress(const std::string& address) { m_strNetworkAddress = address; }
    // 0 = Level 4, 1 = Level 5. The engine is built at Open, so a change takes effect there.
    int GetLevel() const { return m_nLevel; }
    void SetLevel(int level) { m_nLevel = level; }
    // Quiet: failures go to the caller only, without the retry box.
    bool IsQuiet() const { return m_bQuiet != 0; }
    void SetQuiet(bool quiet) { m_bQuiet = quiet ? 1 : 0; }
    unsigned int GetSpeedIndex() const { return m_nSpeedIndex; }
    // Dispatches every pending message of the thread once.
    void PumpAll();
    ILinkHost* Host() const { return m_pHost; }

    static constexpr unsigned long kBaudTable[4] = {9600, 19200, 38400, 57600};

private:
    struct SLinkProperty {
        uint16_t PortNumber = 1;
        unsigned long CommVelocity = 9600;
        unsigned char DataBits = 8;
        unsigned char Parity = 0;
        unsigned char StopBits = 0;
    };
    CCommSerial* Engine() const;
    template <class Send>
    int SendWithRetry(unsigned int first, unsigned int last, Send send);
    // Waits on the link's clock for a message the last pump did not see, or ms.
    void WaitForMessages(unsigned long ms);
    long MsSince(uint32_t start) const { return static_cast<long>(m_pClock->TickCount() - start); }

    int m_nLevel = 1;
    int m_bQuiet = 1;
    unsigned char m_nSpeedIndex = 1;
    std::unique_ptr<CCommZelqLevel4> m_pLevel4;
    std::unique_ptr<CCommZelqLevel5> m_pLevel5;
    int m_bOpen = 0;
    int m_nWaiting = 0;
    SLinkProperty m_Property;
    ILinkHost* m_pHost = nullptr;
    IClock* m_pClock = &SystemClock();
    CLinkReceiver* m_pReceiver = nullptr;
    std::string m_strNetworkAddress;
};

// Quiet for one scope: no retry boxes while connecting, whichever way it ends.
class CQuietLink {
public:
    explicit CQuietLink(CProjectorLink& link) : m_Link(link) { m_Link.SetQuiet(true); }
    ~CQuietLink() { m_Link.SetQuiet(false); }
    CQuietLink(const CQuietLink&) = delete;
    CQuietLink& operator=(const CQuietLink&) = delete;

private:
    CProjectorLink& m_Link;
};
