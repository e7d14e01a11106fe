#include "grid_view.h"

#include <vector>

#include "drawing_board.h"

namespace {

CDrawingBoard* BoardOf(HWND hwnd)
{
    return reinterpret_cast<CDrawingBoard*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

int CellSize(HWND hwnd, const CDrawingBoard& board)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    int side = rc.right < rc.bottom ? rc.right : rc.bottom;
    int cell = side / board.GetSize();
    return cell < 1 ? 1 : cell;
}

void Notify(HWND hwnd)
{
    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), GRID_EDITED),
                 reinterpret_cast<LPARAM>(hwnd));
}

void PaintView(HWND hwnd, bool grid)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    if (const CDrawingBoard* board = BoardOf(hwnd)) {
        int size = board->GetSize();
        int cell = grid ? CellSize(hwnd, *board) : 1;
        RECT area = {0, 0, cell * size, cell * size};
        if (!grid)
            OffsetRect(&area, (rc.right - size) / 2, (rc.bottom - size) / 2);
        PaintPicture(dc, area, *board, grid && cell >= 4);
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK GridProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CDrawingBoard* board = BoardOf(hwnd);
    switch (msg) {
    case WM_PAINT:
        PaintView(hwnd, true);
        return 0;
    case WM_LBUTTONDOWN:
        if (board) {
            SetCapture(hwnd);
            board->ButtonDown(board->CellAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                                            CellSize(hwnd, *board)));
            Notify(hwnd);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (board && board->IsPressed() && (wParam & MK_LBUTTON)) {
            board->Move(board->CellAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                                      CellSize(hwnd, *board)));
            Notify(hwnd);
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (board && board->IsPressed()) {
            board->ButtonUp();
            if (msg == WM_LBUTTONUP)
                ReleaseCapture();
            Notify(hwnd);
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK PreviewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PaintView(hwnd, false);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

void RegisterGridClasses(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_CROSS);
    wc.lpfnWndProc = GridProc;
    wc.lpszClassName = "GlyphpadGrid";
    RegisterClassA(&wc);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpfnWndProc = PreviewProc;
    wc.lpszClassName = "GlyphpadPreview";
    RegisterClassA(&wc);
}

void AttachBoard(HWND view, CDrawingBoard* board)
{
    SetWindowLongPtrA(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(board));
    InvalidateRect(view, nullptr, FALSE);
}

void PaintPicture(HDC dc, const RECT& rect, const CDrawingBoard& board, bool cellLines)
{
    const CPixelPicture& picture = board.GetPicture();
    int size = board.GetSize();
    // A 32-bit top-down image of the picture, stretched into rect.
    std::vector<DWORD> pixels(static_cast<size_t>(size * size));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            ColorRef c = picture.Get(x, y);
            pixels[static_cast<size_t>(y * size + x)] = RedOf(c) << 16 | GreenOf(c) << 8 | BlueOf(c);
        }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0, size, size,
                  pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    if (cellLines) {
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0));
        HGDIOBJ old = SelectObject(dc, pen);
        int cell = (rect.right - rect.left) / size;
        for (int i = 0; i <= size; ++i) {
            MoveToEx(dc, rect.left + i * cell, rect.top, nullptr);
            LineTo(dc, rect.left + i * cell, rect.bottom);
            MoveToEx(dc, rect.left, rect.top + i * cell, nullptr);
            LineTo(dc, rect.right, rect.top + i * cell);
        }
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    if (board.HasSelection()) {
        const SCellRect& s = board.GetSelection();
        int cell = (rect.right - rect.left) / size;
        RECT frame = {rect.left + s.left * cell, rect.top + s.top * cell, rect.left + (s.right + 1) * cell,
                      rect.top + (s.bottom + 1) * cell};
        DrawFocusRect(dc, &frame);
    }
}
