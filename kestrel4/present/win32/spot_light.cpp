// The spot light: the surround colour over the effect's monitor, the live screen inside a
// round spot that follows the pointer.
#include "effect_drawers.h"
#include "dialog_base.h"
#include "system_pointers.h"

std::unique_ptr<IEffectDrawer> StartSpotLightDrawer(const CShapeEffect& effect, const SRect& area);

namespace {

const char kSpotClass[] = "KestrelSpotLight";

using CRegion = CGdiObject<HRGN>;

// A region of the rectangles, shifted so that (dx, dy) is its origin.
CRegion RegionOf(const std::vector<SRect>& rects, int dx, int dy)
{
    if (rects.empty())
        return CRegion(CreateRectRgn(0, 0, 0, 0));
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    RGNDATA* region = reinterpret_cast<RGNDATA*>(data.data());
    region->rdh.dwSize = sizeof(RGNDATAHEADER);
    region->rdh.iType = RDH_RECTANGLES;
    region->rdh.nCount = static_cast<DWORD>(rects.size());
    RECT* out = reinterpret_cast<RECT*>(region->Buffer);
    SRect bounds;
    for (size_t i = 0; i < rects.size(); ++i) {
        out[i] = {rects[i].left - dx, rects[i].top - dy, rects[i].right - dx, rects[i].bottom - dy};
        bounds = UnionOf(bounds, rects[i]);
    }
    region->rdh.rcBound = {bounds.left - dx, bounds.top - dy, bounds.right - dx, bounds.bottom - dy};
    return CRegion(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region));
}

// The spot light is one window over its monitor with a round hole in its region: the
// audience sees the live screen through the hole (a slide change, a video) and the surround
// outside it. A move sets the new region without a redraw and repaints only the box the
// spot left, so the cost of a move follows the spot's size, not the monitor's; a region
// change that redraws repaints and uploads the whole monitor. As nothing is drawn over the
// windows below, nothing has to be put back.
class CSpotLightDrawer : public CEffectDrawer {
public:
    CSpotLightDrawer(const CShapeEffect& e, const SRect& area)
        : CEffectDrawer(e.GetType(), area), m_nDiameter(e.GetLineWidth()), m_Color(e.GetColor()),
          m_bTransparent(e.IsTransparent())
    {
    }
    ~CSpotLightDrawer() override { Close(); }
    bool Begin() override
    {
        const SRect& all = ScreenRect();
        // With transparency the surround is the monitor as it is now, ANDed with the colour:
        // a picture, which a slide change does not reach. ANDed with black it is black
        // whatever the screen holds, so the default spot light keeps the live solid fill.
        if (m_bTransparent && (m_Color & 0xFFFFFF) != 0) {
            if (!PaintSurround(all))
                return false;
            m_Fill.picture = m_Surround.Get();
            m_Fill.origin = {all.left, all.top};
        } else {
            m_Brush.reset(CreateSolidBrush(ToColorRef(m_Color)));
            m_Fill.brush = m_Brush.get();
        }
        if (!RegisterSpotClass())
            return false;
        m_hWindow = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT, kSpotClass,
                                    nullptr, WS_POPUP, all.left, all.top, all.Width(), all.Height(), nullptr, nullptr,
                                    GetModuleHandleA(nullptr), this);
        if (!m_hWindow)
            return false;
        ReplacePointers(nullptr);
        m_Spot = CursorPoint();
        CutHole(m_Spot);
        // Shown without activation: the keyboard stays with the presentation. Painted at
        // once: a Test shows the surround before the first move.
        ShowWindow(m_hWindow, SW_SHOWNA);
        UpdateWindow(m_hWindow);
        return true;
    }
    void End() override
    {
        Close();
        RestorePointers();
    }
    void MouseMove(SPoint p) override
    {
        if (!m_hWindow || p == m_Spot)
            return;
        // Only the old spot's box needs paint: the new hole is not part of the window, and
        // the rest of its box was painted before.
        SRect old = SpotRect(m_Spot, m_nDiameter);
        m_Spot = p;
        CutHole(p);
        const SRect& all = ScreenRect();
        RECT part = {old.left - all.left, old.top - all.top, old.right - all.left, old.bottom - all.top};
        InvalidateRect(m_hWindow, &part, FALSE);
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<CSpotLightDrawer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        LRESULT result = 0;
        if (self && PaintWindowFill(hwnd, msg, self->m_Fill, result))
            return result;
        switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    static bool RegisterSpotClass()
    {
        static bool registered = false;
        if (registered)
            return true;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kSpotClass;
        registered = RegisterClassA(&wc) != 0;
        return registered;
    }
    void Close()
    {
        if (m_hWindow) {
            SetWindowLongPtrA(m_hWindow, GWLP_USERDATA, 0);
            DestroyWindow(m_hWindow);
            m_hWindow = nullptr;
        }
    }
    // The window keeps the monitor outside the spot. No redraw: the caller repaints what
    // the hole left. The monitor minus the spot's rows: building the surround's many
    // rectangles into a region one by one cost more than the rest of the move.
    void CutHole(SPoint centre)
    {
        const SRect& all = ScreenRect();
        CRegion hole = RegionOf(SpotSpans(centre, m_nDiameter, all), all.left, all.top);
        CRegion surround(CreateRectRgn(0, 0, all.Width(), all.Height()));
        if (!hole || !surround || CombineRgn(surround.get(), surround.get(), hole.get(), RGN_DIFF) == ERROR)
            return;
        // The system owns the region once it is set.
        if (SetWindowRgn(m_hWindow, surround.get(), FALSE))
            surround.release();
    }
    // The transparent surround: the monitor ANDed with the colour, or on palette displays,
    // which cannot mix colours, a pattern of the colour's tiles.
    bool PaintSurround(const SRect& all)
    {
        HDC screen = Screen();
        if (!m_Surround.Ensure(screen, all.Width(), all.Height()))
            return false;
        HDC dark = m_Surround.Get();
        BitBlt(dark, 0, 0, all.Width(), all.Height(), screen, all.left, all.top, SRCCOPY);
        int tile = m_Display.BitsPerPixel() <= 8 ? SpotTileResource(m_Color) : 0;
        HCURSOR image =
            tile ? static_cast<HCURSOR>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(tile), IMAGE_CURSOR, 128, 128, 0))
                 : nullptr;
        if (image) {
            for (int y = 0; y < all.Height(); y += 128)
                for (int x = 0; x < all.Width(); x += 128)
                    DrawIconEx(dark, x, y, image, 128, 128, 0, nullptr, DI_NORMAL);
            DestroyCursor(image);
            return true;
        }
        CBrush brush(CreateSolidBrush(ToColorRef(m_Color)));
        CSelectedObject selected(dark, brush.get());
        PatBlt(dark, 0, 0, all.Width(), all.Height(), 0x00A000C9); // pattern AND destination
        return true;
    }

    int m_nDiameter;
    COLORVALUE m_Color;
    bool m_bTransparent;
    HWND m_hWindow = nullptr;
    SPoint m_Spot;
    CMemoryBitmap m_Surround;
    CBrush m_Brush;
    SWindowFill m_Fill;
};

} // namespace

std::unique_ptr<IEffectDrawer> StartSpotLightDrawer(const CShapeEffect& effect, const SRect& area)
{
    return std::unique_ptr<IEffectDrawer>(new CSpotLightDrawer(effect, area));
}
