// Free line, line, ellipse and square: pen drawing with the transparency rule, and the
// rubber band while the second corner is chosen.
#include "effect_drawers.h"
#include "monitor_layout.h"
#include "dialog_base.h"
#include "resource.h"
#include "system_pointers.h"

#include <functional>

namespace {

// How to draw a figure into a context.
typedef std::function<void(HDC dc)> Figure;

class CShapeDrawer : public CEffectDrawer {
public:
    CShapeDrawer(const CShapeEffect& effect, const SRect& area, UINT pointer)
        : CEffectDrawer(effect.GetType(), area), m_nPointer(pointer),
          m_nWidth(effect.GetLineWidth() > 0 ? effect.GetLineWidth() : 1),
          m_Pen(AdjustPenColor(effect.GetColor(), effect.IsTransparent(), m_Display.BitsPerPixel())),
          m_bFill(effect.HasParam(PARAM_FILL) && effect.GetParam(PARAM_FILL)),
          m_bTrack(effect.HasParam(PARAM_TRACK) && effect.GetParam(PARAM_TRACK)),
          m_nGrid(effect.HasParam(PARAM_GRID) ? effect.GetParam(PARAM_GRID) : 1),
          m_PenObject(CreatePen(PS_SOLID, m_nWidth, ToColorRef(m_Pen.color))),
          m_FillBrush(m_bFill ? CreateSolidBrush(ToColorRef(m_Pen.color)) : nullptr)
    {
    }
    bool Begin() override
    {
        if (m_nPointer)
            ReplacePointers(LoadCursorA(AppInstance(), MAKEINTRESOURCEA(m_nPointer)));
        return true;
    }
    void End() override
    {
        m_Band.Restore(Screen());
        RestorePointers();
    }

protected:
    // The figure with the effect's pen: straight onto the screen, or when transparent
    // combined with it by AND. A figure on a white ground ANDed onto the screen changes
    // only its own pixels, so the pen's AND mix gives the same picture without reading
    // the screen back, which would stall the mouse.
    void DrawFigure(const Figure& figure)
    {
        HDC screen = Screen();
        int oldMix = SetROP2(screen, m_Pen.bAnd ? R2_MASKPEN : R2_COPYPEN);
        HGDIOBJ brush = m_FillBrush ? m_FillBrush.get() : GetStockObject(HOLLOW_BRUSH);
        CSelectedObject pen(screen, m_PenObject.get()), fill(screen, brush);
        figure(screen);
        SetROP2(screen, oldMix);
    }
    // The outline that follows the mouse: dotted, black, one pixel.
    void DrawBand(const std::vector<SRect>& strips, const Figure& figure)
    {
        HDC screen = Screen();
        m_Band.Restore(screen);
        m_Band.Save(screen, strips);
        CPen dotted(CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
        int oldBk = SetBkMode(screen, TRANSPARENT);
        {
            CSelectedObject pen(screen, dotted.get()), hollow(screen, GetStockObject(HOLLOW_BRUSH));
            figure(screen);
        }
        SetBkMode(screen, oldBk);
    }
    void EraseBand() { m_Band.Restore(Screen()); }

    UINT m_nPointer;
    int m_nWidth;
    SPenColor m_Pen;
    bool m_bFill, m_bTrack;
    int m_nGrid;
    CPen m_PenObject;
    CBrush m_FillBrush; // none when the figure is not filled
    CSavedStrips m_Band;
};

Figure Segment(SPoint a, SPoint b)
{
    return [a, b](HDC dc) {
        MoveToEx(dc, a.x, a.y, nullptr);
        LineTo(dc, b.x, b.y);
        // LineTo leaves out the last pixel; a one-point segment is a dot.
        LineTo(dc, b.x + 1, b.y);
    };
}

class CFreeLineDrawer : public CShapeDrawer {
public:
    CFreeLineDrawer(const CShapeEffect& e, const SRect& area) : CShapeDrawer(e, area, IDCUR_FREE_LINE) {}
    void LButtonDown(SPoint p) override
    {
        if (m_bStroke)
            return;
        m_bStroke = true;
        m_Last = p;
        DrawFigure(Segment(p, p));
    }
    void LButtonUp(SPoint) override { m_bStroke = false; }
    void MouseMove(SPoint p) override
    {
        if (!m_bStroke || p == m_Last)
            return;
        DrawFigure(Segment(m_Last, p));
        m_Last = p;
    }

private:
    bool m_bStroke = false;
    SPoint m_Last;
};

// Line, ellipse and square: the first click anchors, the second draws.
class CTwoClickDrawer : public CShapeDrawer {
public:
    using CShapeDrawer::CShapeDrawer;
    void LButtonDown(SPoint p) override
    {
        p = Snap(p);
        if (!m_bAnchor) {
            m_bAnchor = true;
            m_Anchor = p;
            return;
        }
        EraseBand();
        BeforeFinal();
        if (IsDrawn(m_Anchor, p))
            DrawFigure(Shape(m_Anchor, p));
        AfterFinal(p);
        m_bAnchor = false;
    }
    void RButtonDown(SPoint) override
    {
        EraseBand();
        m_bAnchor = false;
    }
    void MouseMove(SPoint p) override
    {
        p = Snap(p);
        if (m_bAnchor)
            DrawBand(BandStrips(m_Anchor, p, m_nWidth, BandShape(), ScreenRect()), Shape(m_Anchor, p));
    }

protected:
    virtual SPoint Snap(SPoint p) const { return p; }
    virtual bool IsDrawn(SPoint a, SPoint b) const { return IsShapeDrawn(SpanRect(a, b)); }
    virtual Figure Shape(SPoint a, SPoint b) const = 0;
    virtual EBandShape BandShape() const = 0;
    virtual void BeforeFinal() {}
    virtual void AfterFinal(SPoint) {}

    bool m_bAnchor = false;
    SPoint m_Anchor;
};

class CLineDrawer : public CTwoClickDrawer {
public:
    CLineDrawer(const CShapeEffect& e, const SRect& area) : CTwoClickDrawer(e, area, 0)
    {
        m_Sprite.SetCursor(LoadCursorA(AppInstance(), MAKEINTRESOURCEA(IDCUR_LINE)), 32, 32);
    }
    bool Begin() override
    {
        ReplacePointers(nullptr);
        m_Sprite.MoveTo(Screen(), Snap(CursorPoint()));
        return true;
    }
    void End() override
    {
        m_Sprite.Hide(Screen());
        CTwoClickDrawer::End();
    }
    void MouseMove(SPoint p) override
    {
        // The band is drawn without the sprite on the screen, so that neither saves the other.
        m_Sprite.Hide(Screen());
        CTwoClickDrawer::MouseMove(p);
        m_Sprite.MoveTo(Screen(), Snap(p));
    }
    void RButtonDown(SPoint p) override
    {
        m_Sprite.Hide(Screen());
        CTwoClickDrawer::RButtonDown(p);
        m_Sprite.MoveTo(Screen(), Snap(p));
    }

protected:
    SPoint Snap(SPoint p) const override { return SnapToGrid(p, m_nGrid); }
    bool IsDrawn(SPoint, SPoint) const override { return true; }
    Figure Shape(SPoint a, SPoint b) const override { return Segment(a, b); }
    EBandShape BandShape() const override { return BAND_LINE; }
    void BeforeFinal() override { m_Sprite.Hide(Screen()); }
    void AfterFinal(SPoint p) override { m_Sprite.MoveTo(Screen(), p); }

private:
    CSprite m_Sprite;
};

class CEllipseDrawer : public CTwoClickDrawer {
public:
    CEllipseDrawer(const CShapeEffect& e, const SRect& area) : CTwoClickDrawer(e, area, IDCUR_ELLIPSE) {}

protected:
    Figure Shape(SPoint a, SPoint b) const override
    {
        SRect r = SpanRect(a, b);
        return [r](HDC dc) { Ellipse(dc, r.left, r.top, r.right, r.bottom); };
    }
    EBandShape BandShape() const override { return BAND_ELLIPSE; }
};

class CSquareDrawer : public CTwoClickDrawer {
public:
    CSquareDrawer(const CShapeEffect& e, const SRect& area) : CTwoClickDrawer(e, area, IDCUR_SQUARE) {}

protected:
    Figure Shape(SPoint a, SPoint b) const override
    {
        SRect r = SpanRect(a, b);
        if (!m_bTrack)
            return [r](HDC dc) { Rectangle(dc, r.left, r.top, r.right, r.bottom); };
        // Semicircular ends: corner ellipses half the width wide and the full height high.
        return [r](HDC dc) { RoundRect(dc, r.left, r.top, r.right, r.bottom, r.Width() / 2, r.Height()); };
    }
    EBandShape BandShape() const override { return m_bTrack ? BAND_TRACK : BAND_RECT; }
};

} // namespace

SPoint CEffectDrawer::CursorPoint() const
{
    POINT p = {0, 0};
    GetCursorPos(&p);
    return ClampToRect({p.x, p.y}, m_Area);
}

std::unique_ptr<IEffectDrawer> StartShapeDrawer(const CShapeEffect& effect, const SRect& area)
{
    switch (effect.GetType()) {
    case EFFECT_FREE_LINE:
        return std::unique_ptr<IEffectDrawer>(new CFreeLineDrawer(effect, area));
    case EFFECT_LINE:
        return std::unique_ptr<IEffectDrawer>(new CLineDrawer(effect, area));
    case EFFECT_ELLIPSE:
        return std::unique_ptr<IEffectDrawer>(new CEllipseDrawer(effect, area));
    case EFFECT_RECT:
        return std::unique_ptr<IEffectDrawer>(new CSquareDrawer(effect, area));
    default:
        return nullptr;
    }
}
