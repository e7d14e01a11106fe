// The setting pages of the effect types. Each shows one definition (the current slot's)
// and writes every change into it at once; the host then stores it as "Present Setting".
#pragma once
#include "capture_edit.h"
#include "key_texts.h"
#include "dialog_base.h"
#include "effects.h"
#include "page_values.h"

#include <string>
#include <vector>

class IEffectPageHost {
public:
    virtual ~IEffectPageHost() {}
    // A value of the shown definition changed.
    virtual void OnEffectChanged() = 0;
    // "Test": runs the shown definition over the screen as it is.
    virtual void OnTest() = 0;
    // Item deleted of a library (type: EFFECT_STAMP or EFFECT_CUSTOM_CURSOR) is gone and
    // the later files renamed one down; every definition using them follows.
    virtual void OnItemsRenumbered(int type, const std::vector<std::string>& before, size_t deleted) = 0;
};

class CEffectPage : public virtual CDialogBase {
public:
    CEffectPage(IEffectPageHost& host, UINT templateId) : m_Host(host), m_nTemplate(templateId) {}
    HWND Create(HWND parent) { return CDialogBase::Create(m_nTemplate, parent); }
    // Copies effect's values into the controls; the page keeps the pointer until the next
    // call. Null lets go of the definition shown before, which may be about to go.
    virtual void ShowEffect(CEffect* effect) = 0;

protected:
    IEffectPageHost& m_Host;
    UINT m_nTemplate;
};

// Free line, line, ellipse, square, bar and spot light.
class CShapePage : public CEffectPage {
public:
    struct SSpec {
        UINT nTemplate;
        UINT nWidthEdit, nWidthSpin;
        SValueRange widthRange;
    };
    CShapePage(IEffectPageHost& host, const SSpec& spec) : CEffectPage(host, spec.nTemplate), m_Spec(spec) {}
    void ShowEffect(CEffect* effect) override;

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInit();
    void OnCommand(UINT id, UINT code);
    // The edit's number into the definition; false (and the range reported) when invalid.
    bool ApplyNumber(UINT edit, EEffectParam param, const SValueRange& range, bool report);
    void SetParam(EEffectParam param, int value);
    void DrawColorButton(const DRAWITEMSTRUCT& item);

    SSpec m_Spec;
    CShapeEffect* m_pEffect = nullptr;
    int m_nColorIndex = 0;
    bool m_bFilling = false;
    bool m_bReporting = false;
};

class CSoundPage : public CEffectPage {
public:
    // soundFile: the last sound file chosen, kept by the main window.
    CSoundPage(IEffectPageHost& host, std::string& soundFile, std::string defaultFolder)
        : CEffectPage(host, 147), m_strSoundFile(soundFile), m_strDefaultFolder(std::move(defaultFolder))
    {
    }
    ~CSoundPage() override;
    void ShowEffect(CEffect* effect) override;

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Refer();
    void Play();
    void StopSound();
    void UpdateButtons();

    CSoundEffect* m_pEffect = nullptr;
    std::string& m_strSoundFile;
    std::string m_strDefaultFolder;
    UINT m_nDevice = 0;
    HICON m_hPlay = nullptr;
    HICON m_hStop = nullptr;
};

class CKeyPage : public CEffectPage {
public:
    static const size_t kMaxEntries = CKeyEffect::kMaxEvents;
    CKeyPage(IEffectPageHost& host, int keyboardKind, KeyTextConverter convert);
    void ShowEffect(CEffect* effect) override;
    // A slot newly given the Key type starts with an empty field.
    void ClearField() { m_Capture.SetText(std::string()); }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Entry();
    void DeleteAll();
    void Store();

    CKeyEffect* m_pEffect = nullptr;
    CCaptureEdit m_Capture;
    KeyTextConverter m_Convert;
    std::vector<KeyCodeArray> m_Events;
    std::vector<std::string> m_Texts;
};

// Clear Screen has nothing to set.
class CEmptyPage : public CEffectPage {
public:
    using CEffectPage::CEffectPage;
    void ShowEffect(CEffect*) override {}

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM, LPARAM) override { return msg == WM_INITDIALOG; }
};

// "Kestrel" message boxes with a string-table text; %1 and %2 replaced by the arguments.
int KestrelMessage(HWND owner, UINT textId, UINT flags, const std::string& arg1 = std::string(),
                   const std::string& arg2 = std::string());
