#include "effect_pages.h"
#include "file_request.h"
#include "message_box.h"
#include "resource.h"
#include "win32_handles.h"

#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>

#include <cstring>

int KestrelMessage(HWND owner, UINT textId, UINT flags, const std::string& arg1, const std::string& arg2)
{
    std::string text = LoadResString(textId);
    for (const auto& r : {std::make_pair(std::string("%1"), arg1), std::make_pair(std::string("%2"), arg2)}) {
        size_t at = text.find(r.first);
        if (at != std::string::npos)
            text.replace(at, 2, r.second);
    }
    return ShowMessageText(owner, text, flags, IDS_CAPTION);
}

namespace {

int DisplayBits()
{
    CWindowDC dc(nullptr);
    return GetDeviceCaps(dc.Get(), BITSPIXEL) * GetDeviceCaps(dc.Get(), PLANES);
}

COLORREF ToColorRef(COLORVALUE c)
{
    return static_cast<COLORREF>(c);
}

std::string ItemText(HWND dlg, UINT id)
{
    char text[64] = {0};
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

} // namespace

// Shape pages --------------------------------------------------------------------------

INT_PTR CShapePage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInit();
        return FALSE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_VSCROLL:
        // The spin buttons have written their buddy already.
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(m_hWnd, m_Spec.nWidthSpin))
            ApplyNumber(m_Spec.nWidthEdit, PARAM_WIDTH, m_Spec.widthRange, false);
        else if (reinterpret_cast<HWND>(lParam) == GetDlgItem(m_hWnd, IDC_GRID_WIDTH_SPIN))
            ApplyNumber(IDC_GRID_WIDTH, PARAM_GRID, kGridWidthRange, false);
        return TRUE;
    case WM_DRAWITEM:
        DrawColorButton(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return FALSE;
}

void CShapePage::OnInit()
{
    SendDlgItemMessageA(m_hWnd, m_Spec.nWidthSpin, UDM_SETRANGE, 0,
                        MAKELPARAM(m_Spec.widthRange.nHigh, m_Spec.widthRange.nLow));
    if (GetDlgItem(m_hWnd, IDC_GRID_WIDTH_SPIN))
        SendDlgItemMessageA(m_hWnd, IDC_GRID_WIDTH_SPIN, UDM_SETRANGE, 0,
                            MAKELPARAM(kGridWidthRange.nHigh, kGridWidthRange.nLow));
}

void CShapePage::ShowEffect(CEffect* effect)
{
    m_pEffect = static_cast<CShapeEffect*>(effect);
    if (!m_pEffect)
        return;
    m_bFilling = true;
    SetDlgItemInt(m_hWnd, m_Spec.nWidthEdit, static_cast<UINT>(m_pEffect->GetParam(PARAM_WIDTH)), FALSE);
    if (m_pEffect->HasParam(PARAM_GRID))
        SetDlgItemInt(m_hWnd, IDC_GRID_WIDTH, static_cast<UINT>(m_pEffect->GetParam(PARAM_GRID)), FALSE);
    const std::pair<UINT, EEffectParam> checks[] = {
        {IDC_TRANSPARENT, PARAM_TRANSPARENT}, {IDC_FILL, PARAM_FILL}, {IDC_TRACK, PARAM_TRACK}};
    for (const auto& c : checks)
        if (m_pEffect->HasParam(c.second))
            CheckDlgButton(m_hWnd, c.first, m_pEffect->GetParam(c.second) ? BST_CHECKED : BST_UNCHECKED);
    if (m_pEffect->HasParam(PARAM_VERTICAL))
        CheckRadioButton(m_hWnd, IDC_HORIZONTAL, IDC_VERTICAL,
                         m_pEffect->GetParam(PARAM_VERTICAL) ? IDC_VERTICAL : IDC_HORIZONTAL);
    m_nColorIndex = IndexOfColor(m_pEffect->GetColor(), m_nColorIndex);
    for (int i = 0; i < kColorButtons; ++i)
        InvalidateRect(GetDlgItem(m_hWnd, IDC_COLOR_FIRST + i), nullptr, TRUE);
    m_bFilling = false;
}

void CShapePage::SetParam(EEffectParam param, int value)
{
    if (!m_pEffect || m_bFilling || m_pEffect->GetParam(param) == value)
        return;
    m_pEffect->SetParam(param, value);
    m_Host.OnEffectChanged();
}

bool CShapePage::ApplyNumber(UINT edit, EEffectParam param, const SValueRange& range, bool report)
{
    if (!m_pEffect || m_bFilling || m_bReporting)
        return true;
    int value = 0;
    if (ParseRangeValue(ItemText(m_hWnd, edit), range, value)) {
        SetParam(param, value);
        return true;
    }
    if (report) {
        m_bReporting = true;
        KestrelMessage(GetParent(m_hWnd), IDS_VALUE_RANGE, MB_OK | MB_ICONEXCLAMATION, std::to_string(range.nLow),
                       std::to_string(range.nHigh));
        // The stored value comes back; the field keeps the focus for another try.
        m_bFilling = true;
        SetDlgItemInt(m_hWnd, edit, static_cast<UINT>(m_pEffect->GetParam(param)), FALSE);
        m_bFilling = false;
        SetFocus(GetDlgItem(m_hWnd, edit));
        SendDlgItemMessageA(m_hWnd, edit, EM_SETSEL, 0, -1);
        m_bReporting = false;
    }
    return false;
}

void CShapePage::OnCommand(UINT id, UINT code)
{
    if (id == IDC_TEST && code == BN_CLICKED)
        m_Host.OnTest();
    else if (id == m_Spec.nWidthEdit && code == EN_KILLFOCUS)
        ApplyNumber(id, PARAM_WIDTH, m_Spec.widthRange, true);
    else if (id == IDC_GRID_WIDTH && code == EN_KILLFOCUS)
        ApplyNumber(id, PARAM_GRID, kGridWidthRange, true);
    else if (id == IDC_TRANSPARENT || id == IDC_FILL || id == IDC_TRACK) {
        EEffectParam param = id == IDC_TRANSPARENT ? PARAM_TRANSPARENT : id == IDC_FILL ? PARAM_FILL : PARAM_TRACK;
        SetParam(param, IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED ? 1 : 0);
    } else if ((id == IDC_HORIZONTAL || id == IDC_VERTICAL) && code == BN_CLICKED) {
        SetParam(PARAM_VERTICAL, id == IDC_VERTICAL ? 1 : 0);
    } else if (id >= IDC_COLOR_FIRST && id < IDC_COLOR_FIRST + kColorButtons && code == BN_CLICKED) {
        m_nColorIndex = static_cast<int>(id - IDC_COLOR_FIRST);
        SetParam(PARAM_COLOR, static_cast<int>(ColorOfIndex(m_nColorIndex, DisplayBits())));
        for (int i = 0; i < kColorButtons; ++i)
            InvalidateRect(GetDlgItem(m_hWnd, IDC_COLOR_FIRST + i), nullptr, TRUE);
    }
}

void CShapePage::DrawColorButton(const DRAWITEMSTRUCT& item)
{
    int index = static_cast<int>(item.CtlID - IDC_COLOR_FIRST);
    RECT rc = item.rcItem;
    bool chosen = index == m_nColorIndex;
    // The chosen colour sits pressed in a dark frame; the others stand out.
    DrawEdge(item.hDC, &rc, chosen ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    if (chosen) {
        FrameRect(item.hDC, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&rc, -1, -1);
    }
    FillRect(item.hDC, &rc, CBrush(CreateSolidBrush(ToColorRef(ColorOfIndex(index, DisplayBits())))).get());
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&rc, -2, -2);
        DrawFocusRect(item.hDC, &rc);
    }
}

// Sound page ---------------------------------------------------------------------------

CSoundPage::~CSoundPage()
{
    StopSound();
}

INT_PTR CSoundPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        m_hPlay =
            static_cast<HICON>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDI_SOUND_PLAY), IMAGE_ICON, 16, 16, 0));
        m_hStop =
            static_cast<HICON>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDI_SOUND_STOP), IMAGE_ICON, 16, 16, 0));
        SendDlgItemMessageA(m_hWnd, IDC_SOUND_PLAY, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_hPlay));
        SendDlgItemMessageA(m_hWnd, IDC_SOUND_STOP, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_hStop));
        UpdateButtons();
        return FALSE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        if (LOWORD(wParam) == IDC_SOUND_REFER)
            Refer();
        else if (LOWORD(wParam) == IDC_SOUND_PLAY)
            Play();
        else if (LOWORD(wParam) == IDC_SOUND_STOP)
            StopSound();
        return TRUE;
    case MM_MCINOTIFY:
        // The end of the sound, or its stop.
        if (m_nDevice && static_cast<UINT>(lParam) == m_nDevice)
            StopSound();
        return TRUE;
    case WM_DESTROY:
        StopSound();
        if (m_hPlay)
            DestroyIcon(m_hPlay);
        if (m_hStop)
            DestroyIcon(m_hStop);
        m_hPlay = m_hStop = nullptr;
        return FALSE;
    }
    return FALSE;
}

void CSoundPage::ShowEffect(CEffect* effect)
{
    // The definition shown before may be on its way out: the sound stops without it.
    m_pEffect = static_cast<CSoundEffect*>(effect);
    StopSound();
    if (!m_pEffect)
        return;
    const std::string& path = m_pEffect->GetPath();
    size_t at = path.find_last_of("\\/");
    SetDlgItemTextA(m_hWnd, IDC_SOUND_NAME, (at == std::string::npos ? path : path.substr(at + 1)).c_str());
    UpdateButtons();
}

void CSoundPage::UpdateButtons()
{
    bool named = m_pEffect && !m_pEffect->GetPath().empty();
    EnableWindow(GetDlgItem(m_hWnd, IDC_SOUND_PLAY), named && !m_nDevice);
    EnableWindow(GetDlgItem(m_hWnd, IDC_SOUND_STOP), m_nDevice != 0);
}

void CSoundPage::Refer()
{
    StopSound();
    if (!m_pEffect)
        return;
    SFileRequest request;
    request.hOwner = GetAncestor(m_hWnd, GA_ROOT);
    request.nFilterId = IDS_SOUND_FILTER;
    request.strFolder = SoundDialogFolder(m_strSoundFile, m_strDefaultFolder);
    request.dwFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    const std::string file = RequestOpenFile(request);
    if (file.empty())
        return;
    m_pEffect->SetPath(file);
    SetDlgItemTextA(m_hWnd, IDC_SOUND_NAME, file.substr(file.find_last_of("\\/") + 1).c_str());
    UpdateButtons();
    m_strSoundFile = file;
    m_Host.OnEffectChanged();
}

void CSoundPage::Play()
{
    if (!m_pEffect || m_pEffect->GetPath().empty() || m_nDevice)
        return;
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "waveaudio";
    open.lpstrElementName = m_pEffect->GetPath().c_str();
    MCIERROR error = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open));
    if (!error) {
        m_nDevice = open.wDeviceID;
        MCI_PLAY_PARMS play = {};
        play.dwCallback = reinterpret_cast<DWORD_PTR>(m_hWnd);
        error = mciSendCommandA(m_nDevice, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
        if (error)
            StopSound();
    }
    if (error) {
        char text[256] = {0};
        mciGetErrorStringA(error, text, sizeof text);
        ShowMessageText(GetAncestor(m_hWnd, GA_ROOT), text, MB_OK | MB_ICONINFORMATION, IDS_CAPTION);
    }
    UpdateButtons();
}

void CSoundPage::StopSound()
{
    if (!m_nDevice)
        return;
    UINT device = m_nDevice;
    m_nDevice = 0;
    mciSendCommandA(device, MCI_CLOSE, 0, 0);
    if (m_hWnd)
        UpdateButtons();
}

// Key page -----------------------------------------------------------------------------

CKeyPage::CKeyPage(IEffectPageHost& host, int keyboardKind, KeyTextConverter convert)
    : CEffectPage(host, 150), m_Capture(CKeyCapture::CAPTURE_KEY_EVENT, keyboardKind), m_Convert(std::move(convert))
{
}

INT_PTR CKeyPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        m_Capture.Attach(GetDlgItem(m_hWnd, IDC_KEY_CAPTURE), nullptr);
        return FALSE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        if (LOWORD(wParam) == IDC_KEY_ENTRY)
            Entry();
        else if (LOWORD(wParam) == IDC_KEY_DELETE_ALL)
            DeleteAll();
        return TRUE;
    }
    return FALSE;
}

void CKeyPage::ShowEffect(CEffect* effect)
{
    m_pEffect = static_cast<CKeyEffect*>(effect);
    SendDlgItemMessageA(m_hWnd, IDC_KEY_LIST, LB_RESETCONTENT, 0, 0);
    m_Events.clear();
    m_Texts.clear();
    if (!m_pEffect)
        return;
    m_Events = m_pEffect->GetEvents();
    m_Texts = m_pEffect->GetTexts();
    for (const std::string& t : m_Texts)
        SendDlgItemMessageA(m_hWnd, IDC_KEY_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
}

void CKeyPage::Entry()
{
    std::string text = m_Capture.Capture().GetText();
    if (text.empty() || !m_pEffect)
        return;
    if (m_Texts.size() >= kMaxEntries) {
        KestrelMessage(GetAncestor(m_hWnd, GA_ROOT), IDS_KEYS_FULL, MB_OK | MB_ICONERROR);
        return;
    }
    SKeyEventEntry entry = MakeKeyEventEntry(text, CKeyEffect::kMaxTextLength, m_Convert);
    LRESULT at =
        SendDlgItemMessageA(m_hWnd, IDC_KEY_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.strText.c_str()));
    SendDlgItemMessageA(m_hWnd, IDC_KEY_LIST, LB_SETTOPINDEX, static_cast<WPARAM>(at), 0);
    m_Events.push_back(entry.codes);
    m_Texts.push_back(entry.strText);
    m_Capture.SetText(std::string());
    SetFocus(GetDlgItem(m_hWnd, IDC_KEY_CAPTURE));
    Store();
}

void CKeyPage::DeleteAll()
{
    if (!m_pEffect)
        return;
    SendDlgItemMessageA(m_hWnd, IDC_KEY_LIST, LB_RESETCONTENT, 0, 0);
    m_Events.clear();
    m_Texts.clear();
    Store();
}

void CKeyPage::Store()
{
    m_pEffect->SetLists(m_Events, m_Texts);
    m_Host.OnEffectChanged();
}
