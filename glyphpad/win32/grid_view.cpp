#include "grid_view.h"

#include <vector>

#include "drawing_board.h"
#include "pixel_blit.h"
#include "win32_handles.h"

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
    std::vector<uint32_t> pixels(static_cast<size_t>(size * size));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            ColorRef c = picture.Get(x, y);
            pixels[static_cast<size_t>(y * size + x)] = Pixel32(RedOf(c), GreenOf(c), BlueOf(c));
        }
    StretchPixels32(dc, rect, size, size, pixels);
    if (cellLines) {
        CPen pen(CreatePen(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0)));
        CSelectedObject selected(dc, pen.get());
        int cell = (rect.right - rect.left) / size;
        for (int i = 0; i <= size; ++i) {
            MoveToEx(dc, rect.left + i * cell, rect.top, nullptr);
            LineTo(dc, rect.left + i * cell, rect.bottom);
            MoveToEx(dc, rect.left, rect.top + i * cell, nullptr);
            LineTo(dc, rect.right, rect.top + i * cell);
        }
    }
    if (board.HasSelection()) {
        const SCellRect& s = board.GetSelection();
        int cell = (rect.right - rect.left) / size;
        RECT frame = {rect.left + s.left * cell, rect.top + s.top * cell, rect.left + (s.right + 1) * cell,
                      rect.top + (s.bottom + 1) * cell};
        DrawFocusRect(dc, &frame);
    }
}
