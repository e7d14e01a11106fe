// The editing surface without a window: the picture, the nine tools driven by button down,
// moves and button up on cells, the selection, one level of undo and the Edit commands.
// The window only paints the picture and forwards the mouse as cells.
#pragma once
#include "glyph_palette.h"
#include "pixel_picture.h"

enum ETool {
    TOOL_PENCIL = 0,
    TOOL_LINE,
    TOOL_SELECT,
    TOOL_FILLED_SQUARE,
    TOOL_SQUARE,
    TOOL_BUCKET,
    TOOL_FILLED_ELLIPSE,
    TOOL_ELLIPSE,
    TOOL_ERASER,
    TOOL_COUNT
};

class CDrawingBoard {
public:
    CDrawingBoard(int size, const CPalette& palette);

    const CPixelPicture& GetPicture() const { return m_Picture; }
    void SetPicture(const CPixelPicture& picture);
    int GetSize() const { return m_nSize; }
    const CPalette& GetPalette() const { return m_Palette; }

    void SetTool(ETool tool);
    ETool GetTool() const { return m_eTool; }
    // A table colour or the transparent colour.
    void SetColor(ColorRef color) { m_Color = color; }
    ColorRef GetColor() const { return m_Color; }

    // The cell under a point of a grid of cellSize pixels; points beyond an edge give the
    // edge's cell, so a stroke leaving the grid ends at its border.
    SCell CellAt(int px, int py, int cellSize) const;
    void ButtonDown(SCell cell);
    void Move(SCell cell);
    void ButtonUp();
    bool IsPressed() const { return m_bPressed; }

    bool HasSelection() const { return m_Selection.left != m_nSize; }
    // (size, size, size, size) when there is none.
    const SCellRect& GetSelection() const { return m_Selection; }
    bool IsLifted() const { return m_bLifted; }

    bool CanUndo() const { return m_bCanUndo; }
    void Undo();
    // The selection's image, for the clipboard; false without a selection.
    bool Copy(CPixelPicture& image);
    bool Cut(CPixelPicture& image);
    // A picture from elsewhere, reduced to table colours, becomes the lifted selection.
    void Paste(const CPixelPicture& image);
    void ClearAll();
    void SelectAll();

    bool IsChanged() const { return m_bChanged; }
    void ClearChanged() { m_bChanged = false; }

private:
    struct SSnapshot {
        CPixelPicture picture;
        SCellRect selection;
        CPixelPicture selectionImage;
        bool lifted = false;
        CPixelPicture under;
    };
    void SaveUndo();
    void ApplyTool();
    void ApplySelect();
    void DropSelection();
    SCellRect NoSelection() const { return {m_nSize, m_nSize, m_nSize, m_nSize}; }

    int m_nSize;
    CPalette m_Palette;
    CPixelPicture m_Picture;
    SSnapshot m_Undo;
    bool m_bCanUndo = false;
    bool m_bChanged = false;

    ETool m_eTool = TOOL_PENCIL;
    ColorRef m_Color;
    bool m_bPressed = false;
    SCell m_Press, m_Previous, m_Current;

    SCellRect m_Selection;
    CPixelPicture m_SelectionImage;
    bool m_bLifted = false;
    bool m_bDragging = false;       // this press moves the selection
    CPixelPicture m_UnderSelection; // the picture without the lifted selection
    SCellRect m_DragOrigin;
};
