// The Win32 controls bound to a setting item: a trackbar (CSettingSlider), a horizontal
// up-down (CSettingSpin) and the owner-drawn position arrow that repeats while held
// (CRepeatButton). What they decide is in CStepControl; here they move their windows.
#pragma once
#include <windows.h>

#include <string>

#include "setting_controls.h"

class CStepWidget : protected IStepView {
public:
    virtual ~CStepWidget() {}
    uint16_t Item() const { return m_Step.Binding().wItem; }
    HWND Window() const { return m_hWnd; }
    UINT TextId() const { return m_nTextId; }
    int MinValue() const { return m_Step.Binding().nMin * m_Step.Binding().nStep; }
    int MaxValue() const { return m_Step.Binding().nMax * m_Step.Binding().nStep; }
    int Value() const { return m_Step.Value(); }

    // One scroll message of the control: at most one command.
    void OnScroll(int code, int thumb, IItemSender& sender) { m_Step.OnScroll(code, thumb, sender, *this); }
    // A value from the table or the projector; false when out of range.
    bool SetFromProjector(int32_t value, bool current) { return m_Step.SetFromProjector(value, current, *this); }
    void SetDisplayBase(int base);
    void Enable(bool enable);
    void Show(bool show);
    // The position the user moves to with this scroll message.
    virtual int ThumbPosition(int code, int thumb) const = 0;

protected:
    void Bind(HWND page, uint16_t item, UINT id, UINT textId, int minValue, int maxValue, int step, unsigned int width,
              bool wrap, bool offText);
    void ShowText(const std::string& text) override;

    CStepControl m_Step;
    HWND m_hPage = nullptr;
    HWND m_hWnd = nullptr;
    UINT m_nTextId = 0;
};

class CSettingSlider : public CStepWidget {
public:
    void Setup(HWND page, uint16_t item, UINT sliderId, UINT textId, int minValue, int maxValue, int step = 1,
               unsigned int width = 1, bool offText = false);
    int ThumbPosition(int code, int thumb) const override;
    bool HasMiddleMark() const;

protected:
    void ShowPosition(int position) override;
};

class CSettingSpin : public CStepWidget {
public:
    void Setup(HWND page, uint16_t item, UINT spinId, UINT textId, int minValue, int maxValue, int step,
               unsigned int width, bool wrap);
    int ThumbPosition(int code, int thumb) const override;

protected:
    void ShowPosition(int position) override;
};

// What a held arrow asks of its page.
class IRepeatOwner {
public:
    virtual ~IRepeatOwner() {}
    // The button went down on this arrow: it becomes the one that repeats.
    virtual void BeginRepeat(UINT arrowId) = 0;
    // A tick may step only while the page is not inside a step and repeating is allowed.
    virtual bool MayRepeat() const = 0;
};

class CRepeatButton {
public:
    ~CRepeatButton();
    void Attach(HWND button, HWND page, IRepeatOwner* owner);
    void StopRepeat();
    // WM_DRAWITEM of the page for this arrow.
    void Draw(const DRAWITEMSTRUCT& item) const;
    HWND Window() const { return m_hWnd; }

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    HWND m_hPage = nullptr;
    IRepeatOwner* m_pOwner = nullptr;
    bool m_bRepeating = false;
};
