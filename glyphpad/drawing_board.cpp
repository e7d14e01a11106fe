#include "drawing_board.h"

#include <algorithm>

CDrawingBoard::CDrawingBoard(int size, const CPalette& palette)
    : m_nSize(size), m_Palette(palette), m_Picture(size, size, kTransparentColor), m_Color(palette[0]),
      m_Selection(NoSelection())
{
}

void CDrawingBoard::SetPicture(const CPixelPicture& picture)
{
    m_Picture = picture;
    DropSelection();
    m_bCanUndo = false;
}

void CDrawingBoard::SetTool(ETool tool)
{
    // Another tool fixes a floating selection where it lies.
    if (tool != TOOL_SELECT)
        DropSelection();
    m_eTool = tool;
}

SCell CDrawingBoard::CellAt(int px, int py, int cellSize) const
{
    auto cell = [this, cellSize](int p) { return p < 0 ? 0 : std::min(p / cellSize, m_nSize - 1); };
    return {cell(px), cell(py)};
}

void CDrawingBoard::SaveUndo()
{
    m_Undo = {m_Picture, m_Selection, m_SelectionImage, m_bLifted, m_UnderSelection};
    m_bCanUndo = true;
}

void CDrawingBoard::DropSelection()
{
    m_Selection = NoSelection();
    m_bLifted = false;
    m_SelectionImage = CPixelPicture();
}

void CDrawingBoard::ButtonDown(SCell cell)
{
    m_bPressed = true;
    m_Press = m_Previous = m_Current = cell;
    if (m_eTool == TOOL_SELECT) {
        m_bDragging = HasSelection() && m_Selection.Contains(cell);
        if (m_bDragging) {
            SaveUndo();
            m_DragOrigin = m_Selection;
        } else {
            DropSelection();
        }
        return;
    }
    SaveUndo();
    ApplyTool();
}

void CDrawingBoard::Move(SCell cell)
{
    if (!m_bPressed)
        return;
    m_Previous = m_Current;
    m_Current = cell;
    if (m_eTool == TOOL_SELECT)
        ApplySelect();
    else
        ApplyTool();
}

void CDrawingBoard::ButtonUp()
{
    m_bPressed = false;
}

void CDrawingBoard::ApplyTool()
{
    m_bChanged = true;
    SCellRect box = SCellRect::Spanning(m_Press, m_Current);
    bool thin = box.Width() == 1 || box.Height() == 1;
    // Shapes follow the pointer: each move starts again from the picture at button down.
    switch (m_eTool) {
    case TOOL_PENCIL:
    case TOOL_ERASER: {
        ColorRef color = m_eTool == TOOL_ERASER ? kTransparentColor : m_Color;
        m_Picture.Line(m_Previous, m_Current, color);
        break;
    }
    case TOOL_LINE:
        m_Picture = m_Undo.picture;
        m_Picture.Line(m_Press, m_Current, m_Color);
        break;
    case TOOL_SQUARE:
    case TOOL_FILLED_SQUARE:
        m_Picture = m_Undo.picture;
        if (thin)
            m_Picture.Line(m_Press, m_Current, m_Color);
        else if (m_eTool == TOOL_SQUARE)
            m_Picture.RectOutline(box, m_Color);
        else
            m_Picture.RectFilled(box, m_Color);
        break;
    case TOOL_ELLIPSE:
    case TOOL_FILLED_ELLIPSE:
        m_Picture = m_Undo.picture;
        if (thin)
            m_Picture.Line(m_Press, m_Current, m_Color);
        else if (box.Width() <= 2 || box.Height() <= 2)
            m_Picture.RectOutline(box, m_Color);
        else
            m_Picture.Ellipse(box, m_Color, m_eTool == TOOL_FILLED_ELLIPSE);
        break;
    case TOOL_BUCKET: {
        ColorRef clicked = m_Undo.picture.Get(m_Current.x, m_Current.y);
        ColorRef target = clicked;
        auto near = [clicked](ColorRef c) { return ColorsNear(c, clicked, 10); };
        auto found = std::find_if(m_Palette.begin(), m_Palette.end(), near);
        if (found != m_Palette.end())
            target = *found;
        else if (near(kTransparentColor))
            target = kTransparentColor;
        m_Picture = m_Undo.picture;
        m_Picture.FloodFill(m_Current, target, m_Color);
        break;
    }
    default:
        break;
    }
}

void CDrawingBoard::ApplySelect()
{
    if (!m_bDragging) {
        SCellRect box = SCellRect::Spanning(m_Press, m_Current);
        if (box.Width() == 1 && box.Height() == 1) {
            DropSelection();
        } else {
            m_Selection = box;
            m_SelectionImage = m_Picture.Cut(box);
        }
        return;
    }
    if (m_Current == m_Previous)
        return;
    if (!m_bLifted) {
        m_Picture.RectFilled(m_Selection, kTransparentColor);
        m_UnderSelection = m_Picture;
        m_bLifted = true;
    }
    int dx = m_Current.x - m_Press.x, dy = m_Current.y - m_Press.y;
    m_Selection = {m_DragOrigin.left + dx, m_DragOrigin.top + dy, m_DragOrigin.right + dx, m_DragOrigin.bottom + dy};
    m_Picture = m_UnderSelection;
    m_Picture.Paste(m_SelectionImage, m_Selection.left, m_Selection.top);
    m_bChanged = true;
}

void CDrawingBoard::Undo()
{
    if (!m_bCanUndo)
        return;
    m_Picture = m_Undo.picture;
    m_Selection = m_Undo.selection;
    m_SelectionImage = m_Undo.selectionImage;
    m_bLifted = m_Undo.lifted;
    m_UnderSelection = m_Undo.under;
    if (HasSelection())
        m_eTool = TOOL_SELECT;
    m_bCanUndo = false;
    m_bChanged = true;
}

bool CDrawingBoard::Copy(CPixelPicture& image)
{
    if (!HasSelection())
        return false;
    image = m_bLifted ? m_SelectionImage : m_Picture.Cut(m_Selection);
    m_eTool = TOOL_SELECT;
    return true;
}

bool CDrawingBoard::Cut(CPixelPicture& image)
{
    if (!Copy(image))
        return false;
    SaveUndo();
    // A lifted selection lies over the picture: cutting it takes only the piece away, and
    // what it covered is there again.
    if (m_bLifted)
        m_Picture = m_UnderSelection;
    else
        m_Picture.RectFilled(m_Selection, kTransparentColor);
    DropSelection();
    m_bChanged = true;
    return true;
}

void CDrawingBoard::Paste(const CPixelPicture& image)
{
    SaveUndo();
    CPixelPicture reduced(std::min(image.Width(), m_nSize), std::min(image.Height(), m_nSize), kTransparentColor);
    for (int y = 0; y < reduced.Height(); ++y)
        for (int x = 0; x < reduced.Width(); ++x)
            reduced.Set(x, y, NearestTableColor(m_Palette, image.Get(x, y)));
    m_UnderSelection = m_Picture;
    m_Selection = {0, 0, reduced.Width() - 1, reduced.Height() - 1};
    m_SelectionImage = reduced;
    m_bLifted = true;
    m_Picture.Paste(reduced, 0, 0);
    m_eTool = TOOL_SELECT;
    m_bChanged = true;
}

void CDrawingBoard::ClearAll()
{
    DropSelection();
    SaveUndo();
    m_Picture.Fill(kTransparentColor);
    m_bChanged = true;
}

void CDrawingBoard::SelectAll()
{
    DropSelection();
    m_Selection = {0, 0, m_nSize - 1, m_nSize - 1};
    m_SelectionImage = m_Picture;
    m_eTool = TOOL_SELECT;
}
