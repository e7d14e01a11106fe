#include "adjust_pages.h"

#include <commctrl.h>

#include "about_page.h"
#include "connection.h"
#include "message_box.h"
#include "setting_model.h"
#include "status_texts.h"
#include "zelq_items.h"

namespace {
const uint16_t kStatusWidth = 0x1A02; // group 0x1A: h/v frequency, h/v resolution
const uint16_t kStatusHeight = 0x1A03;
const uint16_t kStatusVertical = 0x1A01;
const int kMarkSize = 16;

HBITMAP LockMarkBitmap()
{
    // One picture for every mark of every page, for the life of the program.
    static HBITMAP bitmap = LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_LOCK_MARK));
    return bitmap;
}

HICON SliderMark(UINT id)
{
    return static_cast<HICON>(
        LoadImageA(AppInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, kMarkSize, kMarkSize, LR_SHARED));
}

void AddStrings(HWND combo, const UINT* ids, unsigned int count)
{
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (unsigned int i = 0; i < count; ++i)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadResString(ids[i]).c_str()));
}
} // namespace

// ---- the model as the pages see it ----

CPageContext::CPageContext(CSettingModel& settings) : m_Settings(settings), m_Connection(settings.Connection()) {}

CSettingModel& CPageContext::Settings() const
{
    return m_Settings;
}

const SProjectorModel& CPageContext::Model() const
{
    return m_Connection.Model();
}

int CPageContext::CurrentProjector() const
{
    return m_Connection.CurrentProjector();
}

bool CPageContext::IsPageLocked(int tab) const
{
    return Settings().IsPageLocked(tab, -1) > 0;
}

SVideoState CPageContext::VideoState() const
{
    const CSettingModel& model = Settings();
    return {model.IsSignalValid() != 0, model.GetInputCode(), model.IsTintAvailable() != 0};
}

bool CPageContext::SendItem(uint16_t item, int32_t value, unsigned int)
{
    return Settings().SetItemValueChecked(m_Connection.IsStackMode(), -1, item, value) != 0;
}

bool CPageContext::QueryItem(uint16_t item)
{
    return Settings().QueryItem(m_Connection.IsStackMode(), -1, item) != 0;
}

int32_t CPageContext::ItemValue(uint16_t item) const
{
    return Settings().GetItemValue(item, -1);
}

bool CPageContext::IsItemLocked(uint16_t item) const
{
    return Settings().IsItemLocked(item, 0, -1) > 0;
}

bool CPageContext::IsPresetRegistered(unsigned int n) const
{
    return Settings().IsPresetRegistered(n, -1) != 0;
}

bool CPageContext::SendGammaParameters(unsigned int g)
{
    return Settings().SendGammaParameters(m_Connection.IsStackMode(), -1, g) != 0;
}

bool CPageContext::Ask(UINT stringId, unsigned int n)
{
    std::string text = PresetQuestionText(LoadResString(stringId), n);
    return ShowMessageText(m_hOwner, text, MB_YESNO | MB_ICONEXCLAMATION, IDS_CAPTION) ==
           IDYES;
}

bool CPageContext::AskRegister(unsigned int n)
{
    return Ask(IDS_PRESET_NOT_REGISTERED, n);
}

bool CPageContext::AskOverwrite(unsigned int n)
{
    return Ask(IDS_PRESET_OVERWRITE, n);
}

// ---- the page base ----

CAdjustPage::CAdjustPage(CPageContext& context, UINT templateId, int tab, ESettingPage page)
    : m_Context(context), m_nTemplate(templateId), m_nTab(tab), m_ePage(page)
{
}

HWND CAdjustPage::Create(HWND parent)
{
    return CDialogBase::Create(m_nTemplate, parent);
}

INT_PTR CAdjustPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        unsigned int count;
        const SLockMark* marks = LockMarks(m_ePage, count);
        for (unsigned int i = 0; i < count; ++i)
            SendDlgItemMessageA(m_hWnd, static_cast<int>(marks[i].nMark), STM_SETIMAGE, IMAGE_BITMAP,
                                reinterpret_cast<LPARAM>(LockMarkBitmap()));
        OnInit();
        return FALSE;
    }
    case WM_HSCROLL:
        OnScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
        return TRUE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        PaintSliderMarks(dc);
        EndPaint(m_hWnd, &ps);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
        // The strips above some sliders only mark where their marks go; they must not
        // paint over them.
        switch (GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) {
        case IDC_SOUND3D_MARKS:
        case IDC_SRS_SPACE_MARKS:
        case IDC_SRS_CENTER_MARKS:
        case IDC_BLACK_LEVEL_MARKS:
        case IDC_WHITE_LEVEL_MARKS:
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
        }
        return FALSE;
    }
    return FALSE;
}

CSettingSlider& CAdjustPage::AddSlider(uint16_t item, UINT id, UINT textId, int minValue, int maxValue, bool offText)
{
    CSettingSlider* slider = new CSettingSlider;
    m_Steps.emplace_back(slider);
    slider->Setup(m_hWnd, item, id, textId, minValue, maxValue, 1, 1, offText);
    return *slider;
}

CSettingSpin& CAdjustPage::AddSpin(uint16_t item, UINT id, UINT textId, int minValue, int maxValue, int step,
                                   unsigned int width, bool wrap)
{
    CSettingSpin* spin = new CSettingSpin;
    m_Steps.emplace_back(spin);
    spin->Setup(m_hWnd, item, id, textId, minValue, maxValue, step, width, wrap);
    return *spin;
}

void CAdjustPage::AddChoice(uint16_t item)
{
    m_Choices[item] = -1;
}

CStepWidget* CAdjustPage::FindStep(uint16_t item)
{
    for (auto& step : m_Steps)
        if (step->Item() == item)
            return step.get();
    return nullptr;
}

void CAdjustPage::OnScroll(HWND control, int code, int thumb)
{
    for (auto& step : m_Steps) {
        if (step->Window() != control)
            continue;
        int before = step->Value();
        if (code == SB_THUMBPOSITION)
            thumb = step->ThumbPosition(code, thumb);
        step->OnScroll(code, thumb, m_Context);
        if (step->Value() != before)
            OnStepShown(*step);
        return;
    }
}

bool CAdjustPage::OnCommand(UINT id, UINT code)
{
    if (code != BN_CLICKED)
        return false;
    const SChoiceItem* choice = ChoiceItemOfControl(id);
    if (!choice || !m_Choices.count(choice->wItem))
        return false;
    OnChoiceClicked(id);
    return true;
}

void CAdjustPage::OnChoiceClicked(UINT id)
{
    // Sending pumps messages: a click that comes in meanwhile is put back afterwards.
    static bool busy = false;
    const SChoiceItem& choice = *ChoiceItemOfControl(id);
    int32_t stored = m_Choices[choice.wItem];
    if (busy) {
        ShowChoice(choice.wItem, stored);
        return;
    }
    int32_t chosen;
    if (!ChoiceValue(choice, id, IsDlgButtonChecked(m_hWnd, static_cast<int>(id)) == BST_CHECKED, chosen))
        return;
    busy = true;
    int32_t shown = ChooseValue(choice, stored, chosen, m_Context);
    busy = false;
    ShowChoice(choice.wItem, shown);
}

void CAdjustPage::ShowChoice(uint16_t item, int32_t value)
{
    const SChoiceItem* choice = FindChoiceItem(item);
    if (!choice)
        return;
    m_Choices[item] = value;
    unsigned int selected = ChoiceControl(*choice, value);
    for (unsigned int i = 0; i < choice->nButtons; ++i) {
        UINT id = choice->pButtons[i].nControl;
        bool checked = choice->bCheckBox ? value == 1 : id == selected;
        CheckDlgButton(m_hWnd, static_cast<int>(id), checked ? BST_CHECKED : BST_UNCHECKED);
    }
    OnChoiceShown(item, value);
}

void CAdjustPage::EnableChoice(uint16_t item, bool enable)
{
    const SChoiceItem* choice = FindChoiceItem(item);
    for (unsigned int i = 0; choice && i < choice->nButtons; ++i)
        EnableWindow(GetDlgItem(m_hWnd, static_cast<int>(choice->pButtons[i].nControl)), enable);
}

void CAdjustPage::EnableStep(CStepWidget& widget)
{
    widget.Enable(!Locked(widget.Item()));
}

void CAdjustPage::Refresh()
{
    for (auto& step : m_Steps)
        if (step->SetFromProjector(m_Context.ItemValue(step->Item()), true))
            OnStepShown(*step);
    for (auto& choice : m_Choices)
        ShowChoice(choice.first, m_Context.ItemValue(choice.first));
    for (auto& step : m_Steps)
        EnableStep(*step);
    for (auto& choice : m_Choices)
        EnableChoice(choice.first, !Locked(choice.first));
    ShowLockMarks();
}

void CAdjustPage::ShowValue(uint16_t item, int32_t value)
{
    if (CStepWidget* step = FindStep(item)) {
        if (step->SetFromProjector(value, true))
            OnStepShown(*step);
        return;
    }
    if (m_Choices.count(item))
        ShowChoice(item, value);
}

void CAdjustPage::ShowLockMarks()
{
    bool pageLocked = m_Context.IsPageLocked(m_nTab);
    ShowControl(IDC_PAGE_LOCK, pageLocked);
    unsigned int count;
    const SLockMark* marks = LockMarks(m_ePage, count);
    for (unsigned int i = 0; i < count; ++i)
        ShowControl(marks[i].nMark, false);
    for (unsigned int mark : ShownLockMarks(m_ePage, pageLocked, m_Context))
        ShowControl(mark, true);
}

void CAdjustPage::ShowControl(UINT id, bool show)
{
    if (HWND control = GetDlgItem(m_hWnd, static_cast<int>(id)))
        ShowWindow(control, show ? SW_SHOWNA : SW_HIDE);
}

void CAdjustPage::PaintSliderMarks(HDC dc)
{
    static HICON low = SliderMark(IDI_SLIDER_LOW);
    static HICON mid = SliderMark(IDI_SLIDER_MID);
    static HICON high = SliderMark(IDI_SLIDER_HIGH);
    for (auto& step : m_Steps) {
        CSettingSlider* slider = dynamic_cast<CSettingSlider*>(step.get());
        if (!slider || !IsWindowVisible(slider->Window()))
            continue;
        RECT rc;
        GetWindowRect(slider->Window(), &rc);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        int width = rc.right - rc.left;
        int top = rc.top - kMarkSize;
        DrawIconEx(dc, rc.left + width / 10 - kMarkSize / 2, top, low, kMarkSize, kMarkSize, 0, nullptr, DI_NORMAL);
        DrawIconEx(dc, rc.right - width / 10 - kMarkSize / 2, top, high, kMarkSize, kMarkSize, 0, nullptr, DI_NORMAL);
        if (slider->HasMiddleMark())
            DrawIconEx(dc, (rc.left + rc.right - kMarkSize) / 2, top, mid, kMarkSize, kMarkSize, 0, nullptr, DI_NORMAL);
    }
}

// ---- both Video pages: position arrows and signal enabling ----

namespace {
const UINT kArrowIds[4] = {IDC_POS_UP, IDC_POS_LEFT, IDC_POS_DOWN, IDC_POS_RIGHT};
}

void CVideoPage::OnInit()
{
    for (int i = 0; i < 4; ++i)
        m_Arrows[i].Attach(GetDlgItem(m_hWnd, static_cast<int>(kArrowIds[i])), m_hWnd, this);
}

INT_PTR CVideoPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DRAWITEM) {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        for (CRepeatButton& arrow : m_Arrows)
            if (arrow.Window() == item->hwndItem) {
                arrow.Draw(*item);
                return TRUE;
            }
    }
    if (msg == UM_REPEAT_STEP) {
        StepArrow(m_nRepeatArrow);
        return TRUE;
    }
    return CAdjustPage::HandleMessage(msg, wParam, lParam);
}

bool CVideoPage::OnCommand(UINT id, UINT code)
{
    for (UINT arrow : kArrowIds)
        if (id == arrow) {
            if (code == BN_CLICKED)
                StepArrow(id);
            return true;
        }
    return CAdjustPage::OnCommand(id, code);
}

void CVideoPage::BeginRepeat(UINT arrowId)
{
    m_nRepeatArrow = arrowId;
    m_bRepeatAllowed = true;
}

void CVideoPage::StepArrow(UINT arrowId)
{
    if (m_bStepping)
        return;
    bool horizontal = arrowId == IDC_POS_LEFT || arrowId == IDC_POS_RIGHT;
    int delta = arrowId == IDC_POS_LEFT || arrowId == IDC_POS_UP ? -1 : 1;
    int& position = horizontal ? m_nPositionH : m_nPositionV;
    int next;
    if (arrowId == 0 || !StepPosition(position, delta, next))
        return;
    m_bStepping = true;
    bool sent = m_Context.SendItem(horizontal ? kItemPositionH : kItemPositionV, next, 2);
    m_bStepping = false;
    if (sent) {
        position = next;
    } else {
        m_bRepeatAllowed = false;
        for (CRepeatButton& arrow : m_Arrows)
            arrow.StopRepeat();
    }
}

void CVideoPage::Refresh()
{
    CAdjustPage::Refresh();
    m_nPositionH = m_Context.ItemValue(kItemPositionH);
    m_nPositionV = m_Context.ItemValue(kItemPositionV);
}

void CVideoPage::ShowValue(uint16_t item, int32_t value)
{
    if (item == kItemPositionH)
        m_nPositionH = value;
    else if (item == kItemPositionV)
        m_nPositionV = value;
    else
        CAdjustPage::ShowValue(item, value);
}

void CVideoPage::EnableStep(CStepWidget& widget)
{
    SVideoState state = m_Context.VideoState();
    state.bSignalValid = m_bSignalValid;
    widget.Enable(IsVideoControlEnabled(widget.Item(), state, Locked(widget.Item())));
}

void CVideoPage::EnableControls(bool signalValid)
{
    m_bSignalValid = signalValid;
    for (auto& step : m_Steps)
        EnableStep(*step);
    SVideoState state = m_Context.VideoState();
    state.bSignalValid = signalValid;
    bool horizontal = IsVideoControlEnabled(kItemPositionH, state, Locked(kItemPositionH));
    bool vertical = IsVideoControlEnabled(kItemPositionV, state, Locked(kItemPositionV));
    EnableWindow(GetDlgItem(m_hWnd, IDC_POS_LEFT), horizontal);
    EnableWindow(GetDlgItem(m_hWnd, IDC_POS_RIGHT), horizontal);
    EnableWindow(GetDlgItem(m_hWnd, IDC_POS_UP), vertical);
    EnableWindow(GetDlgItem(m_hWnd, IDC_POS_DOWN), vertical);
    ShowLockMarks();
}

// ---- Video(Computer) ----

void CVideoComputerPage::OnInit()
{
    CVideoPage::OnInit();
    AddSpin(kItemTracking, IDC_TRACKING, IDC_TRACKING_TEXT, -32768, 32766, 2, 2, false);
    AddSpin(kItemSync, IDC_SYNC, IDC_SYNC_TEXT, 0, 63, 1, 1, true);
    AddSlider(kItemBrightness, IDC_BRIGHTNESS, IDC_BRIGHTNESS_TEXT, -30, 30);
    AddSlider(kItemContrast, IDC_CONTRAST, IDC_CONTRAST_TEXT, -30, 30);
    AddSlider(kItemSharpness, IDC_SHARPNESS, IDC_SHARPNESS_TEXT, -6, 5);
    AddSlider(kItemRed, IDC_RED, IDC_RED_TEXT, -30, 30);
    AddSlider(kItemGreen, IDC_GREEN, IDC_GREEN_TEXT, -30, 30);
    AddSlider(kItemBlue, IDC_BLUE, IDC_BLUE_TEXT, -30, 30);
    UINT names[kResolutionEntries];
    names[0] = IDS_AUTO;
    for (unsigned int i = 1; i < 33; ++i)
        names[i] = IDS_RESOLUTION_FIRST + i - 1;
    for (unsigned int i = 33; i < kResolutionEntries; ++i)
        names[i] = IDS_PRESET_FIRST + i - 33;
    AddStrings(GetDlgItem(m_hWnd, IDC_RESOLUTION), names, kResolutionEntries);
}

void CVideoComputerPage::Refresh()
{
    if (CStepWidget* tracking = FindStep(kItemTracking))
        tracking->SetDisplayBase(m_Context.ItemValue(kItemTrackingBase));
    CVideoPage::Refresh();
    ShowResolution();
}

void CVideoComputerPage::ShowValue(uint16_t item, int32_t value)
{
    if (item == kItemTrackingBase) {
        if (CStepWidget* tracking = FindStep(kItemTracking))
            tracking->SetDisplayBase(value);
    } else if (item == kItemResolution) {
        ShowResolution();
    } else {
        CVideoPage::ShowValue(item, value);
    }
}

void CVideoComputerPage::ShowResolution()
{
    m_nResolutionShown = ResolutionIndex(m_Context.ItemValue(kItemResolution));
    SendDlgItemMessageA(m_hWnd, IDC_RESOLUTION, CB_SETCURSEL, static_cast<WPARAM>(m_nResolutionShown), 0);
}

void CVideoComputerPage::EnableControls(bool signalValid)
{
    CVideoPage::EnableControls(signalValid);
    SVideoState state = m_Context.VideoState();
    state.bSignalValid = signalValid;
    EnableWindow(GetDlgItem(m_hWnd, IDC_RESOLUTION),
                 IsVideoControlEnabled(kItemResolution, state, Locked(kItemResolution)));
    EnableWindow(GetDlgItem(m_hWnd, IDC_PRESET_BUTTON),
                 IsVideoControlEnabled(kItemRegisterPreset, state, Locked(kItemRegisterPreset)));
}

bool CVideoComputerPage::OnCommand(UINT id, UINT code)
{
    if (id == IDC_RESOLUTION) {
        if (code == CBN_SELCHANGE)
            OnResolutionChosen();
        return true;
    }
    if (id == IDC_PRESET_BUTTON) {
        if (code == BN_CLICKED)
            OnPresetButton();
        return true;
    }
    return CVideoPage::OnCommand(id, code);
}

void CVideoComputerPage::OnResolutionChosen()
{
    static bool busy = false;
    HWND combo = GetDlgItem(m_hWnd, IDC_RESOLUTION);
    if (busy) {
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(m_nResolutionShown), 0);
        return;
    }
    busy = true;
    int chosen = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    int shown =
        chosen == m_nResolutionShown ? chosen : ChooseResolution(chosen, m_nResolutionShown, m_Context, m_Context);
    busy = false;
    m_nResolutionShown = shown;
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(shown), 0);
}

void CVideoComputerPage::OnPresetButton()
{
    CPresetDialog dialog;
    dialog.m_strResolution =
        ResolutionText(m_Context.ItemValue(kStatusWidth), m_Context.ItemValue(kStatusHeight), true);
    dialog.m_strRefresh = RefreshText(m_Context.ItemValue(kStatusVertical));
    if (dialog.DoModal(IDD_PRESET, m_hWnd) != IDOK)
        return;
    RegisterPreset(static_cast<unsigned int>(dialog.m_nPreset), m_Context, m_Context);
}

// ---- Video(Video) ----

void CVideoVideoPage::OnInit()
{
    CVideoPage::OnInit();
    AddSlider(kItemVideoBrightness, IDC_BRIGHTNESS, IDC_BRIGHTNESS_TEXT, -15, 15);
    AddSlider(kItemVideoContrast, IDC_CONTRAST, IDC_CONTRAST_TEXT, -15, 15);
    AddSlider(kItemSaturation, IDC_SATURATION, IDC_SATURATION_TEXT, -15, 15);
    AddSlider(kItemTint, IDC_TINT, IDC_TINT_TEXT, -15, 15);
    AddSlider(kItemVideoSharpness, IDC_SHARPNESS, IDC_SHARPNESS_TEXT, -5, 6);
}

// ---- Audio ----

void CAudioPage::OnInit()
{
    AddSlider(kItemVolume, IDC_VOLUME, IDC_VOLUME_TEXT, 0, 31);
    AddSlider(kItemTreble, IDC_TREBLE, IDC_TREBLE_TEXT, -6, 6);
    AddSlider(kItemBass, IDC_BASS, IDC_BASS_TEXT, -6, 6);
    AddSlider(kItemSound3D, IDC_SOUND3D, IDC_SOUND3D_TEXT, 0, 5);
    AddSlider(kItemSrsSpace, IDC_SRS_SPACE, IDC_SRS_SPACE_TEXT, 0, 6, true);
    AddSlider(kItemSrsCenter, IDC_SRS_CENTER, IDC_SRS_CENTER_TEXT, 0, 6, true);
}

void CAudioPage::Refresh()
{
    bool single = m_Context.Model().nAudioVariant == 1;
    for (UINT id : {IDC_SOUND3D_LABEL, IDC_SOUND3D_MARKS, IDC_SOUND3D_TEXT, IDC_SOUND3D})
        ShowControl(id, single);
    for (UINT id :
         {IDC_SURROUND_GROUP, IDC_SRS_SPACE_LABEL, IDC_SRS_CENTER_LABEL, IDC_SRS_SPACE_MARKS, IDC_SRS_CENTER_MARKS,
          IDC_SRS_SPACE_TEXT, IDC_SRS_SPACE, IDC_SRS_CENTER_TEXT, IDC_SRS_CENTER, IDC_SURROUND_PICTURE})
        ShowControl(id, !single);
    CAdjustPage::Refresh();
    if (single) {
        ShowControl(IDC_MARK_SRS_SPACE, false);
        ShowControl(IDC_MARK_SRS_CENTER, false);
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CAudioPage::OnStepShown(CStepWidget& widget)
{
    if (m_bShowingCenter)
        return;
    if (widget.Item() == kItemSrsSpace)
        ShowCenter(m_Srs.OnSpace(widget.Value(), Locked(kItemSrsCenter)));
    else if (widget.Item() == kItemSrsCenter)
        ShowCenter(m_Srs.OnCenter(widget.Value(), Locked(kItemSrsCenter)));
}

void CAudioPage::ShowCenter(const CSrsPair::SCenter& center)
{
    CStepWidget* widget = FindStep(kItemSrsCenter);
    if (!widget)
        return;
    m_bShowingCenter = true;
    widget->SetFromProjector(center.nShown, true);
    m_bShowingCenter = false;
    widget->Enable(center.bEnabled);
}

void CAudioPage::EnableStep(CStepWidget& widget)
{
    // 3D Sound keeps whatever enabling it has; SRS CENTER follows SRS SPACE.
    if (widget.Item() == kItemSound3D)
        return;
    if (widget.Item() == kItemSrsCenter) {
        CStepWidget* space = FindStep(kItemSrsSpace);
        widget.Enable(space && space->Value() != 0 && !Locked(kItemSrsCenter));
        return;
    }
    CAdjustPage::EnableStep(widget);
}

// ---- Setting ----

void CSettingPage::OnInit()
{
    AddSlider(kItemKeystone, IDC_KEYSTONE, IDC_KEYSTONE_TEXT, -127, 127);
    for (uint16_t item : {kItemPrompt, kItemDpms, kItemPictureInPicture, kItemMessage, kItemBnc, kItemAvMute})
        AddChoice(item);
}

// ---- Advanced ----

void CAdvancedPage::OnInit()
{
    for (int i = 0; i < 4; ++i)
        m_Projection[i].reset(LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_PROJECTION + i)));
    AddSlider(kItemColorTemp, IDC_COLOR_TEMP, IDC_COLOR_TEMP_TEXT, -5, 5);
    AddSlider(kItemBlackLevel, IDC_BLACK_LEVEL, IDC_BLACK_LEVEL_TEXT, 0, 63);
    AddSlider(kItemWhiteLevel, IDC_WHITE_LEVEL, IDC_WHITE_LEVEL_TEXT, -63, 0);
    for (uint16_t item : {kItemStartupScreen, kItemColorSetting, kItemRearProjection, kItemCeiling, kItemCursorSpeed})
        AddChoice(item);
    // In the order of the values 0..8.
    static const UINT names[] = {301, 302, 303, 305, 306, 307, 308, 309, 304};
    AddStrings(GetDlgItem(m_hWnd, IDC_VIDEO_SIGNAL), names, sizeof names / sizeof names[0]);
}

void CAdvancedPage::Refresh()
{
    bool levels = m_Context.Model().bBlackWhiteLevel != 0;
    for (UINT id : {IDC_BLACK_LEVEL_LABEL, IDC_BLACK_LEVEL_MARKS, IDC_BLACK_LEVEL_TEXT, IDC_BLACK_LEVEL,
                    IDC_WHITE_LEVEL_LABEL, IDC_WHITE_LEVEL_MARKS, IDC_WHITE_LEVEL_TEXT, IDC_WHITE_LEVEL})
        ShowControl(id, levels);
    CAdjustPage::Refresh();
    ShowVideoSignal(m_Context.ItemValue(kItemVideoSignal));
    EnableWindow(GetDlgItem(m_hWnd, IDC_VIDEO_SIGNAL), !Locked(kItemVideoSignal));
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CAdvancedPage::ShowValue(uint16_t item, int32_t value)
{
    if (item == kItemVideoSignal)
        ShowVideoSignal(value);
    else
        CAdjustPage::ShowValue(item, value);
}

void CAdvancedPage::ShowVideoSignal(int32_t value)
{
    m_nVideoSignalShown = value >= 0 && value <= 8 ? value : -1;
    SendDlgItemMessageA(m_hWnd, IDC_VIDEO_SIGNAL, CB_SETCURSEL, static_cast<WPARAM>(m_nVideoSignalShown), 0);
}

bool CAdvancedPage::OnCommand(UINT id, UINT code)
{
    if (id != IDC_VIDEO_SIGNAL)
        return CAdjustPage::OnCommand(id, code);
    if (code == CBN_SELCHANGE) {
        static bool busy = false;
        int chosen = static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_VIDEO_SIGNAL, CB_GETCURSEL, 0, 0));
        if (!busy && chosen >= 0 && chosen != m_nVideoSignalShown) {
            busy = true;
            if (m_Context.SendItem(kItemVideoSignal, chosen, 1))
                m_nVideoSignalShown = chosen;
            busy = false;
        }
        SendDlgItemMessageA(m_hWnd, IDC_VIDEO_SIGNAL, CB_SETCURSEL, static_cast<WPARAM>(m_nVideoSignalShown), 0);
    }
    return true;
}

void CAdvancedPage::OnChoiceShown(uint16_t item, int32_t)
{
    if (item == kItemColorSetting) {
        for (uint16_t level : {kItemColorTemp, kItemBlackLevel, kItemWhiteLevel})
            if (CStepWidget* widget = FindStep(level))
                EnableStep(*widget);
    } else if (item == kItemRearProjection || item == kItemCeiling) {
        ShowProjection();
    }
}

void CAdvancedPage::EnableStep(CStepWidget& widget)
{
    auto choice = m_Choices.find(kItemColorSetting);
    int32_t color = choice == m_Choices.end() ? 0 : choice->second;
    widget.Enable(IsColorLevelEnabled(color, Locked(widget.Item())));
}

void CAdvancedPage::ShowProjection()
{
    int32_t rear = m_Choices.count(kItemRearProjection) ? m_Choices[kItemRearProjection] : 0;
    int32_t ceiling = m_Choices.count(kItemCeiling) ? m_Choices[kItemCeiling] : 0;
    HBITMAP picture = m_Projection[ProjectionBitmap(rear == 1, ceiling == 1) - IDB_PROJECTION].get();
    SendDlgItemMessageA(m_hWnd, IDC_PROJECTION_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
}

// ---- Gamma ----

void CGammaPage::OnInit()
{
    AddChoice(kItemGamma);
}
