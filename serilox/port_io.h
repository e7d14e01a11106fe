// The platform's serial port behind one small interface: Win32 overlapped file I/O, or a
// POSIX terminal device. Each read or write pass honours the port's time-out record the
// way the Win32 driver does, so the device's algorithms above it are the same on both.
#pragma once
#include "platform_types.h"

class CPortIo {
public:
    CPortIo();
    ~CPortIo();
    CPortIo(const CPortIo&) = delete;
    CPortIo& operator=(const CPortIo&) = delete;

    // Read and write, not shared, existing device only.
    bool Open(const char* name);
    bool IsOpen() const;
    void* Handle() const;
    bool Close();
    // The device went away while open (a hang-up, an adapter unplugged): every later pass
    // transfers nothing until the port is closed and opened again.
    bool IsLost() const;

    // One read of at most n bytes that waits no longer than waitMs (nor the port's own
    // time-outs); returns the count transferred. With waitMs 0 it takes what is there.
    unsigned long ReadPass(unsigned char* dst, unsigned long n, unsigned long waitMs);
    // One write of n bytes bounded by the port's write time-outs; returns the count written.
    unsigned long WritePass(const unsigned char* src, unsigned long n);
    // Bytes wait to be read, or the line went away: a read pass would end at once.
    bool HasInput() const;

    bool GetTimeouts(SCommTimeouts& out);
    bool SetTimeouts(const SCommTimeouts& timeouts);
    bool SetQueues(unsigned long inBytes, unsigned long outBytes);
    bool GetState(SCommState& out);
    bool SetState(const SCommState& state);
    bool SetDTR(bool on);
    // Zeroes the status and offset words of the read and write records.
    void ResetOverlapped();

private:
    struct SImpl;
    SImpl* m_p;
};
