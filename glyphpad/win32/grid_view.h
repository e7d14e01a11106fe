// The two views of the picture: the magnified grid, which turns the mouse into cells for the
// drawing board, and the actual-size preview. Both read the board the dialog gives them.
#pragma once
#include <windows.h>

class CDrawingBoard;

// Sent to the parent as WM_COMMAND notification code when the grid changed the picture.
constexpr WORD GRID_EDITED = 1;

void RegisterGridClasses(HINSTANCE instance);
void AttachBoard(HWND view, CDrawingBoard* board);
// Paints the picture scaled into rect of dc; cellLines draws the grid between cells.
void PaintPicture(HDC dc, const RECT& rect, const CDrawingBoard& board, bool cellLines);
