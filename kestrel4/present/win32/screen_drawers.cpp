// Bar, stamp, cursor change, sound and clear screen, and the choice of a drawer by type.
#include "effect_drawers.h"
#include "system_pointers.h"

#include <mmsystem.h>

#include <cstring>


std::unique_ptr<IEffectDrawer> StartShapeDrawer(const CShapeEffect& effect, const SRect& area);
std::unique_ptr<IEffectDrawer> StartSpotLightDrawer(const CShapeEffect& effect, const SRect& area);

namespace {

// An 8-bit bitmap of one colour: palette 0 the colour inverted, 1 the colour, 2 black,
// 3 white, every pixel 1.
CBitmap MakeBarBitmap(HDC screen, COLORVALUE color, int width, int height)
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
    CBitmap bitmap(CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits) {
        GdiFlush();
        size_t stride = (static_cast<size_t>(width) + 3) & ~static_cast<size_t>(3);
        memset(bits, 1, stride * static_cast<size_t>(height));
    }
    return bitmap;
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
        CBitmap bitmap = MakeBarBitmap(Screen(), color.color, bar.Width(), bar.Height());
        if (bitmap)
            m_Sprite.SetBitmap(std::move(bitmap), bar.Width(), bar.Height(), e.IsTransparent() ? SRCAND : SRCCOPY);
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
            // The image's own bitmaps are copies that this side owns.
            CBitmap color(info.hbmColor), mask(info.hbmMask);
            BITMAP bm = {};
            GetObject(mask.get(), sizeof bm, &bm);
            int height = color ? bm.bmHeight : bm.bmHeight / 2;
            m_Sprite.SetCursor(m_hImage, bm.bmWidth, height);
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
        return StartSpotLightDrawer(static_cast<const CShapeEffect&>(effect), area);
    case EFFECT_CLEAR_SCREEN:
        return std::unique_ptr<IEffectDrawer>(new CClearScreenDrawer(area));
    default:
        return nullptr;
    }
}
