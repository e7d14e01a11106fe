// IEffectDrawer: what a running effect does with the mouse events routed to it. The
// window side implements one per effect type; points are in screen pixels.
#pragma once
#include "effect_geometry.h"

class IEffectDrawer {
public:
    virtual ~IEffectDrawer() {}
    // False when the effect is over at once (Clear screen, a sound that cannot play).
    virtual bool Begin() = 0;
    // Leaves the screen and the pointers as the windows draw them.
    virtual void End() = 0;
    virtual void LButtonDown(SPoint) {}
    virtual void LButtonUp(SPoint) {}
    virtual void RButtonDown(SPoint) {}
    virtual void MouseMove(SPoint) {}
};
