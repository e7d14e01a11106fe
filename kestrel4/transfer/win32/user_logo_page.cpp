#include "user_logo_page.h"

#include <commdlg.h>
#include <cstdio>
#include <cstdlib>

#include "connection.h"
#include "file_request.h"
#include "setting_file.h"
#include "setting_model.h"
#include "logo_area_dlg.h"
#include "logo_transfer.h"
#include "projector_link.h"
#include "resource.h"
#include "transfer_progress_dlg.h"
#include "win32_profile.h"
#include "zelq_items.h"

namespace {
const char kDefaultLogo[] = "deflogo.lgo";
} // namespace

CUserLogoPage::CUserLogoPage(CConnection& connection, CSettingModel& settings, std::string& lastFile)
    : m_Connection(connection), m_Settings(settings), m_strLastFile(lastFile)
{
}

HWND CUserLogoPage::Create(HWND parent)
{
    return CDialogBase::Create(IDD_LOGO, parent);
}

int CUserLogoPage::DefaultZoomIndex() const
{
    return m_Connection.Model().nLogoZoom < 5 ? m_Connection.Model().nLogoZoom : 0;
}

INT_PTR CUserLogoPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInit();
        return FALSE;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_LOGO_PREVIEW) {
            DrawPreview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ZOOM && HIWORD(wParam) == CBN_SELCHANGE) {
            OnZoomChosen();
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_SELECT_AREA && HIWORD(wParam) == BN_CLICKED) {
            SelectArea();
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void CUserLogoPage::OnInit()
{
    HWND zoom = GetDlgItem(m_hWnd, IDC_ZOOM);
    for (int rate : kZoomRates) {
        char text[16];
        std::snprintf(text, sizeof text, "%d %%", rate);
        SendMessageA(zoom, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    // The page starts when it is first shown, with a projector connected: only then is
    // the model's zoom known.
    SendMessageA(zoom, CB_SETCURSEL, 0, 0);
    DragAcceptFiles(m_hWnd, TRUE);
}

void CUserLogoPage::OnDropFiles(HDROP drop)
{
    char path[MAX_PATH] = "";
    const bool one = DragQueryFileA(drop, 0, path, MAX_PATH) > 0;
    DragFinish(drop);
    if (one && MayReplaceLogo())
        OpenChosen(path);
}

void CUserLogoPage::Start()
{
    if (!m_bStarted) {
        m_bStarted = true;
        const int zoom = ZoomRateOfIndex(DefaultZoomIndex());
        const std::string path = ProgramDirectory() + kDefaultLogo;
        const ELogoResult result = m_Logo.OpenDefault(path, zoom);
        // A damaged shipped logo costs the user nothing but the preview: the page starts empty.
        if (IsDefaultLogoFailureReported(result, path))
            ReportFailure(result);
        if (m_Logo.HasSource())
            m_Logo.SetZoom(zoom, false);
    }
    ShowZoom();
    Refresh();
}

void CUserLogoPage::Refresh()
{
    if (m_Logo.HasSource())
        PrepareDisplayPalette(m_Logo.Working(), m_Palette);
    InvalidateRect(GetDlgItem(m_hWnd, IDC_LOGO_PREVIEW), nullptr, TRUE);
}

void CUserLogoPage::ShowZoom()
{
    const int index = m_Logo.HasSource() ? ZoomIndexOfRate(m_Logo.Source().GetZoom()) : -1;
    SendDlgItemMessageA(m_hWnd, IDC_ZOOM, CB_SETCURSEL, index >= 0 ? index : DefaultZoomIndex(), 0);
}

void CUserLogoPage::DrawPreview(const DRAWITEMSTRUCT& item)
{
    const RECT& r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (!m_Logo.HasSource())
        return;
    const CDIBLogo& working = m_Logo.Working();
    int w = working.Width(), h = working.Height();
    const int boxW = r.right - r.left, boxH = r.bottom - r.top;
    // Shrunk to the preview when larger, never enlarged.
    if (w > boxW || h > boxH) {
        if (w * boxH > h * boxW) {
            h = h * boxW / w;
            w = boxW;
        } else {
            w = w * boxH / h;
            h = boxH;
        }
    }
    HPALETTE old = nullptr;
    if (m_Palette.Handle()) {
        old = SelectPalette(item.hDC, m_Palette.Handle(), FALSE);
        RealizePalette(item.hDC);
    }
    DrawScaled(item.hDC, working, r.left + (boxW - w) / 2, r.top + (boxH - h) / 2, w, h);
    if (old)
        SelectPalette(item.hDC, old, FALSE);
}

bool CUserLogoPage::ReportFailure(ELogoResult result)
{
    switch (result) {
    case ELogoResult::Ok:
        return false;
    case ELogoResult::ReadFailed:
        KestrelMessage(Owner(), IDS_READ_FAILED, MB_OK | MB_ICONERROR);
        break;
    case ELogoResult::NotAvailable:
        KestrelMessage(Owner(), IDS_NOT_AVAILABLE, MB_OK | MB_ICONERROR);
        break;
    case ELogoResult::TooLarge:
        KestrelMessage(Owner(), IDS_PICTURE_TOO_LARGE, MB_OK | MB_ICONERROR);
        break;
    case ELogoResult::UnknownDepth:
        // The text users of this message know; wide, so it shows on every code page.
        MessageBoxW(Owner(), L"BMP\x306E\x5F62\x5F0F\x304C\x8A8D\x8B58\x3067\x304D\x306A\x3044!!!", L"Kestrel",
                    MB_OK | MB_ICONERROR);
        break;
    case ELogoResult::TooSmall:
        KestrelMessage(Owner(), IDS_LOGO_TOO_SMALL, MB_OK | MB_ICONERROR);
        break;
    case ELogoResult::WriteFailed:
        KestrelMessage(Owner(), IDS_WRITE_FAILED, MB_OK | MB_ICONERROR);
        break;
    case ELogoResult::NoMemory:
        KestrelMessage(Owner(), IDS_LOGO_NO_MEMORY, MB_OK | MB_ICONERROR);
        break;
    }
    return true;
}

ESaveAnswer CUserLogoPage::AskSave(UINT icon)
{
    if (!m_Logo.IsModified())
        return SAVE_NO;
    switch (KestrelMessage(Owner(), IDS_SAVE_LOGO, MB_YESNOCANCEL | icon)) {
    case IDYES:
        return SAVE_YES;
    case IDNO:
        return SAVE_NO;
    default:
        return SAVE_CANCEL;
    }
}

bool CUserLogoPage::MayReplaceLogo()
{
    return MayGoOnAfterSaveQuestion(AskSave(MB_ICONEXCLAMATION), [this] { return SaveLogoAs(); });
}

void CUserLogoPage::OpenLogo()
{
    if (!MayReplaceLogo())
        return;
    SFileRequest request;
    request.hOwner = Owner();
    request.nFilterId = IDS_FILTER_LOGO_OPEN;
    request.strFolder = FolderOfFile(m_strLastFile);
    if (request.strFolder.empty())
        request.strFolder = ProgramDirectory();
    request.dwFlags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    const std::string path = RequestOpenFile(request);
    if (!path.empty())
        OpenChosen(path);
}

void CUserLogoPage::OpenChosen(const std::string& path)
{
    if (ReportFailure(m_Logo.Open(path, ZoomRateOfIndex(DefaultZoomIndex()))))
        return;
    m_strLastFile = path;
    ShowZoom();
    Refresh();
}

bool CUserLogoPage::SaveLogo()
{
    if (!m_Logo.HasSource())
        return true; // nothing to keep
    if (m_Logo.NeedsSaveName())
        return SaveLogoAs();
    return !ReportFailure(m_Logo.Save(m_Logo.Path()));
}

bool CUserLogoPage::SaveLogoAs()
{
    if (!m_Logo.HasSource())
        return true;
    SFileRequest request;
    request.hOwner = Owner();
    request.nFilterId = IDS_FILTER_LOGO_SAVE;
    request.strFolder = FolderOfFile(m_strLastFile);
    request.pszDefExt = "LGO";
    request.dwFlags = OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    const std::string path = RequestSaveFile(request);
    if (path.empty())
        return false;
    if (ReportFailure(m_Logo.Save(path)))
        return false;
    m_strLastFile = path;
    return true;
}

void CUserLogoPage::OnZoomChosen()
{
    char text[32] = "";
    GetDlgItemTextA(m_hWnd, IDC_ZOOM, text, sizeof text);
    const int rate = std::atoi(text);
    if (m_Logo.HasSource() && ZoomIndexOfRate(rate) >= 0 && m_Logo.SetZoom(rate))
        Refresh();
}

void CUserLogoPage::SelectArea()
{
    if (!m_Logo.HasSource())
        return;
    CLogoAreaDialog dialog(m_Logo.Source());
    if (dialog.DoModal(IDD_LOGO_AREA, Owner()) != IDOK)
        return;
    if (ReportFailure(m_Logo.SetArea(dialog.GetArea())))
        return;
    Refresh();
}

void CUserLogoPage::SendLogo()
{
    if (KestrelMessage(Owner(), IDS_SEND_QUESTION, MB_YESNO | MB_ICONEXCLAMATION) != IDYES || !m_Logo.HasSource())
        return;
    CProjectorLink& link = m_Connection.Link();
    if (m_Logo.Transfer().BitCount() != 24)
        return;
    if (!link.IsOpen()) {
        KestrelMessage(Owner(), IDS_UNCONNECTED, MB_OK | MB_ICONERROR);
        return;
    }
    const std::vector<uint8_t> image = m_Logo.TransferImage();
    if (image.empty()) {
        KestrelMessage(Owner(), IDS_LOGO_NO_MEMORY, MB_OK | MB_ICONERROR);
        return;
    }
    const HWND owner = Owner();
    EnableWindow(owner, FALSE);
    CTransferProgressDialog progress(IDS_CANCEL_LOGO, true);
    progress.Open(owner, IDS_SENDING_TITLE, IDS_SENDING_DATA, static_cast<uint32_t>(image.size()));
    const ETransferResult result = CBulkTransfer(link, progress).Send(image, kLogoAddress, kLogoAreaLength);
    if (result == ETransferResult::Sent) {
        const SProgressScale scale = ScaleProgress(static_cast<uint32_t>(image.size()));
        progress.Progress(static_cast<uint32_t>(image.size()) / scale.nFactor, 100);
        link.WaitPumping(300);
    }
    EnableWindow(owner, TRUE);
    progress.Close();
    if (result == ETransferResult::Sent)
        KestrelMessage(owner, IDS_SEND_FINISHED, MB_OK | MB_ICONINFORMATION);
    else if (result == ETransferResult::Failed)
        KestrelMessage(owner, IDS_COMM_ERROR, MB_OK | MB_ICONERROR);
    InvalidateRect(owner, nullptr, TRUE);
    // The lamp is off after a transfer.
    m_Settings.PutItemValue(kItemPower, 0, 1);
}
