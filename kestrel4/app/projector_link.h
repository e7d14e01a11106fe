// CProjectorLink: the program's single door to the projector. It owns the engine of the
// generation in use, turns a compact command into a Level 5 header, sends it and waits
// until the receiving handlers have seen the acknowledgement and the answer.
#pragma once
#include <cstdint>

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

    int Open();
    void Close();
    int SetVelocity(unsigned long baud);
    int SendLevel4Command(const SZelqLevel4Header& header, const unsigned char* bytes, unsigned int count, int wait,
                          unsigned long timeout);
    int SendLevel5Command(const SZelqLevel5Header& header, const unsigned char* bytes, unsigned int count);
    int Transact(int stack, unsigned char attr, unsigned char address, uint16_t item, const unsigned char* bytes,
                 unsigned int count);
    int SendAck();
    int SetLinkMode(unsigned char mode);
    int RaiseSpeed();
    void RestoreSpeed();
    int PrepareBlocks(uint32_t address, uint32_t length);
    void PumpMessages(unsigned int first, unsigned int last);
    void WaitPumping(unsigned long ms);
    // Dispatches engine messages until the reply state is exactly state; false after ms.
    bool WaitReplyState(unsigned char state, unsigned long ms);

    int IsOpen() const { return m_bOpen; }
    unsigned int GetPort() const { return m_Property.PortNumber; }
    void SetPort(unsigned int port) { m_Property.PortNumber = static_cast<uint16_t>(port); }

    int m_nLevel;           // 0 = Level 4, 1 = Level 5; changed only while closed
    int m_bQuiet;           // 1 = failures go to the caller only
    unsigned char m_nSpeedIndex;
    const unsigned long m_BaudTable[4] = {9600, 19200, 38400, 57600};

private:
    struct SLinkProperty {
        uint16_t PortNumber = 1;
        unsigned long CommVelocity = 9600;
        unsigned char DataBits = 8;
        unsigned char Parity = 0;
        unsigned char StopBits = 0;
    };
    CCommSerial* Engine() const;
    template <class Send> int SendWithRetry(unsigned int first, unsigned int last, Send send);

    CCommZelqLevel4* m_pLevel4;
    CCommZelqLevel5* m_pLevel5;
    int m_bOpen;
    SLinkProperty m_Property;
    ILinkHost* m_pHost;
    CLinkReceiver* m_pReceiver;
};
