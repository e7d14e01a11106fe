// CSerilox: a device with a name, a notification window, a worker thread and timed,
// retried reads and writes. CCommSerial makes it a serial port with line settings.
#pragma once
#include <atomic>
#include <mutex>

#include "clock.h"
#include "data_information.h"
#include "os.h"
#include "port_io.h"
#include "result_codes.h"

typedef unsigned int (*SeriloxThreadProc)(void* device);

struct SSerialProperty {
    unsigned int PortNumber = 1; // 1 = COM1
    unsigned int CommVelocity = 9600;
    unsigned char DataBits = 8;
    unsigned char Parity = kNoParity;
    unsigned char StopBits = kOneStopBit;
};

class SERILOX_API CSerilox {
public:
    CSerilox(HWND window, SeriloxThreadProc threadProc, const char* deviceName);
    virtual ~CSerilox();
    CSerilox(const CSerilox&) = delete;
    CSerilox& operator=(const CSerilox&) = delete;

    virtual int OpenSerilox() = 0;
    virtual int CloseSerilox() = 0;

    void GetDeviceName(char* out) const;
    // Opens a device by path rather than by COM number: Linux ports (/dev/ttyUSB0, a
    // pseudo-terminal) have none. The port number is kept.
    int SetDevicePath(const char* path);
    HWND GetWindowHandle() const { return m_hWindow; }
    void* GetDeviceHandle() const { return m_Port.IsOpen() ? m_Port.Handle() : nullptr; }
    int GetCommFlag() const { return m_nCommFlag.load(); }
    int GetSyncFlag() const { return m_nSyncFlag; }
    // The port's device went away while open (an unplugged adapter, a closed network stream).
    // (Out of line: the port object is not part of the library's exported interface.)
    bool IsPortLost() const;

    // The clock every time limit of the device and its engine reads; the system's unless set.
    // It can be changed only while the device is closed (0 while its thread runs).
    IClock& GetClock() const { return *m_pClock; }
    int SetClock(IClock& clock);

    int ReadSerilox(CDataInformation& out, unsigned long count, unsigned long timeout);
    int WriteSerilox(const CDataInformation& data, unsigned long count, unsigned int retries);

protected:
    int SetDeviceName(const char* name);
    int SetWindowHandle(HWND window);
    void SetCommFlag(int flag) { m_nCommFlag.store(flag); }
    void SetSyncFlag(int flag) { m_nSyncFlag = flag; }
    SeriloxThreadProc GetThreadCallBackAddress() const { return m_pThreadProc; }
    void SetThreadCallBackAddress(SeriloxThreadProc proc) { m_pThreadProc = proc; }
    void* GetWinThread() const { return m_pThread; }
    serilox_os::CEvent& GetWriteNowEvent() { return m_WriteNow; }
    void InitializeOverlapStructure() { m_Port.ResetOverlapped(); }
    bool HasThread() const { return m_pThread != nullptr; }
    // The port's device went away while open; reads and writes answer ERR_DEVICE until it
    // is closed and opened again.
    bool IsDeviceLost() const { return m_Port.IsLost(); }

    int BirthThread();
    void KillThread();

    CPortIo m_Port;

private:
    // Runs the thread function; the thread then no longer waits on the clock.
    static unsigned int RunThread(void* device);

    IClock* m_pClock;
    SeriloxThreadProc m_pThreadProc;
    void* m_pThread;
    char* m_pszDeviceName;
    serilox_os::CEvent m_WriteNow;
    HWND m_hWindow;
    std::atomic<int> m_nCommFlag;
    int m_nSyncFlag;
    std::mutex m_WriteLock;
};

class SERILOX_API CCommSerial : public CSerilox {
public:
    CCommSerial(HWND window, SeriloxThreadProc threadProc);
    ~CCommSerial() override;

    int OpenSerilox() override;
    int CloseSerilox() override;

    int SetCommProperty(SCommState& state);
    int ChangePort(unsigned long portNumber);
    int ChangeCommVelocity(unsigned long bps);
    int ChangeCommProperty(const SSerialProperty& property);
    int SetDTR(int on);

    unsigned long GetPortNumber() const { return m_nPortNumber; }
    unsigned long GetCommVelocity() const { return m_nCommVelocity; }
    unsigned char GetDataBits() const { return m_nDataBits; }
    unsigned char GetParity() const { return m_nParity; }
    unsigned char GetStopBits() const { return m_nStopBits; }
    SCommTimeouts GetTimeOuts() const { return m_TimeOuts; }

protected:
    int SetCommProperty();
    void SetPort(unsigned long portNumber);
    void SetPortNumber(unsigned long v) { m_nPortNumber = v; }
    void SetCommVelocity(unsigned long v) { m_nCommVelocity = v; }
    void SetDataBits(unsigned char v) { m_nDataBits = v; }
    void SetParity(unsigned char v) { m_nParity = v; }
    void SetStopBits(unsigned char v) { m_nStopBits = v; }
    void SetTimeOuts(const SCommTimeouts& t) { m_TimeOuts = t; }

private:
    unsigned long m_nPortNumber;
    unsigned long m_nCommVelocity;
    unsigned char m_nDataBits;
    unsigned char m_nParity;
    unsigned char m_nStopBits;
    SCommTimeouts m_TimeOuts;
};
