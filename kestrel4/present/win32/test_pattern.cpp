#include "test_pattern.h"

#include <commdlg.h>
#include <cstdio>

#include "file_request.h"
#include "message_box.h"
#include "picture_reader.h"
#include "resource.h"
#include "win32_handles.h"

namespace {
const char kPatternClass[] = "KestrelTestPattern";
std::string g_strReferFolder; // the folder "Refer to..." opened last in this run

void Fill(HDC dc, const RECT& r, COLORREF colour)
{
    FillRect(dc, &r, CBrush(CreateSolidBrush(colour)).get());
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

UINT PreviewBitmap(int pattern)
{
    switch (pattern) {
    case PATTERN_COLOR_IMAGE:
        return IDB_PATTERN_COLOR;
    case PATTERN_GRAY_SCALE:
        return IDB_PATTERN_GRAY;
    default:
        return IDB_PATTERN_FOCUS;
    }
}

UINT PictureFailureText(int result)
{
    switch (result) {
    case DIB_BAD:
        return IDS_NOT_AVAILABLE;
    case DIB_LARGE:
        return IDS_PICTURE_TOO_LARGE;
    default:
        return IDS_READ_FAILED;
    }
}
} // namespace

CTestPattern::~CTestPattern()
{
    if (m_hWnd && IsWindow(m_hWnd)) {
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
    }
}

bool CTestPattern::Create(HWND owner)
{
    m_hOwner = owner;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = AppInstance();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kPatternClass;
    RegisterClassA(&wc);
    m_hWnd = CreateWindowExA(0, kPatternClass, "", WS_POPUP | WS_DISABLED, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                             GetSystemMetrics(SM_CYSCREEN), owner, nullptr, AppInstance(), this);
    return m_hWnd != nullptr;
}

void CTestPattern::Show(bool show)
{
    if (!m_hWnd)
        return;
    m_bShown = show;
    if (show) {
        // The user's picture is read before painting, so its failures are not shown mid-paint.
        if (m_nPattern == PATTERN_USER_FILE && !m_bLoadTried && !m_strUserFile.empty())
            LoadUserFile();
        SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                     SWP_SHOWWINDOW | SWP_NOACTIVATE);
        InvalidateRect(m_hWnd, nullptr, FALSE);
        UpdateWindow(m_hWnd);
    } else {
        SetWindowPos(m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
}

void CTestPattern::SetPattern(int pattern, const std::string& userFile)
{
    if (userFile != m_strUserFile) {
        m_bLoaded = m_bLoadTried = false;
        m_UserBitmap = CDIB();
        m_UserPalette.Reset();
    }
    m_nPattern = pattern;
    m_strUserFile = userFile;
    if (m_bShown) {
        if (m_nPattern == PATTERN_USER_FILE && !m_bLoadTried && !m_strUserFile.empty())
            LoadUserFile();
        InvalidateRect(m_hWnd, nullptr, FALSE);
        UpdateWindow(m_hWnd);
    }
}

bool CTestPattern::IsPaletteDisplay() const
{
    CWindowDC dc(nullptr);
    return (GetDeviceCaps(dc.Get(), RASTERCAPS) & RC_PALETTE) != 0;
}

LRESULT CALLBACK CTestPattern::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        CTestPattern* created = static_cast<CTestPattern*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        created->m_hWnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    CTestPattern* self = reinterpret_cast<CTestPattern*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return self ? self->Message(msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CTestPattern::Message(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        Paint(dc);
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) == m_hWnd)
            return 0;
        // Another window took the palette.
        [[fallthrough]];
    case WM_QUERYNEWPALETTE:
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return TRUE;
    }
    return DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

void CTestPattern::Paint(HDC dc)
{
    RECT r;
    GetClientRect(m_hWnd, &r);
    switch (m_nPattern) {
    case PATTERN_COLOR_IMAGE:
        PaintShapes(dc, ColorImagePattern(r.right, r.bottom, IsPaletteDisplay()));
        break;
    case PATTERN_GRAY_SCALE:
        PaintGrayScale(dc, r.right, r.bottom);
        break;
    case PATTERN_FOCUS:
        PaintShapes(dc, FocusPattern(r.right, r.bottom));
        break;
    default:
        PaintUserFile(dc, r.right, r.bottom);
        break;
    }
}

void CTestPattern::PaintShapes(HDC dc, const SPatternShapes& shapes)
{
    RECT all;
    GetClientRect(m_hWnd, &all);
    if (shapes.rects.empty())
        Fill(dc, all, shapes.background);
    for (const SPatternRect& r : shapes.rects)
        Fill(dc, RECT{r.left, r.top, r.right, r.bottom}, r.colour);
    if (shapes.circles.empty() && shapes.lines.empty())
        return;
    CPen pen(CreatePen(PS_SOLID, 1, shapes.pen));
    CSelectedObject selectedPen(dc, pen.get());
    CSelectedObject selectedBrush(dc, GetStockObject(NULL_BRUSH));
    for (const SPatternCircle& c : shapes.circles)
        Ellipse(dc, c.cx - c.radius, c.cy - c.radius, c.cx + c.radius + 1, c.cy + c.radius + 1);
    for (const SPatternLine& l : shapes.lines) {
        MoveToEx(dc, l.x0, l.y0, nullptr);
        LineTo(dc, l.x1, l.y1);
    }
}

void CTestPattern::PaintGrayScale(HDC dc, int width, int height)
{
    // Sixteen greys of a palette of their own, so a 256-colour display shows them exactly.
    std::vector<BYTE> block(sizeof(LOGPALETTE) + 16 * sizeof(PALETTEENTRY));
    LOGPALETTE* log = reinterpret_cast<LOGPALETTE*>(block.data());
    log->palVersion = 0x300;
    log->palNumEntries = 16;
    for (int i = 0; i < 16; ++i)
        log->palPalEntry[i] = PALETTEENTRY{kGrayLevels[i], kGrayLevels[i], kGrayLevels[i], 0};
    CGdiPalette palette(CreatePalette(log));
    CSelectedPalette selected(dc, palette.get());
    RealizePalette(dc);
    for (const SPatternRect& r : GrayScalePattern(width, height).rects) {
        const BYTE v = static_cast<BYTE>(r.colour & 0xFF);
        Fill(dc, RECT{r.left, r.top, r.right, r.bottom}, PALETTERGB(v, v, v));
    }
}

void CTestPattern::LoadUserFile()
{
    m_bLoadTried = true;
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const int result = ReadPictureFile(m_strUserFile, m_UserBitmap);
    SetCursor(old);
    if (result == DIB_OK) {
        m_bLoaded = true;
        if (IsPaletteDisplay() && !m_UserPalette.CreateFromDIB(m_UserBitmap) && !m_UserPalette.Create24Bit())
            OutputDebugStringA("Create24BitDIBPalette failed\n");
        return;
    }
    // The grey screen says there is no pattern; the box says why.
    const UINT text = PictureFailureText(result);
    // Above the pattern window, which may already cover the screen when the file changes.
    ShowMessage(m_hOwner, text, MB_OK | MB_ICONERROR | MB_TOPMOST, IDS_CAPTION);
}

void CTestPattern::PaintUserFile(HDC dc, int width, int height)
{
    RECT all = {0, 0, width, height};
    if (!m_bLoaded) {
        Fill(dc, all, RGB(0xC0, 0xC0, 0xC0));
        const std::string text = LoadResString(IDS_NO_PATTERN_FILE);
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, text.c_str(), -1, &all, DT_SINGLELINE | DT_RIGHT);
        return;
    }
    // The picture centred on black in a memory bitmap of its own, stretched over the screen. A
    // very large picture may not get a bitmap of its size: try again smaller until one is made.
    CMemoryDC memory(CreateCompatibleDC(dc));
    CBitmap bitmap;
    SPatternCanvas canvas = {};
    for (int reductions = 0; !bitmap; ++reductions) {
        canvas = UserPictureCanvas(width, height, m_UserBitmap.Width(), m_UserBitmap.Height(), reductions);
        if (canvas.Empty())
            break;
        bitmap.reset(CreateCompatibleBitmap(dc, canvas.width, canvas.height));
    }
    if (!bitmap) {
        OutputDebugStringA("CTestPattern::load() : unknown exception occurred.\n");
        Fill(dc, all, RGB(0, 0, 0));
        return;
    }
    CSelectedObject selectedBitmap(memory.get(), bitmap.get());
    CSelectedPalette screenPalette(dc, m_UserPalette.Handle());
    if (m_UserPalette.Handle())
        RealizePalette(dc);
    CSelectedPalette memoryPalette(memory.get(), m_UserPalette.Handle());
    RECT area = {0, 0, canvas.width, canvas.height};
    Fill(memory.get(), area, RGB(0, 0, 0));
    const SPatternRect& picture = canvas.picture;
    DrawScaled(memory.get(), m_UserBitmap, picture.left, picture.top, picture.right - picture.left,
               picture.bottom - picture.top);
    StretchBlt(dc, 0, 0, width, height, memory.get(), 0, 0, canvas.width, canvas.height, SRCCOPY);
}

// ---- dialog 181 ----

INT_PTR CTestPatternDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        // The pattern window is top-most and may cover the screen: the dialog and what it
        // opens must stay above it.
        SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        CheckRadioButton(m_hWnd, IDC_PATTERN_COLOR, IDC_PATTERN_USER, IDC_PATTERN_COLOR + m_nPattern);
        if (!m_strFile.empty())
            ReadPictureFile(m_strFile, m_Preview);
        UpdateControls();
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_PATTERN_PREVIEW) {
            DrawPreview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PATTERN_COLOR:
        case IDC_PATTERN_GRAY:
        case IDC_PATTERN_FOCUS:
        case IDC_PATTERN_USER:
            if (HIWORD(wParam) == BN_CLICKED) {
                m_nPattern = LOWORD(wParam) - IDC_PATTERN_COLOR;
                UpdateControls();
            }
            return TRUE;
        case IDC_PATTERN_REFER:
            ReferTo();
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(m_hWnd, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void CTestPatternDialog::UpdateControls()
{
    const bool user = m_nPattern == PATTERN_USER_FILE;
    EnableWindow(GetDlgItem(m_hWnd, IDC_PATTERN_REFER), user);
    EnableWindow(GetDlgItem(m_hWnd, IDOK), !user || !m_strFile.empty());
    const size_t slash = m_strFile.find_last_of("\\/");
    SetDlgItemTextA(m_hWnd, IDC_PATTERN_FILE_NAME,
                    (slash == std::string::npos ? m_strFile : m_strFile.substr(slash + 1)).c_str());
    InvalidateRect(GetDlgItem(m_hWnd, IDC_PATTERN_PREVIEW), nullptr, TRUE);
}

void CTestPatternDialog::ReferTo()
{
    SFileRequest request;
    request.hOwner = m_hWnd;
    request.nFilterId = IDS_FILTER_BITMAP;
    // Until a file is chosen in this run, the dialog starts where the remembered pattern file lies.
    request.strFolder = FolderOf(m_strFile);
    request.pRememberedFolder = &g_strReferFolder;
    request.dwFlags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    const std::string chosen = RequestOpenFile(request);
    if (chosen.empty())
        return;
    // A picture that cannot be read is refused here, and the file chosen before stays.
    CDIB preview;
    const int result = ReadPictureFile(chosen, preview);
    if (result != DIB_OK) {
        ShowMessage(m_hWnd, PictureFailureText(result), MB_OK | MB_ICONERROR, IDS_CAPTION);
        return;
    }
    m_strFile = chosen;
    m_Preview = std::move(preview);
    UpdateControls();
}

void CTestPatternDialog::DrawPreview(const DRAWITEMSTRUCT& item)
{
    const RECT& r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (m_nPattern == PATTERN_USER_FILE) {
        if (!m_Preview.IsEmpty())
            DrawScaled(item.hDC, m_Preview, r.left, r.top, r.right - r.left, r.bottom - r.top);
        return;
    }
    CBitmap bitmap(LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(PreviewBitmap(m_nPattern))));
    CMemoryDC memory(CreateCompatibleDC(item.hDC));
    CSelectedObject selected(memory.get(), bitmap.get());
    BITMAP bm;
    GetObject(bitmap.get(), sizeof bm, &bm);
    SetStretchBltMode(item.hDC, COLORONCOLOR);
    StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory.get(), 0, 0, bm.bmWidth, bm.bmHeight,
               SRCCOPY);
}
