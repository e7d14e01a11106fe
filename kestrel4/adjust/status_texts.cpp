#include "status_texts.h"

#include <cstdio>

namespace {
const int kInputOther = 64;
const char kDashes[] = "---.--";

// A value in 0.01 units printed with one decimal more than shown, then cut: the projector's
// own display truncates rather than rounds.
std::string Truncated(int32_t value, const char* format)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value * 0.01);
    std::string s = text;
    s.pop_back();
    return s;
}

unsigned int DetectedSignalName(int32_t detected)
{
    if (detected >= 224 && detected <= 231) {
        static const unsigned int names[] = {302, 303, 305, 306, 307, 308, 309, 304};
        return names[detected - 224];
    }
    if (detected >= 232 && detected <= 237)
        return 310 + static_cast<unsigned int>(detected - 232);
    return 300;
}
} // namespace

SLampText LampText(int32_t hours, uint16_t modelCode)
{
    int32_t threshold = modelCode == 0x3011 || modelCode == 0x4310 ? 2000 : 1500;
    char text[16];
    std::snprintf(text, sizeof text, "%d", hours >= 10 ? hours : 0);
    return {text, hours >= threshold};
}

std::string HorizontalFrequencyText(int32_t h, bool signalValid)
{
    return signalValid && h != 0 ? Truncated(h, "%6.3f") : kDashes;
}

std::string VerticalFrequencyText(int32_t v, bool signalValid)
{
    return signalValid && v != 0 ? Truncated(v, "%5.2f") : kDashes;
}

std::string RefreshText(int32_t v)
{
    return Truncated(v, "%5.2f");
}

std::string ResolutionText(int32_t width, int32_t height, bool signalValid)
{
    if (!signalValid)
        return "---- x ----";
    char text[32];
    std::snprintf(text, sizeof text, "%d x %d", width, height);
    return text;
}

SSyncTexts SyncTexts(int32_t sync, bool signalValid)
{
    if (!signalValid)
        return {"----", "----", "------"};
    auto polarity = [](int32_t bits) { return bits == 0 ? " - " : bits == 1 ? " + " : "----"; };
    static const char* const modes[] = {"Separate Sync", "Sync On Green", "Composite Sync"};
    int32_t mode = sync & 0xFF;
    return {polarity((sync >> 16) & 0xFF), polarity((sync >> 8) & 0xFF), mode <= 2 ? modes[mode] : "------"};
}

SVideoSignalText VideoSignalText(bool signalValid, int inputCode, int32_t choice, int32_t detected)
{
    // The detected signal arrives in one byte and is kept sign-extended: 226 reads as -30.
    detected &= 0xFF;
    if (!signalValid)
        return {300, true};
    if (inputCode == kInputOther)
        return {detected >= 232 && detected <= 237 ? 310 + static_cast<unsigned int>(detected - 232) : 300u, false};
    if (choice == 0)
        return {DetectedSignalName(detected), true};
    static const unsigned int byChoice[] = {0, 302, 303, 305, 306, 307, 308, 309, 304};
    return {choice >= 1 && choice <= 8 ? byChoice[choice] : 300u, true};
}

bool ShowsFrequencyGroup(bool computerInput, int inputCode)
{
    return computerInput && inputCode != kInputOther;
}

bool ShowsAutoLabel(bool computerInput, int inputCode, int32_t choice)
{
    return !ShowsFrequencyGroup(computerInput, inputCode) && inputCode != kInputOther && choice == 0;
}
