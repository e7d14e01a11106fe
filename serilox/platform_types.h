// Types of Serilox's interface, declared without the platform's headers so that portable code
// never sees windows.h. The engines post to a notification target: a window handle on
// Windows, declared exactly as windows.h declares it so that Win32 files pass their HWND as
// it is; natively a message queue of our own.
#pragma once
#include <cstdint>

#ifdef _WIN32
struct HWND__;
typedef HWND__* HWND;
#else
class CMessageQueue;
typedef CMessageQueue* HWND;
#endif
// The message parameters as the platform sizes them (pointer-wide).
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;

// The port's time-outs in milliseconds, field for field the platform's COMMTIMEOUTS.
struct SCommTimeouts {
    uint32_t ReadIntervalTimeout;
    uint32_t ReadTotalTimeoutMultiplier;
    uint32_t ReadTotalTimeoutConstant;
    uint32_t WriteTotalTimeoutMultiplier;
    uint32_t WriteTotalTimeoutConstant;
};

// The line settings the library changes; the Win32 port carries them into the port's own
// DCB and leaves its other fields as the driver has them.
struct SCommState {
    uint32_t BaudRate;
    uint32_t fOutxDsrFlow;
    uint32_t fDtrControl;
    uint32_t fDsrSensitivity;
    uint8_t ByteSize;
    uint8_t Parity;
    uint8_t StopBits;
};

// The values of the platform's constants for those fields.
enum : uint8_t { kNoParity = 0, kOddParity = 1, kEvenParity = 2, kMarkParity = 3, kSpaceParity = 4 };
enum : uint8_t { kOneStopBit = 0, kOne5StopBits = 1, kTwoStopBits = 2 };
enum : uint32_t { kDtrControlDisable = 0, kDtrControlEnable = 1, kDtrControlHandshake = 2 };

#if defined(_WIN32) && defined(SERILOX_BUILD)
#define SERILOX_API __declspec(dllexport)
#elif defined(_WIN32) && !defined(SERILOX_STATIC)
#define SERILOX_API __declspec(dllimport)
#else
#define SERILOX_API
#endif
