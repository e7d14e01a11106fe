// Bar, stamp, cursor change, sound, spot light and clear screen.
#include "effect_drawers.h"
#include "dialog_base.h"
#include "resource.h"
#include "system_pointers.h"

#include <mmsystem.h>

#include <vector>

std::unique_ptr<IEffectDrawer> StartShapeDrawer(const CShapeEffect& effect);

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
    explicit CBarDrawer(const CShapeEffect& e)
        : CEffectDrawer(e.GetType()), m_bVertical(e.GetParam(PARAM_VERTICAL) != 0)
    {
        int width = e.GetLineWidth() > 0 ? e.GetLineWidth() : 1;
        SRect bar = BarRect({0, 0}, m_bVertical, width, m_Display.Width(), m_Display.Height());
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
        m_Sprite.MoveTo(Screen(), m_bVertical ? SPoint{c.x, 0} : SPoint{0, c.y});
        return true;
    }
    void End() override
    {
        m_Sprite.Hide(Screen());
        RestorePointers();
    }
    void MouseMove(SPoint p) override { m_Sprite.MoveTo(Screen(), BarPosition(p, m_bVertical)); }
    void LButtonDown(SPoint p) override
    {
        m_Sprite.MoveTo(Screen(), BarPosition(p, m_bVertical));
        m_Sprite.Leave();
    }

private:
    bool m_bVertical;
    CSprite m_Sprite;
};

class CStampDrawer : public CEffectDrawer {
public:
    explicit CStampDrawer(const CPictureEffect& e)
        : CEffectDrawer(e.GetType()),
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
    explicit CCursorDrawer(const CPictureEffect& e) : CEffectDrawer(e.GetType()), m_strPath(e.GetPath()) {}
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
    CSoundDrawer(const CSoundEffect& e, HWND notify)
        : CEffectDrawer(e.GetType()), m_strPath(e.GetPath()), m_hNotify(notify)
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

// The screen as it was, shown only inside a round spot that follows the mouse; outside
// it the background colour, or with transparency the old picture ANDed with the colour.
class CSpotLightDrawer : public CEffectDrawer {
public:
    explicit CSpotLightDrawer(const CShapeEffect& e)
        : CEffectDrawer(e.GetType()), m_nDiameter(e.GetLineWidth()), m_Color(e.GetColor()),
          m_bTransparent(e.IsTransparent())
    {
    }
    bool Begin() override
    {
        HDC screen = Screen();
        SRect all = ScreenRect();
        if (!m_Snapshot.Ensure(screen, all.Width(), all.Height()) || !m_Dark.Ensure(screen, all.Width(), all.Height()))
            return false;
        BitBlt(m_Snapshot.Get(), 0, 0, all.Width(), all.Height(), screen, 0, 0, SRCCOPY);
        m_bSaved = true;
        PaintDark(all);
        ReplacePointers(nullptr);
        // The screen is the snapshot: only the dark surround has to be put on it.
        m_Spot = CursorPoint();
        for (const SRect& r : DarkRects(SpotSpans(m_Spot, m_nDiameter, all), all))
            BitBlt(screen, r.left, r.top, r.Width(), r.Height(), m_Dark.Get(), r.left, r.top, SRCCOPY);
        return true;
    }
    void End() override
    {
        if (m_bSaved) {
            SRect all = ScreenRect();
            BitBlt(Screen(), 0, 0, all.Width(), all.Height(), m_Snapshot.Get(), 0, 0, SRCCOPY);
        }
        RestorePointers();
    }
    void MouseMove(SPoint p) override
    {
        if (!m_bSaved || p == m_Spot)
            return;
        SRect all = ScreenRect();
        // Only the old and the new spot change: both go to the screen in one copy.
        SRect area = IntersectionOf(UnionOf(SpotRect(m_Spot, m_nDiameter), SpotRect(p, m_nDiameter)), all);
        m_Spot = p;
        if (area.IsEmpty() || !m_Work.Ensure(Screen(), area.Width(), area.Height()))
            return;
        HDC work = m_Work.Get();
        BitBlt(work, 0, 0, area.Width(), area.Height(), m_Dark.Get(), area.left, area.top, SRCCOPY);
        if (HRGN spot = RegionOf(SpotSpans(p, m_nDiameter, area), area.left, area.top)) {
            SelectClipRgn(work, spot);
            BitBlt(work, 0, 0, area.Width(), area.Height(), m_Snapshot.Get(), area.left, area.top, SRCCOPY);
            SelectClipRgn(work, nullptr);
            DeleteObject(spot);
        }
        BitBlt(Screen(), area.left, area.top, area.Width(), area.Height(), work, 0, 0, SRCCOPY);
    }

private:
    // The whole screen as it looks outside the spot.
    void PaintDark(const SRect& all)
    {
        HDC dark = m_Dark.Get();
        if (!m_bTransparent) {
            HBRUSH brush = CreateSolidBrush(ToColorRef(m_Color));
            RECT rc = {0, 0, all.Width(), all.Height()};
            FillRect(dark, &rc, brush);
            DeleteObject(brush);
            return;
        }
        BitBlt(dark, 0, 0, all.Width(), all.Height(), m_Snapshot.Get(), 0, 0, SRCCOPY);
        int tile = m_Display.BitsPerPixel() <= 8 ? SpotTileResource(m_Color) : 0;
        HCURSOR image =
            tile ? static_cast<HCURSOR>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(tile), IMAGE_CURSOR, 128, 128, 0))
                 : nullptr;
        if (image) {
            // Palette displays cannot mix colours: a pattern of the colour's tiles instead.
            for (int y = 0; y < all.Height(); y += 128)
                for (int x = 0; x < all.Width(); x += 128)
                    DrawIconEx(dark, x, y, image, 128, 128, 0, nullptr, DI_NORMAL);
            DestroyCursor(image);
            return;
        }
        HBRUSH brush = CreateSolidBrush(ToColorRef(m_Color));
        HGDIOBJ old = SelectObject(dark, brush);
        PatBlt(dark, 0, 0, all.Width(), all.Height(), 0x00A000C9); // pattern AND destination
        SelectObject(dark, old);
        DeleteObject(brush);
    }

    int m_nDiameter;
    COLORVALUE m_Color;
    bool m_bTransparent;
    bool m_bSaved = false;
    SPoint m_Spot;
    CMemoryBitmap m_Snapshot, m_Dark, m_Work;
};

class CClearScreenDrawer : public CEffectDrawer {
public:
    CClearScreenDrawer() : CEffectDrawer(EFFECT_CLEAR_SCREEN) {}
    bool Begin() override
    {
        RepaintDesktop();
        return false;
    }
};

} // namespace

std::unique_ptr<IEffectDrawer> StartEffectDrawer(const CEffect& effect, HWND notify)
{
    switch (effect.GetType()) {
    case EFFECT_FREE_LINE:
    case EFFECT_LINE:
    case EFFECT_ELLIPSE:
    case EFFECT_RECT:
        return StartShapeDrawer(static_cast<const CShapeEffect&>(effect));
    case EFFECT_BAR:
        return std::unique_ptr<IEffectDrawer>(new CBarDrawer(static_cast<const CShapeEffect&>(effect)));
    case EFFECT_STAMP:
        return std::unique_ptr<IEffectDrawer>(new CStampDrawer(static_cast<const CPictureEffect&>(effect)));
    case EFFECT_CUSTOM_CURSOR:
        return std::unique_ptr<IEffectDrawer>(new CCursorDrawer(static_cast<const CPictureEffect&>(effect)));
    case EFFECT_SOUND:
        return std::unique_ptr<IEffectDrawer>(new CSoundDrawer(static_cast<const CSoundEffect&>(effect), notify));
    case EFFECT_SPOT_LIGHT:
        return std::unique_ptr<IEffectDrawer>(new CSpotLightDrawer(static_cast<const CShapeEffect&>(effect)));
    case EFFECT_CLEAR_SCREEN:
        return std::unique_ptr<IEffectDrawer>(new CClearScreenDrawer);
    default:
        return nullptr;
    }
}
