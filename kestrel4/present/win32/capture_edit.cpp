#include "capture_edit.h"

namespace {

const char kCaptureProp[] = "KestrelCaptureEdit";

SModifiers HeldModifiers()
{
    SModifiers held;
    held.bCtrl = GetKeyState(VK_CONTROL) < 0;
    held.bAlt = GetKeyState(VK_MENU) < 0;
    held.bShift = GetKeyState(VK_SHIFT) < 0;
    return held;
}

bool IsKeyMessage(UINT msg)
{
    return msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYUP;
}

} // namespace

CCaptureEdit::CCaptureEdit(CKeyCapture::EMode mode, int keyboardKind) : m_Capture(mode, keyboardKind) {}

CCaptureEdit::~CCaptureEdit()
{
    if (m_hEdit && IsWindow(m_hEdit)) {
        SetWindowLongPtrA(m_hEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pOldProc));
        RemovePropA(m_hEdit, kCaptureProp);
    }
}

void CCaptureEdit::Attach(HWND edit, std::function<void(const std::string&)> onComplete)
{
    m_hEdit = edit;
    m_OnComplete = std::move(onComplete);
    SetPropA(edit, kCaptureProp, this);
    m_pOldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CCaptureEdit::SubclassProc)));
    Show();
}

void CCaptureEdit::SetText(const std::string& text)
{
    m_Capture.SetText(text);
    Show();
}

void CCaptureEdit::Show()
{
    if (!m_hEdit)
        return;
    SetWindowTextA(m_hEdit, m_Capture.GetText().c_str());
    int end = GetWindowTextLengthA(m_hEdit);
    SendMessageA(m_hEdit, EM_SETSEL, end, end);
}

bool CCaptureEdit::PreTranslate(const MSG& msg)
{
    if (!IsKeyMessage(msg.message))
        return false;
    CCaptureEdit* self = static_cast<CCaptureEdit*>(GetPropA(msg.hwnd, kCaptureProp));
    if (!self)
        return false;
    bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (self->m_Capture.GetMode() == CKeyCapture::CAPTURE_SHORTCUT && down) {
        SModifiers held = HeldModifiers();
        // Tab moves on and F1 asks for help as anywhere else; Ctrl+G also runs its command.
        if (msg.wParam == VK_TAB || msg.wParam == VK_F1)
            return false;
        if (msg.wParam == 'G' && held.bCtrl && !held.bAlt) {
            self->OnKey(msg.message, msg.wParam);
            return false;
        }
    }
    if (self->m_Capture.GetMode() == CKeyCapture::CAPTURE_SHORTCUT && msg.wParam == VK_TAB)
        return false;
    self->OnKey(msg.message, msg.wParam);
    return true;
}

void CCaptureEdit::OnKey(UINT msg, WPARAM vk)
{
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        bool completed = m_Capture.OnKeyDown(static_cast<int>(vk), HeldModifiers());
        Show();
        if (completed && m_OnComplete)
            m_OnComplete(m_Capture.GetText());
    } else {
        m_Capture.OnKeyUp(HeldModifiers());
        Show();
    }
}

LRESULT CALLBACK CCaptureEdit::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CCaptureEdit* self = static_cast<CCaptureEdit*>(GetPropA(hwnd, kCaptureProp));
    if (!self)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    return self->OnMessage(msg, wParam, lParam);
}

LRESULT CCaptureEdit::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        OnKey(msg, wParam);
        return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_CONTEXTMENU:
        return 0; // the text comes from key presses only
    case WM_GETDLGCODE:
        if (m_Capture.GetMode() == CKeyCapture::CAPTURE_KEY_EVENT)
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        break;
    case WM_KILLFOCUS:
        m_Capture.OnFocusLost();
        Show();
        break;
    case WM_LBUTTONDOWN:
        m_Capture.OnLeftClick();
        Show();
        break;
    }
    return CallWindowProcA(m_pOldProc, m_hEdit, msg, wParam, lParam);
}
