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

bool CMemoryBitmap::Ensure(HDC screen, int width, int height)
{
    if (m_hDC && width <= m_nWidth && height <= m_nHeight)
        return true;
    Reset();
    m_hDC = CreateCompatibleDC(screen);
    m_hBitmap = CreateCompatibleBitmap(screen, width > 0 ? width : 1, height > 0 ? height : 1);
    if (!m_hDC || !m_hBitmap) {
        Reset();
        return false;
    }
    m_hOld = SelectObject(m_hDC, m_hBitmap);
    m_nWidth = width;
    m_nHeight = height;
    return true;
}

void CMemoryBitmap::Reset()
{
    if (m_hDC) {
        if (m_hOld)
            SelectObject(m_hDC, m_hOld);
        DeleteDC(m_hDC);
    }
    if (m_hBitmap)
        DeleteObject(m_hBitmap);
    m_hDC = nullptr;
    m_hBitmap = nullptr;
    m_hOld = nullptr;
    m_nWidth = m_nHeight = 0;
}

void CSavedStrips::Save(HDC screen, const std::vector<SRect>& strips)
{
    m_Strips.clear();
    int width = 0, height = 0;
    for (const SRect& r : strips) {
        width = std::max(width, r.Width());
        height += r.Height();
    }
    if (strips.empty() || !m_Bits.Ensure(screen, width, height))
        return;
    int y = 0;
    for (const SRect& r : strips) {
        BitBlt(m_Bits.Get(), 0, y, r.Width(), r.Height(), screen, r.left, r.top, SRCCOPY);
        y += r.Height();
    }
    m_Strips = strips;
}

void CSavedStrips::Restore(HDC screen)
{
    int y = 0;
    for (const SRect& r : m_Strips) {
        BitBlt(screen, r.left, r.top, r.Width(), r.Height(), m_Bits.Get(), 0, y, SRCCOPY);
        y += r.Height();
    }
    m_Strips.clear();
}

CSprite::~CSprite()
{
    if (m_hImageDC) {
        SelectObject(m_hImageDC, m_hOldImage);
        DeleteDC(m_hImageDC);
    }
    if (m_hBitmap)
        DeleteObject(m_hBitmap);
}

void CSprite::SetCursor(HCURSOR cursor, int width, int height)
{
    m_hCursor = cursor;
    m_nWidth = width;
    m_nHeight = height;
}

void CSprite::SetBitmap(HBITMAP bitmap, int width, int height, DWORD rop)
{
    m_hBitmap = bitmap;
    m_dwRop = rop;
    m_nWidth = width;
    m_nHeight = height;
    m_hImageDC = CreateCompatibleDC(nullptr);
    m_hOldImage = SelectObject(m_hImageDC, bitmap);
}

void CSprite::DrawImage(HDC dc, int x, int y)
{
    if (m_hCursor)
        DrawIconEx(dc, x, y, m_hCursor, m_nWidth, m_nHeight, 0, nullptr, DI_NORMAL);
    else if (m_hImageDC)
        BitBlt(dc, x, y, m_nWidth, m_nHeight, m_hImageDC, 0, 0, m_dwRop);
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
