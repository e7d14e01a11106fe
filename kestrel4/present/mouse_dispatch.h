// Routing of hooked mouse messages to a drawer: which operation a message means, and the
// latch that drops a second left button-down without an up between (the hook reports a
// press on a window frame and in the client area twice).
#pragma once
#include "effect_drawer.h"

enum EMouseAction {
    MOUSE_IGNORED,
    MOUSE_MOVE,
    MOUSE_LBUTTON_DOWN,
    MOUSE_LBUTTON_UP,
    MOUSE_RBUTTON_DOWN,
    MOUSE_RBUTTON_UP,
};

EMouseAction ClassifyMouseMessage(unsigned int msg);

class CButtonLatch {
public:
    // Routes msg through the latch: a dropped button-down comes back as MOUSE_IGNORED.
    EMouseAction Filter(EMouseAction action);
    bool IsDown() const { return m_bDown; }

private:
    bool m_bDown = false;
};

// The point of a hooked message: x in the high word, y in the low word.
SPoint UnpackHookPoint(unsigned long long lParam);
