// Bar, stamp, cursor change, sound, spot light and clear screen.
#include "effect_drawers.h"
#include "dialog_base.h"
#include "resource.h"
#include "system_pointers.h"

#include <mmsystem.h>

#include <vector>

std::unique_ptr<IEffectDrawer> StartShapeDrawer(const CShapeEffect& effect, const SRect& area);

namespace {

// An 8-bit bitmap of one colour: palette 0 the colour inverted, 1 the colour, 2 black,
// 3 white, every pixel 1.
HBITMAP MakeBarBitmap(HDC screen, COLORVALUE color, int width, int height)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[4];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 4;
    BYTE r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    info.colors[0] = {static_cast<BYTE>(~b), static_cast<BYTE>(~g), static_cast<BYTE>(~r), 0};
    info.colors[1] = {b, g, r, 0};
    info.colors[2] = {0, 0, 0, 0};
    info.colors[3] = {0xFF, 0xFF, 0xFF, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        GdiFlush();
        size_t stride = (static_cast<size_t>(width) + 3) & ~static_cast<size_t>(3);
        memset(bits, 1, stride * static_cast<size_t>(height));
    }
    return bitmap;
}

// A region of the rectangles, shifted so that (dx, dy) is its origin.
HRGN RegionOf(const std::vector<SRect>& rects, int dx, int dy)
{
    if (rects.empty())
        return nullptr;
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
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region);
}

class CBarDrawer : public CEffectDrawer {
public:
    CBarDrawer(const CShapeEffect& e, const SRect& area)
        : CEffectDrawer(e.GetType(), area), m_bVertical(e.GetParam(PARAM_VERTICAL) != 0)
    {
        int width = e.GetLineWidth() > 0 ? e.GetLineWidth() : 1;
        SRect bar = BarRect({area.left, area.top}, m_bVertical, width, area);
        // ANDed onto the screen, black and white follow the drawing effects' transparency rule.
        SPenColor color = AdjustPenColor(e.GetColor(), e.IsTransparent(), m_Display.BitsPerPixel());
        HBITMAP bitmap = MakeBarBitmap(Screen(), color.color, bar.Width(), bar.Height());
        if (bitmap)
            m_Sprite.SetBitmap(bitmap, bar.Width(), bar.Height(), e.IsTransparent() ? SRCAND : SRCCOPY);
    }
    bool Begin() override
    {
        ReplacePointers(nullptr);
        SPoint c = CursorPoint();
        m_Sprite.MoveTo(Screen(), m_bVertical ? SPoint{c.x, m_Area.top} : SPoint{m_Area.left, c.y});
        return true;
    }
    void End() override
    {
        m_Sprite.Hide(Screen());
        RestorePointers();
    }
    void MouseMove(SPoint p) override { m_Sprite.MoveTo(Screen(), BarPosition(p, m_bVertical, m_Area)); }
    void LButtonDown(SPoint p) override
    {
        m_Sprite.MoveTo(Screen(), BarPosition(p, m_bVertical, m_Area));
        m_Sprite.Leave();
    }

private:
    bool m_bVertical;
    CSprite m_Sprite;
};

class CStampDrawer : public CEffectDrawer {
public:
    CStampDrawer(const CPictureEffect& e, const SRect& area)
        : CEffectDrawer(e.GetType(), area),
          m_hImage(static_cast<HCURSOR>(LoadImageA(nullptr, e.GetPath().c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE)))
    {
        ICONINFO info = {};
        if (m_hImage && GetIconInfo(m_hImage, &info)) {
            BITMAP bm = {};
            GetObject(info.hbmMask, sizeof bm, &bm);
            int height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
            m_Sprite.SetCursor(m_hImage, bm.bmWidth, height);
            if (info.hbmColor)
                DeleteObject(info.hbmColor);
            if (info.hbmMask)
                DeleteObject(info.hbmMask);
        }
    }
    ~CStampDrawer() override
    {
        if (m_hImage)
            DestroyCursor(m_hImage);
    }
    bool Begin() override
    {
        ReplacePointers(nullptr);
        m_Sprite.MoveTo(Screen(), CursorPoint());
        return true;
    }
    void End() override
    {
        m_Sprite.Hide(Screen());
        RestorePointers();
    }
    void MouseMove(SPoint p) override { m_Sprite.MoveTo(Screen(), p); }
    void LButtonDown(SPoint p) override
    {
        m_Sprite.MoveTo(Screen(), p);
        m_Sprite.Leave();
    }

private:
    HCURSOR m_hImage;
    CSprite m_Sprite;
};

class CCursorDrawer : public CEffectDrawer {
public:
    CCursorDrawer(const CPictureEffect& e, const SRect& area) : CEffectDrawer(e.GetType(), area), m_strPath(e.GetPath())
    {
    }
    bool Begin() override
    {
        HCURSOR cursor = LoadCursorFromFileA(m_strPath.c_str());
        ReplacePointers(cursor);
        if (cursor)
            DestroyCursor(cursor);
        return true;
    }
    void End() override { RestorePointers(); }

private:
    std::string m_strPath;
};

class CSoundDrawer : public CEffectDrawer {
public:
    CSoundDrawer(const CSoundEffect& e, HWND notify, const SRect& area)
        : CEffectDrawer(e.GetType(), area), m_strPath(e.GetPath()), m_hNotify(notify)
    {
    }
    ~CSoundDrawer() override { Close(); }
    bool Begin() override
    {
        MCI_OPEN_PARMSA open = {};
        open.lpstrDeviceType = "waveaudio";
        open.lpstrElementName = m_strPath.c_str();
        if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT,
                            reinterpret_cast<DWORD_PTR>(&open)))
            return false;
        m_nDevice = open.wDeviceID;
        MCI_PLAY_PARMS play = {};
        play.dwCallback = reinterpret_cast<DWORD_PTR>(m_hNotify);
        if (mciSendCommandA(m_nDevice, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play))) {
            Close();
            return false;
        }
        return true;
    }
    void End() override { Close(); }

private:
    void Close()
    {
        if (m_nDevice)
            mciSendCommandA(m_nDevice, MCI_CLOSE, MCI_WAIT, 0);
        m_nDevice = 0;
    }
    std::string m_strPath;
    HWND m_hNotify;
    MCIDEVICEID m_nDevice = 0;
};

const char kSpotClass[] = "KestrelSpotLight";

// The spot light is a window over its monitor with a round hole in the window's region: the
// audience sees the live screen through the hole (a slide change, a video) and the surround
// colour outside it. A move only changes the region, so its cost follows the spot's size, not
// the screen's; and as nothing is drawn over the windows below, nothing has to be put back.
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
        // With transparency the surround is the monitor as it is now, ANDed with the colour.
        if (m_bTransparent && !PaintSurround(all))
            return false;
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
        // Shown without activation: the keyboard stays with the presentation.
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
        m_Spot = p;
        CutHole(p);
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        CSpotLightDrawer* self = reinterpret_cast<CSpotLightDrawer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (self)
                self->Paint(dc, ps.rcPaint);
            EndPaint(hwnd, &ps);
            return 0;
        }
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
    // The window keeps the monitor outside the spot.
    void CutHole(SPoint centre)
    {
        const SRect& all = ScreenRect();
        HRGN surround = RegionOf(DarkRects(SpotSpans(centre, m_nDiameter, all), all), all.left, all.top);
        if (!surround)
            surround = CreateRectRgn(0, 0, 0, 0);
        // The system owns the region from here on.
        if (surround && !SetWindowRgn(m_hWindow, surround, TRUE))
            DeleteObject(surround);
    }
    void Paint(HDC dc, const RECT& rc)
    {
        if (m_bTransparent) {
            BitBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, m_Surround.Get(), rc.left, rc.top,
                   SRCCOPY);
            return;
        }
        HBRUSH brush = CreateSolidBrush(ToColorRef(m_Color));
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
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
        HBRUSH brush = CreateSolidBrush(ToColorRef(m_Color));
        HGDIOBJ old = SelectObject(dark, brush);
        PatBlt(dark, 0, 0, all.Width(), all.Height(), 0x00A000C9); // pattern AND destination
        SelectObject(dark, old);
        DeleteObject(brush);
        return true;
    }

    int m_nDiameter;
    COLORVALUE m_Color;
    bool m_bTransparent;
    HWND m_hWindow = nullptr;
    SPoint m_Spot;
    CMemoryBitmap m_Surround;
};

class CClearScreenDrawer : public CEffectDrawer {
public:
    explicit CClearScreenDrawer(const SRect& area) : CEffectDrawer(EFFECT_CLEAR_SCREEN, area) {}
    bool Begin() override
    {
        RepaintDesktop(&m_Area);
        return false;
    }
};

} // namespace

std::unique_ptr<IEffectDrawer> StartEffectDrawer(const CEffect& effect, HWND notify, const SRect& area)
{
    switch (effect.GetType()) {
    case EFFECT_FREE_LINE:
    case EFFECT_LINE:
    case EFFECT_ELLIPSE:
    case EFFECT_RECT:
        return StartShapeDrawer(static_cast<const CShapeEffect&>(effect), area);
    case EFFECT_BAR:
        return std::unique_ptr<IEffectDrawer>(new CBarDrawer(static_cast<const CShapeEffect&>(effect), area));
    case EFFECT_STAMP:
        return std::unique_ptr<IEffectDrawer>(new CStampDrawer(static_cast<const CPictureEffect&>(effect), area));
    case EFFECT_CUSTOM_CURSOR:
        return std::unique_ptr<IEffectDrawer>(new CCursorDrawer(static_cast<const CPictureEffect&>(effect), area));
    case EFFECT_SOUND:
        return std::unique_ptr<IEffectDrawer>(new CSoundDrawer(static_cast<const CSoundEffect&>(effect), notify, area));
    case EFFECT_SPOT_LIGHT:
        return std::unique_ptr<IEffectDrawer>(new CSpotLightDrawer(static_cast<const CShapeEffect&>(effect), area));
    case EFFECT_CLEAR_SCREEN:
        return std::unique_ptr<IEffectDrawer>(new CClearScreenDrawer(area));
    default:
        return nullptr;
    }
}
