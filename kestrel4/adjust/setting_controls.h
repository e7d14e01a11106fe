// What a slider or an up-down bound to a setting item does with one user action: which
// position it goes to, whether a command goes out, and what its value text says. The
// Win32 controls move their windows; the decisions are here.
#pragma once
#include <cstdint>
#include <string>

// Scroll codes of the platform's horizontal scroll message.
enum EScrollCode {
    SCROLL_LINE_LEFT = 0,
    SCROLL_LINE_RIGHT = 1,
    SCROLL_PAGE_LEFT = 2,
    SCROLL_PAGE_RIGHT = 3,
    SCROLL_THUMB_POSITION = 4,
    SCROLL_THUMB_TRACK = 5,
    SCROLL_LEFT = 6,
    SCROLL_RIGHT = 7,
    SCROLL_END = 8,
};

// Sends one set command for the control's item; true when the projector took it.
class IItemSender {
public:
    virtual ~IItemSender() {}
    virtual bool SendItem(uint16_t item, int32_t value, unsigned int width) = 0;
};

// Moves the control's window and shows its value text.
class IStepView {
public:
    virtual ~IStepView() {}
    virtual void ShowPosition(int position) = 0;
    virtual void ShowText(const std::string& text) = 0;
};

struct SStepBinding {
    uint16_t wItem = 0;
    int nMin = 0; // in steps
    int nMax = 0;
    int nStep = 1;
    unsigned int nWidth = 1;
    bool bWrap = false;
    bool bOffText = false;
    int nDisplayBase = 0; // added to the value for display (the Tracking base)
};

class CStepControl {
public:
    void Bind(const SStepBinding& binding) { m_Binding = binding; }
    const SStepBinding& Binding() const { return m_Binding; }
    void SetDisplayBase(int base) { m_Binding.nDisplayBase = base; }
    int Position() const { return m_nPosition; }
    int Value() const { return m_nPosition * m_Binding.nStep; }

    // The position one user action leads to; false when nothing is to be sent.
    bool NextPosition(int code, int thumb, int& next) const;
    // One user action: at most one command, and the control put back when it fails.
    void OnScroll(int code, int thumb, IItemSender& sender, IStepView& view);
    // A value from the projector or the table; false when it is out of range. Only the
    // current projector's values are shown.
    bool SetFromProjector(int32_t value, bool current, IStepView& view);

    std::string ValueText() const;

private:
    SStepBinding m_Binding;
    int m_nPosition = 0;
    bool m_bBusy = false;
};

// One step of a position arrow: the page keeps the position; false past the 16-bit range.
bool StepPosition(int current, int delta, int& next);
