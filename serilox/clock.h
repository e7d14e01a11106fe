// The time every wait of the library and of the program reads: the time now, sleeping, and
// waiting for something with a limit. Production runs on the system's tick; tests give the
// engines and the link a clock of their own that they move on themselves.
#pragma once
#include <cstdint>

#include "platform_types.h"

// Something a thread waits for: an event, bytes on a port, a message to the window.
class IWaitable {
public:
    virtual ~IWaitable() {}
    // Blocks for at most ms of real time, ending early when the thing comes, and takes it
    // (an auto-reset event is reset, bytes are read). True when it came.
    virtual bool Await(uint32_t ms) = 0;
    // Whether it has come, without blocking and without taking it.
    virtual bool HasCome() = 0;
};

class IClock {
public:
    virtual ~IClock() {}
    // Milliseconds; they wrap after 49 days, so compare differences.
    virtual uint32_t TickCount() = 0;
    // Waits ms. The engines never sleep; the main window's clock dispatches the thread's
    // messages meanwhile, so that a long wait of the program never leaves it unresponsive.
    virtual void Sleep(unsigned int ms) = 0;
    // Waits until what comes or ms pass on this clock, and may return before either: callers
    // look at their own conditions and at the clock again.
    virtual bool Wait(IWaitable& what, uint32_t ms) { return what.Await(ms); }
    // A thread that waits on this clock starts or has ended (an engine's receive thread), so
    // that a clock the tests move on knows how many threads must be waiting before it may.
    virtual void AttachThread() {}
    virtual void DetachThread() {}
};

// The system's clock: the tick count, and waits of real time.
SERILOX_API IClock& SystemClock();
