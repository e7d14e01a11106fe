// The Cursor/Stamp Setting screen: the set in Temp.csp with its eight frames and slots, the
// File commands on set files, editing a slot in Glyphpad, and sending the set.
#pragma once
#include <string>

#include "ani_info.h"
#include "save_question.h"
#include "screen_dlgs.h"
#include "set_file_names.h"

class CProjectorLink;

class CCursorSetPage : public CScreenDlg {
public:
    // colorTable is the connected model's sixteen colours (blue, green, red, 0), kept by the
    // main window; it is read at every New. lastFile is the main window's remembered set file
    // ("CursorStampFile"), where the file dialogs start.
    CCursorSetPage(CProjectorLink& link, const BYTE (*colorTable)[4], std::string& lastFile);
    HWND Create(HWND parent);

    // File New, Open, Save, Save As and Projector > Sending cursor/stamp.
    void OnMenuCommand(UINT id);
    // "Do you save the change to cursor/stamp set?" when the set was changed, with icon
    // (MB_ICONQUESTION at program close). Save as the File command does it; false when
    // nothing was written (the name not given, or the write failed).
    ESaveAnswer AskSave(UINT icon);
    bool Save();

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();
    bool AskAndSave(); // false when the user cancelled or the save did not happen
    void New();
    void Open();
    bool SaveTo(bool askName);
    void Send();
    void EditSlot();
    void OnSetRenewed();
    // Reads path into set, showing a failure.
    bool ReadSetFile(const std::string& path, CAniInfo& set);
    bool ReadSet(const std::string& path);
    std::string AskFileName(bool save) const;
    void ShowTitle();
    void DrawFrames(const DRAWITEMSTRUCT& item);
    int Message(UINT textId, UINT flags);

    CProjectorLink& m_Link;
    const BYTE (*m_pColorTable)[4];
    CAniInfo m_Set;
    CSetFileNames m_Names;
    bool m_bChanged = false;
};
