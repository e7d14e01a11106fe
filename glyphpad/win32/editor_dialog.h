// The editor's window: tools, colours, the grid and preview, the action button, the Edit
// menu and leaving. The picture and its tools are the drawing board's; files are the
// document's; this class only connects them to the dialog and the main program.
#pragma once
#include <string>

#include "dialog_base.h"
#include "drawing_board.h"
#include "editor_document.h"

// Posted to the main program's window.
constexpr UINT UM_EDITOR_CURSOR_SAVED = 0x52C;
constexpr UINT UM_EDITOR_STAMP_SAVED = 0x52D;
constexpr UINT UM_EDITOR_SET_RENEWED = 0x52E;
constexpr UINT UM_EDITOR_EXIT = 0x52F;

class CEditorDialog : public CDialogBase {
public:
    CEditorDialog(CEditorDocument& document, const std::string& programDirectory);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();
    void OnCommand(UINT id, UINT code);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    void OnInitMenu(HMENU menu);
    void OnAction();
    // Asks about a changed drawing; false when the user stays (Cancel, or a save backed out of
    // or failed).
    bool MayLeave();
    void OnClose();
    void OnHelp();
    void SelectTool(ETool tool);
    void SelectColor(ColorRef color);
    void Redraw();
    void Notify(UINT message);
    void ShowMessage(UINT textId, UINT icon);
    void CreateToolTips();

    CEditorDocument& m_Document;
    std::string m_strDirectory;
    CDrawingBoard m_Board;
    bool m_bCancelled = false;
};

// The main program's window: top-level, titled "Kestrel", of another process.
HWND FindMainProgramWindow();
