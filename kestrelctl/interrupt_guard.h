// CInterruptGuard: while it lives, Ctrl+C only asks the running command to stop, however
// often it comes; the console's previous handling is back once it goes.
#pragma once

class CInterruptGuard {
public:
    CInterruptGuard();
    ~CInterruptGuard();
    CInterruptGuard(const CInterruptGuard&) = delete;
    CInterruptGuard& operator=(const CInterruptGuard&) = delete;

    // Whether Ctrl+C came since the guard was made.
    static bool Interrupted();
};
