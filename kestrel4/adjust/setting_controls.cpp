#include "setting_controls.h"

#include <cstdio>

bool CStepControl::NextPosition(int code, int thumb, int& next) const
{
    const SStepBinding& b = m_Binding;
    switch (code) {
    case SCROLL_LINE_LEFT:
    case SCROLL_PAGE_LEFT:
        if (m_nPosition > b.nMin)
            next = m_nPosition - 1;
        else if (b.bWrap)
            next = b.nMax;
        else
            return false;
        break;
    case SCROLL_LINE_RIGHT:
    case SCROLL_PAGE_RIGHT:
        if (m_nPosition < b.nMax)
            next = m_nPosition + 1;
        else if (b.bWrap)
            next = b.nMin;
        else
            return false;
        break;
    case SCROLL_THUMB_POSITION:
        next = thumb < b.nMin ? b.nMin : thumb > b.nMax ? b.nMax : thumb;
        // An up-down that wraps turns a push against its end into the other end.
        if (b.bWrap && next == m_nPosition) {
            if (next == b.nMax)
                next = b.nMin;
            else if (next == b.nMin)
                next = b.nMax;
        }
        break;
    case SCROLL_LEFT:
        next = b.nMin;
        break;
    case SCROLL_RIGHT:
        next = b.nMax;
        break;
    default:
        // Dragging the thumb and the end of a scroll send nothing.
        return false;
    }
    return next != m_nPosition;
}

void CStepControl::OnScroll(int code, int thumb, IItemSender& sender, IStepView& view)
{
    // Sending pumps messages, so a second action may arrive inside the first.
    if (m_bBusy)
        return;
    m_bBusy = true;
    int next = m_nPosition;
    if (NextPosition(code, thumb, next)) {
        if (sender.SendItem(m_Binding.wItem, next * m_Binding.nStep, m_Binding.nWidth)) {
            m_nPosition = next;
            view.ShowPosition(m_nPosition);
            view.ShowText(ValueText());
        } else {
            view.ShowPosition(m_nPosition);
        }
    }
    m_bBusy = false;
}

bool CStepControl::SetFromProjector(int32_t value, bool current, IStepView& view)
{
    const SStepBinding& b = m_Binding;
    if (value < b.nMin * b.nStep || value > b.nMax * b.nStep)
        return false;
    m_nPosition = value / b.nStep;
    if (current) {
        view.ShowPosition(m_nPosition);
        view.ShowText(ValueText());
    }
    return true;
}

std::string CStepControl::ValueText() const
{
    if (m_nPosition == 0 && m_Binding.bOffText)
        return "OFF";
    char text[16];
    std::snprintf(text, sizeof text, "%d", Value() + m_Binding.nDisplayBase);
    return text;
}

bool StepPosition(int current, int delta, int& next)
{
    next = current + delta;
    return next >= -32768 && next <= 32767;
}
