// CEffectDrawer and the drawers of the effect types 0..9. Each draws straight onto the
// display, over every window, from the mouse events the mouse hook routes to it.
#pragma once
#include "effect_drawer.h"
#include "effects.h"
#include "screen_surface.h"

#include <memory>

class CEffectDrawer : public IEffectDrawer {
public:
    explicit CEffectDrawer(int type) : m_nType(type) {}
    bool Begin() override { return true; }
    void End() override {}
    int GetType() const { return m_nType; }

protected:
    HDC Screen() const { return m_Display.Get(); }
    SRect ScreenRect() const { return {0, 0, m_Display.Width(), m_Display.Height()}; }
    SPoint CursorPoint() const;

    CDisplayDC m_Display;
    int m_nType;
};

// The drawer that a definition starts. notify: the window told of a sound's end.
std::unique_ptr<IEffectDrawer> StartEffectDrawer(const CEffect& effect, HWND notify);
