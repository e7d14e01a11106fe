// Time for the waits that count it themselves (the power waits and the blinking of their
// notice), so that tests can run them on a clock of their own.
#pragma once
#include <cstdint>

class IClock {
public:
    virtual ~IClock() {}
    virtual uint32_t TickCount() = 0;
    // Waits; the main window's clock dispatches the thread's messages meanwhile, so that a
    // long wait never leaves the program unresponsive.
    virtual void Sleep(unsigned int ms) = 0;
};
