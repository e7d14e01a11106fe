// The pages of the projector control panel: Video(Computer), Video(Video), Audio, Setting,
// Advanced and Gamma. Each is a child dialog bound to the setting model through
// CPageContext; the About page is in about_page.h.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "dialog_base.h"
#include "page_rules.h"
#include "resource.h"
#include "setting_items.h"
#include "setting_widgets.h"
#include "win32_handles.h"

class CConnection;
class CSettingModel;
struct SProjectorModel;

// The setting model and the projector addressing as the pages use them: the current
// projector's values, commands with the stack flag, locks, and the preset questions.
class CPageContext : public IPageModel, public IPresetQuestions {
public:
    explicit CPageContext(CSettingModel& settings);
    void SetOwner(HWND owner) { m_hOwner = owner; }

    CSettingModel& Settings() const;
    const SProjectorModel& Model() const;
    int CurrentProjector() const;
    bool IsPageLocked(int tab) const;
    SVideoState VideoState() const;

    // IPageModel
    bool SendItem(uint16_t item, int32_t value, unsigned int width) override;
    bool QueryItem(uint16_t item) override;
    int32_t ItemValue(uint16_t item) const override;
    bool IsItemLocked(uint16_t item) const override;
    bool IsPresetRegistered(unsigned int n) const override;
    bool SendGammaParameters(unsigned int g) override;
    // IPresetQuestions
    bool AskRegister(unsigned int n) override;
    bool AskOverwrite(unsigned int n) override;

private:
    bool Ask(UINT stringId, unsigned int n);

    CSettingModel& m_Settings;
    CConnection& m_Connection;
    HWND m_hOwner = nullptr;
};

class CAdjustPage : public CDialogBase {
public:
    CAdjustPage(CPageContext& context, UINT templateId, int tab, ESettingPage page);
    HWND Create(HWND parent);
    UINT TemplateId() const { return m_nTemplate; }

    // Every control from the table for the current projector, then enabling and lock marks.
    virtual void Refresh();
    // A value the model took for the current projector.
    virtual void ShowValue(uint16_t item, int32_t value);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual void OnInit() {}
    virtual bool OnCommand(UINT id, UINT code);
    // After a choice shows a new value, by the user or the projector.
    virtual void OnChoiceShown(uint16_t item, int32_t value) {}
    // After a slider moved to a new value, by the user or the projector.
    virtual void OnStepShown(CStepWidget& widget) {}
    // Enabling of one step control; the default is: usable unless locked.
    virtual void EnableStep(CStepWidget& widget);

    CSettingSlider& AddSlider(uint16_t item, UINT id, UINT textId, int minValue, int maxValue, bool offText = false);
    CSettingSpin& AddSpin(uint16_t item, UINT id, UINT textId, int minValue, int maxValue, int step, unsigned int width,
                          bool wrap);
    void AddChoice(uint16_t item);
    CStepWidget* FindStep(uint16_t item);
    void ShowChoice(uint16_t item, int32_t value);
    void EnableChoice(uint16_t item, bool enable);
    bool Locked(uint16_t item) const { return m_Context.IsItemLocked(item); }
    void ShowLockMarks();
    void ShowControl(UINT id, bool show);
    void PaintSliderMarks(HDC dc);

    CPageContext& m_Context;
    UINT m_nTemplate;
    int m_nTab;
    ESettingPage m_ePage;
    std::vector<std::unique_ptr<CStepWidget>> m_Steps;
    std::map<uint16_t, int32_t> m_Choices; // the choice each radio group or check box stands at

private:
    void OnScroll(HWND control, int code, int thumb);
    void OnChoiceClicked(UINT id);
};

// The position arrows both Video pages carry: 0x0500 (left, right) and 0x0501 (up, down).
class CVideoPage : public CAdjustPage, protected IRepeatOwner {
public:
    CVideoPage(CPageContext& context, UINT templateId, ESettingPage page)
        : CAdjustPage(context, templateId, TAB_VIDEO, page)
    {
    }
    void Refresh() override;
    void ShowValue(uint16_t item, int32_t value) override;
    virtual void EnableControls(bool signalValid);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnInit() override;
    bool OnCommand(UINT id, UINT code) override;
    void EnableStep(CStepWidget& widget) override;
    // IRepeatOwner
    void BeginRepeat(UINT arrowId) override;
    bool MayRepeat() const override { return m_bRepeatAllowed && !m_bStepping; }

    void StepArrow(UINT arrowId);

    CRepeatButton m_Arrows[4];
    int m_nPositionH = 0;
    int m_nPositionV = 0;
    UINT m_nRepeatArrow = 0;
    bool m_bRepeatAllowed = false;
    bool m_bStepping = false;
    bool m_bSignalValid = false;
};

class CVideoComputerPage : public CVideoPage {
public:
    explicit CVideoComputerPage(CPageContext& context) : CVideoPage(context, IDD_VIDEO_COMPUTER, PAGE_VIDEO_COMPUTER) {}
    void Refresh() override;
    void ShowValue(uint16_t item, int32_t value) override;
    void EnableControls(bool signalValid) override;
    // The Resolution entry of the stored value (after 0x030E changed).
    void ShowResolution();

protected:
    void OnInit() override;
    bool OnCommand(UINT id, UINT code) override;

private:
    void OnResolutionChosen();
    void OnPresetButton();
    int m_nResolutionShown = -1;
};

class CVideoVideoPage : public CVideoPage {
public:
    explicit CVideoVideoPage(CPageContext& context) : CVideoPage(context, IDD_VIDEO_VIDEO, PAGE_VIDEO_VIDEO) {}

protected:
    void OnInit() override;
};

class CAudioPage : public CAdjustPage {
public:
    explicit CAudioPage(CPageContext& context) : CAdjustPage(context, IDD_AUDIO, TAB_AUDIO, PAGE_AUDIO) {}
    void Refresh() override;

protected:
    void OnInit() override;
    void OnStepShown(CStepWidget& widget) override;
    void EnableStep(CStepWidget& widget) override;

private:
    void ShowCenter(const CSrsPair::SCenter& center);
    CSrsPair m_Srs;
    bool m_bShowingCenter = false;
};

class CSettingPage : public CAdjustPage {
public:
    explicit CSettingPage(CPageContext& context) : CAdjustPage(context, IDD_SETTING, TAB_SETTING, PAGE_SETTING) {}

protected:
    void OnInit() override;
};

class CAdvancedPage : public CAdjustPage {
public:
    explicit CAdvancedPage(CPageContext& context) : CAdjustPage(context, IDD_ADVANCED, TAB_ADVANCED, PAGE_ADVANCED) {}
    void Refresh() override;
    void ShowValue(uint16_t item, int32_t value) override;

protected:
    void OnInit() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnChoiceShown(uint16_t item, int32_t value) override;
    void EnableStep(CStepWidget& widget) override;

private:
    void ShowVideoSignal(int32_t value);
    void ShowProjection();
    CBitmap m_Projection[4];
    int m_nVideoSignalShown = 0;
};

class CGammaPage : public CAdjustPage {
public:
    explicit CGammaPage(CPageContext& context) : CAdjustPage(context, IDD_GAMMA, TAB_GAMMA, PAGE_GAMMA) {}

protected:
    void OnInit() override;
};
