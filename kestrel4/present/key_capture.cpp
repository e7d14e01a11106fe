#include "key_capture.h"

namespace {

const int VK_BACK_CODE = 8;
const int VK_SHIFT_CODE = 16;
const int VK_MENU_CODE = 18;
const int VK_DELETE_CODE = 46;
const int VK_F2_CODE = 113;
const int VK_F24_CODE = 135;
const int VK_G_CODE = 'G';

} // namespace

CKeyCapture::CKeyCapture(EMode mode, int keyboardKind)
    : m_eMode(mode), m_nKind(keyboardKind), m_Names(KeyNameTable(keyboardKind))
{
}

std::string CKeyCapture::Prefix(const SModifiers& held) const
{
    std::string prefix;
    if (held.bCtrl)
        prefix += kCtrlWord;
    if (held.bAlt)
        prefix += m_nKind == 1 ? kGraphWord : kAltWord;
    // A shortcut never uses Shift alone.
    if (held.bShift && (m_eMode == CAPTURE_KEY_EVENT || held.bCtrl || held.bAlt))
        prefix += kShiftWord;
    return prefix;
}

void CKeyCapture::ShowLastComplete()
{
    m_strText = m_strLastComplete;
    m_bComplete = true;
}

void CKeyCapture::ShowIncomplete(const std::string& text)
{
    m_strText = text;
    m_bComplete = false;
}

bool CKeyCapture::Complete(const std::string& text)
{
    m_strText = m_strLastComplete = text;
    m_bComplete = true;
    return true;
}

void CKeyCapture::SetText(const std::string& text)
{
    Complete(text);
}

bool CKeyCapture::OnKeyDown(int code, const SModifiers& held)
{
    return m_eMode == CAPTURE_SHORTCUT ? ShortcutKey(code, held) : KeyEventKey(code, held);
}

bool CKeyCapture::ShortcutKey(int code, const SModifiers& held)
{
    // Ctrl+G belongs to the main window's command; the field only restores its text.
    if (code == VK_G_CODE && held.bCtrl && !held.bAlt && !held.bShift) {
        ShowLastComplete();
        return false;
    }
    if (code >= '0' && code <= 95) {
        if (!held.bCtrl && !held.bAlt) {
            ShowLastComplete();
            return false;
        }
        return Complete(Prefix(held) + static_cast<char>(code));
    }
    if (held.Any()) {
        ShowIncomplete(Prefix(held));
        return false;
    }
    if (code == VK_BACK_CODE || code == VK_DELETE_CODE)
        return Complete(std::string());
    if (code >= VK_F2_CODE && code <= VK_F24_CODE) {
        const std::string* name = FindKeyName(m_Names, code);
        return name ? Complete(*name) : false;
    }
    ShowLastComplete();
    return false;
}

bool CKeyCapture::KeyEventKey(int code, const SModifiers& held)
{
    if (code >= '0' && code <= 'Z')
        return Complete(Prefix(held) + static_cast<char>(code));
    bool named = code == 8 || code == 9 || code == 13 || code == 27 || (code >= 32 && code <= 90) ||
                 (code >= 96 && code <= 143) || (code >= 146 && code <= 239);
    if (named) {
        const std::string* name = FindKeyName(m_Names, code);
        return Complete(Prefix(held) + (name ? *name : std::string(1, static_cast<char>(code))));
    }
    if (code >= VK_SHIFT_CODE && code <= VK_MENU_CODE) {
        ShowIncomplete(Prefix(held));
        return false;
    }
    ShowLastComplete();
    return false;
}

void CKeyCapture::OnKeyUp(const SModifiers& held)
{
    if (m_bComplete)
        return;
    std::string prefix = Prefix(held);
    if (prefix.empty())
        ShowLastComplete();
    else
        ShowIncomplete(prefix);
}

void CKeyCapture::OnFocusLost()
{
    if (!m_bComplete)
        ShowLastComplete();
}

void CKeyCapture::OnLeftClick()
{
    if (!m_bComplete && m_strText == std::string(kCtrlWord) + kAltWord)
        ShowLastComplete();
}
