#include "screen_surface.h"

#include <algorithm>

void RepaintDesktop(const SRect* area)
{
    HWND desktop = GetDesktopWindow();
    RECT part = {};
    if (area) {
        // The desktop window's client coordinates begin at its own corner.
        part = {area->left, area->top, area->right, area->bottom};
        MapWindowPoints(HWND_DESKTOP, desktop, reinterpret_cast<POINT*>(&part), 2);
    }
    RedrawWindow(desktop, area ? &part : nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_ERASENOW | RDW_FRAME);
    // Some systems leave other programs' windows out of the desktop's redraw.
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            const SRect* only = reinterpret_cast<const SRect*>(lParam);
            RECT rc = {};
            GetWindowRect(hwnd, &rc);
            bool touched = !only || !IntersectionOf(*only, {rc.left, rc.top, rc.right, rc.bottom}).IsEmpty();
            if (IsWindowVisible(hwnd) && touched)
                RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(area));
    // Painting what is due, not validating it: a window that draws in WM_PAINT alone (its
    // background not erased, or in another process) would keep the drawing.
    RedrawWindow(desktop, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool PaintWindowFill(HWND hwnd, UINT msg, const SWindowFill& fill, LRESULT& result)
{
    if (msg == WM_ERASEBKGND) {
        result = 1; // the paint below covers it
        return true;
    }
    if (msg != WM_PAINT)
        return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const RECT& rc = ps.rcPaint;
    if (fill.picture) {
        POINT corner = {0, 0};
        ClientToScreen(hwnd, &corner);
        BitBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, fill.picture,
               rc.left + corner.x - fill.origin.x, rc.top + corner.y - fill.origin.y, SRCCOPY);
    } else if (fill.brush) {
        FillRect(dc, &rc, fill.brush);
    }
    EndPaint(hwnd, &ps);
    result = 0;
    return true;
}

bool CMemoryBitmap::Ensure(HDC screen, int width, int height)
{
    if (m_DC && width <= m_nWidth && height <= m_nHeight)
        return true;
    Reset();
    // Room to grow: a band or sprite that widens by a few pixels a move reuses the bitmap.
    width = (std::max(width, 1) + 63) & ~63;
    height = (std::max(height, 1) + 63) & ~63;
    m_DC.reset(CreateCompatibleDC(screen));
    m_Bitmap.reset(CreateCompatibleBitmap(screen, width, height));
    if (!m_DC || !m_Bitmap) {
        Reset();
        return false;
    }
    SelectObject(m_DC.get(), m_Bitmap.get());
    m_nWidth = width;
    m_nHeight = height;
    return true;
}

void CMemoryBitmap::Reset()
{
    m_DC.reset();
    m_Bitmap.reset();
    m_nWidth = m_nHeight = 0;
}

void CSavedStrips::Save(HDC screen, const std::vector<SRect>& strips)
{
    m_Strips.clear();
    if (strips.empty())
        return;
    m_Layout = LayOutStrips(strips);
    for (int sheet = 0; sheet < 2; ++sheet)
        if (!m_Sheets[sheet].Ensure(screen, m_Layout.size[sheet].x, m_Layout.size[sheet].y))
            return;
    for (size_t i = 0; i < strips.size(); ++i) {
        const SRect& r = strips[i];
        const SStripPlace& place = m_Layout.places[i];
        BitBlt(m_Sheets[place.sheet].Get(), place.at.x, place.at.y, r.Width(), r.Height(), screen, r.left, r.top,
               SRCCOPY);
    }
    m_Strips = strips;
}

void CSavedStrips::Restore(HDC screen)
{
    for (size_t i = 0; i < m_Strips.size(); ++i) {
        const SRect& r = m_Strips[i];
        const SStripPlace& place = m_Layout.places[i];
        BitBlt(screen, r.left, r.top, r.Width(), r.Height(), m_Sheets[place.sheet].Get(), place.at.x, place.at.y,
               SRCCOPY);
    }
    m_Strips.clear();
}

void CSprite::SetCursor(HCURSOR cursor, int width, int height)
{
    m_hCursor = cursor;
    m_nWidth = width;
    m_nHeight = height;
}

void CSprite::SetBitmap(CBitmap bitmap, int width, int height, DWORD rop)
{
    m_ImageDC.reset(CreateCompatibleDC(nullptr));
    m_Bitmap = std::move(bitmap);
    m_dwRop = rop;
    m_nWidth = width;
    m_nHeight = height;
    if (m_ImageDC)
        SelectObject(m_ImageDC.get(), m_Bitmap.get());
}

void CSprite::DrawImage(HDC dc, int x, int y)
{
    if (m_hCursor)
        DrawIconEx(dc, x, y, m_hCursor, m_nWidth, m_nHeight, 0, nullptr, DI_NORMAL);
    else if (m_ImageDC)
        BitBlt(dc, x, y, m_nWidth, m_nHeight, m_ImageDC.get(), 0, 0, m_dwRop);
}
void CSprite::MoveTo(HDC screen, SPoint position, bool draw)
{
    if (m_nWidth <= 0 || m_nHeight <= 0)
        return;
    if (draw && m_bVisible && position == m_Position)
        return;
    if (!draw && !m_bVisible)
        return;
    SRect oldRect = m_bVisible ? RectAt(m_Position) : SRect();
    SRect newRect = draw ? RectAt(position) : SRect();
    SRect all = UnionOf(oldRect, newRect);
    if (!m_Work.Ensure(screen, all.Width(), all.Height()) || !m_Background.Ensure(screen, m_nWidth, m_nHeight))
        return;
    HDC work = m_Work.Get();
    BitBlt(work, 0, 0, all.Width(), all.Height(), screen, all.left, all.top, SRCCOPY);
    if (m_bVisible && !m_bLeave)
        BitBlt(work, oldRect.left - all.left, oldRect.top - all.top, m_nWidth, m_nHeight, m_Background.Get(), 0, 0,
               SRCCOPY);
    m_bLeave = false;
    if (draw) {
        int x = newRect.left - all.left, y = newRect.top - all.top;
        BitBlt(m_Background.Get(), 0, 0, m_nWidth, m_nHeight, work, x, y, SRCCOPY);
        DrawImage(work, x, y);
    }
    BitBlt(screen, all.left, all.top, all.Width(), all.Height(), work, 0, 0, SRCCOPY);
    m_bVisible = draw;
    m_Position = position;
}
