// CEffectDrawer and the drawers of the effect types 0..9. Each draws straight onto the
// display, over every window of its monitor, from the mouse events the mouse hook routes to it.
#pragma once
#include "effect_drawer.h"
#include "effects.h"
#include "screen_surface.h"

#include <memory>

class CEffectDrawer : public IEffectDrawer {
public:
    // area: the monitor the effect runs on, in virtual-screen coordinates.
    CEffectDrawer(int type, const SRect& area) : m_nType(type), m_Area(area) {}
    bool Begin() override { return true; }
    void End() override {}
    int GetType() const { return m_nType; }

protected:
    HDC Screen() const { return m_Display.Get(); }
    const SRect& ScreenRect() const { return m_Area; }
    // The pointer's position, on the effect's monitor.
    SPoint CursorPoint() const;

    CDisplayDC m_Display;
    int m_nType;
    SRect m_Area;
};

// The drawer that a definition starts on the monitor area. notify: the window told of a
// sound's end.
std::unique_ptr<IEffectDrawer> StartEffectDrawer(const CEffect& effect, HWND notify, const SRect& area);
