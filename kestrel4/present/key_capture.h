// CKeyCapture: what a key-capture field shows while keys go down and up. In shortcut mode
// it accepts Ctrl and/or Alt (with or without Shift) with a letter or digit, or one
// function key F2..F24; in key-event mode any key with its modifiers. The window side feeds
// it key events and shows GetText().
#pragma once
#include "key_names.h"

#include <string>
#include <vector>

struct SModifiers {
    bool bCtrl = false;
    bool bAlt = false;
    bool bShift = false;
    bool Any() const { return bCtrl || bAlt || bShift; }
};

class CKeyCapture {
public:
    enum EMode { CAPTURE_SHORTCUT, CAPTURE_KEY_EVENT };

    CKeyCapture(EMode mode, int keyboardKind);

    // True when the key completed a text, which is then GetText() and the last complete one.
    bool OnKeyDown(int code, const SModifiers& held);
    // held: the modifiers still down after the release.
    void OnKeyUp(const SModifiers& held);
    // Focus lost, or a left click while only Ctrl and Alt are shown.
    void OnFocusLost();
    void OnLeftClick();

    // A text set from outside (a slot's shortcut, an emptied field) counts as complete.
    void SetText(const std::string& text);
    const std::string& GetText() const { return m_strText; }
    bool IsComplete() const { return m_bComplete; }
    EMode GetMode() const { return m_eMode; }

private:
    std::string Prefix(const SModifiers& held) const;
    void ShowLastComplete();
    void ShowIncomplete(const std::string& text);
    bool Complete(const std::string& text);
    bool ShortcutKey(int code, const SModifiers& held);
    bool KeyEventKey(int code, const SModifiers& held);

    EMode m_eMode;
    int m_nKind;
    const std::vector<SKeyName>& m_Names;
    std::string m_strText;
    std::string m_strLastComplete;
    bool m_bComplete = true;
};
