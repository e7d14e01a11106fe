// Stepping rules of the item-bound sliders and up-downs, and the status page texts.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "setting_controls.h"
#include "status_texts.h"

namespace {

struct CRecorder : IItemSender, IStepView {
    bool SendItem(uint16_t item, int32_t value, unsigned int width) override
    {
        sent.push_back(value);
        lastItem = item;
        lastWidth = width;
        if (reenter)
            reenter();
        return accept;
    }
    void ShowPosition(int position) override { shown.push_back(position); }
    void ShowText(const std::string& t) override { text = t; }

    std::vector<int32_t> sent;
    std::vector<int> shown;
    std::string text;
    uint16_t lastItem = 0;
    unsigned int lastWidth = 0;
    bool accept = true;
    std::function<void()> reenter;
};

SStepBinding Binding(uint16_t item, int min, int max, int step, unsigned int width, bool wrap, bool offText = false)
{
    SStepBinding b;
    b.wItem = item;
    b.nMin = min;
    b.nMax = max;
    b.nStep = step;
    b.nWidth = width;
    b.bWrap = wrap;
    b.bOffText = offText;
    return b;
}

struct StepCase {
    const char* name;
    SStepBinding binding;
    int32_t start; // value
    int code;
    int thumb;
    std::vector<int32_t> sent; // values sent, empty = nothing
};

TEST(StepControl, OneCommandPerActionAndOnlyWhenTheValueChanges)
{
    const SStepBinding brightness = Binding(0x0300, -30, 30, 1, 1, false);
    const SStepBinding sync = Binding(0x0302, 0, 63, 1, 1, true);
    const SStepBinding tracking = Binding(0x0303, -16384, 16383, 2, 2, false);
    const StepCase cases[] = {
        {"arrow right", brightness, 0, SCROLL_LINE_RIGHT, 0, {1}},
        {"page left", brightness, 0, SCROLL_PAGE_LEFT, 0, {-1}},
        {"brightness at its minimum, one step down", brightness, -30, SCROLL_LINE_LEFT, 0, {}},
        {"dragging the thumb", brightness, 0, SCROLL_THUMB_TRACK, 12, {}},
        {"thumb released where it was", brightness, 5, SCROLL_THUMB_POSITION, 5, {}},
        {"thumb released elsewhere, clamped", brightness, 5, SCROLL_THUMB_POSITION, 99, {30}},
        {"home", brightness, 5, SCROLL_LEFT, 0, {-30}},
        {"end of scroll", brightness, 5, SCROLL_END, 0, {}},
        {"sync at 63, one step up", sync, 63, SCROLL_LINE_RIGHT, 0, {0}},
        {"sync at 0, one step down", sync, 0, SCROLL_LINE_LEFT, 0, {63}},
        {"sync pushed against its top", sync, 63, SCROLL_THUMB_POSITION, 63, {0}},
        {"tracking at its maximum, one step up", tracking, 32766, SCROLL_LINE_RIGHT, 0, {}},
        {"tracking steps by two", tracking, 100, SCROLL_LINE_RIGHT, 0, {102}},
    };
    for (const StepCase& c : cases) {
        CStepControl control;
        control.Bind(c.binding);
        CRecorder r;
        ASSERT_TRUE(control.SetFromProjector(c.start, false, r)) << c.name;
        control.OnScroll(c.code, c.thumb, r, r);
        EXPECT_EQ(r.sent, c.sent) << c.name;
        if (!c.sent.empty()) {
            EXPECT_EQ(r.lastItem, c.binding.wItem) << c.name;
            EXPECT_EQ(r.lastWidth, c.binding.nWidth) << c.name;
            EXPECT_EQ(control.Value(), c.sent.back()) << c.name;
        } else {
            EXPECT_EQ(control.Value(), c.start) << c.name;
        }
    }
}

TEST(StepControl, RefusedCommandPutsTheControlBack)
{
    CStepControl control;
    control.Bind(Binding(0x0300, -30, 30, 1, 1, false));
    CRecorder r;
    control.SetFromProjector(4, true, r);
    r.shown.clear();
    r.accept = false;
    control.OnScroll(SCROLL_LINE_RIGHT, 0, r, r);
    EXPECT_EQ(r.sent, std::vector<int32_t>{5});
    EXPECT_EQ(control.Position(), 4);
    EXPECT_EQ(r.shown, std::vector<int>{4}) << "the window goes back to the old position";
}

TEST(StepControl, ActionsDuringASendAreIgnored)
{
    CStepControl control;
    control.Bind(Binding(0x0300, -30, 30, 1, 1, false));
    CRecorder r;
    r.reenter = [&] {
        r.reenter = nullptr;
        control.OnScroll(SCROLL_LINE_RIGHT, 0, r, r);
    };
    control.OnScroll(SCROLL_LINE_RIGHT, 0, r, r);
    EXPECT_EQ(r.sent, std::vector<int32_t>{1});
}

TEST(StepControl, ProjectorValuesAndTexts)
{
    CStepControl sync;
    sync.Bind(Binding(0x0302, 0, 63, 1, 1, true));
    CRecorder r;
    EXPECT_FALSE(sync.SetFromProjector(70, true, r)) << "out of range: refused";
    EXPECT_TRUE(sync.SetFromProjector(10, false, r));
    EXPECT_EQ(sync.Value(), 10) << "stored";
    EXPECT_TRUE(r.shown.empty()) << "but not shown for another projector";

    CStepControl tracking;
    SStepBinding b = Binding(0x0303, -16384, 16383, 2, 2, false);
    b.nDisplayBase = 1000;
    tracking.Bind(b);
    tracking.SetFromProjector(-6, true, r);
    EXPECT_EQ(r.text, "994");

    CStepControl volume;
    volume.Bind(Binding(0x0200, 0, 30, 1, 1, false, true));
    volume.SetFromProjector(0, true, r);
    EXPECT_EQ(r.text, "OFF");
    volume.SetFromProjector(3, true, r);
    EXPECT_EQ(r.text, "3");
}

TEST(StepControl, PositionArrowsStayInSixteenBits)
{
    int next = 0;
    EXPECT_TRUE(StepPosition(10, -1, next));
    EXPECT_EQ(next, 9);
    EXPECT_FALSE(StepPosition(-32768, -1, next));
    EXPECT_FALSE(StepPosition(32767, 1, next));
}

TEST(StatusTexts, LampHoursAndThresholds)
{
    struct Case {
        int32_t hours;
        uint16_t model;
        const char* text;
        bool warning;
    } cases[] = {
        {7, 0x3020, "0", false},       {10, 0x3020, "10", false},     {1499, 0x3020, "1499", false},
        {1500, 0x3020, "1500", true},  {1999, 0x4310, "1999", false}, {2000, 0x4310, "2000", true},
        {1500, 0x3011, "1500", false}, {2000, 0x3011, "2000", true},
    };
    for (const Case& c : cases) {
        SLampText lamp = LampText(c.hours, c.model);
        EXPECT_EQ(lamp.strText, c.text) << c.hours;
        EXPECT_EQ(lamp.bWarning, c.warning) << c.hours << " on " << std::hex << c.model;
    }
}

TEST(StatusTexts, SignalTexts)
{
    EXPECT_EQ(VerticalFrequencyText(5994, true), "59.9");
    EXPECT_EQ(RefreshText(5994), "59.9");
    EXPECT_EQ(HorizontalFrequencyText(3147, true), "31.47");
    EXPECT_EQ(HorizontalFrequencyText(3147, false), "---.--");
    EXPECT_EQ(VerticalFrequencyText(0, true), "---.--");
    EXPECT_EQ(ResolutionText(1024, 768, true), "1024 x 768");
    EXPECT_EQ(ResolutionText(1024, 768, false), "---- x ----");

    SSyncTexts sync = SyncTexts(0x010001, true);
    EXPECT_EQ(sync.strHorizontal, " + ");
    EXPECT_EQ(sync.strVertical, " - ");
    EXPECT_EQ(sync.strMode, "Sync On Green");
    sync = SyncTexts(0x020503, true);
    EXPECT_EQ(sync.strHorizontal, "----");
    EXPECT_EQ(sync.strVertical, "----");
    EXPECT_EQ(sync.strMode, "------");
    EXPECT_EQ(SyncTexts(0, false).strMode, "------");
}

TEST(StatusTexts, VideoSignalNames)
{
    struct Case {
        bool valid;
        int input;
        int32_t choice;
        int32_t detected;
        unsigned int id;
        bool brackets;
    } cases[] = {
        {false, 33, 1, 224, 300, true},
        {true, 33, 0, 226, 305, true},
        {true, 33, 0, 231, 304, true},
        {true, 33, 0, 235, 313, true},
        {true, 33, 0, 99, 300, true},
        {true, 33, 8, 226, 304, true},
        {true, 34, 3, 0, 305, true},
        {true, 64, 0, 233, 311, false},
        {true, 64, 2, 226, 300, false},
        // As the table keeps one-byte values: sign-extended.
        {true, 33, 0, 226 - 256, 305, true},
        {true, 64, 0, 233 - 256, 311, false},
    };
    for (const Case& c : cases) {
        SVideoSignalText t = VideoSignalText(c.valid, c.input, c.choice, c.detected);
        EXPECT_EQ(t.nStringId, c.id) << c.input << "/" << c.choice << "/" << c.detected;
        EXPECT_EQ(t.bBrackets, c.brackets);
    }
    EXPECT_TRUE(ShowsAutoLabel(false, 33, 0));
    EXPECT_FALSE(ShowsAutoLabel(false, 33, 3));
    EXPECT_FALSE(ShowsAutoLabel(true, 64, 0));
    EXPECT_FALSE(ShowsFrequencyGroup(true, 64));
    EXPECT_TRUE(ShowsFrequencyGroup(true, 16));
}

} // namespace
