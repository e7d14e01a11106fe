// Platform types that appear in Serilox's interface. On Windows they are the real ones;
// natively the notification window is a message queue of our own and the serial records
// carry just the fields the library uses.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

class CMessageQueue;
typedef CMessageQueue* HWND;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef uint32_t DWORD;
typedef unsigned char BYTE;
typedef int BOOL;

struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
};

enum { NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4 };
enum { ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2 };
enum { DTR_CONTROL_DISABLE = 0, DTR_CONTROL_ENABLE = 1, DTR_CONTROL_HANDSHAKE = 2 };

struct DCB {
    DWORD BaudRate;
    DWORD fOutxDsrFlow;
    DWORD fDtrControl;
    DWORD fDsrSensitivity;
    BYTE ByteSize;
    BYTE Parity;
    BYTE StopBits;
};
#endif

#if defined(_WIN32) && defined(SERILOX_BUILD)
#define SERILOX_API __declspec(dllexport)
#elif defined(_WIN32) && !defined(SERILOX_STATIC)
#define SERILOX_API __declspec(dllimport)
#else
#define SERILOX_API
#endif
