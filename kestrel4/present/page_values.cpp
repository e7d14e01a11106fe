#include "page_values.h"

const SValueRange kLineWidthRange = {1, 32};
const SValueRange kGridWidthRange = {1, 100};
const SValueRange kBarWidthRange = {1, 300};
const SValueRange kDiameterRange = {1, 500};
const SValueRange kColorRange = {0, 0xFFFFFF};
const SValueRange kFlagRange = {0, 1};
const SValueRange kKeyCodeRange = {1, 254};

namespace {

const COLORVALUE kColors[kColorButtons] = {
    0xFF0000, 0x0000FF, 0x00FF00, 0x00FFFF, 0x000000, 0xFFFF00, 0xFF00FF, 0xFFFFFF,
};
const COLORVALUE kSoftBlue = 0xFF4040;

} // namespace

COLORVALUE ColorOfIndex(int index, int bitsPerPixel)
{
    if (index < 0 || index >= kColorButtons)
        return kColors[0];
    if (index == 0 && bitsPerPixel > 8)
        return kSoftBlue;
    return kColors[index];
}

int IndexOfColor(COLORVALUE color, int previous)
{
    if (color == kSoftBlue)
        return 0;
    for (int i = 0; i < kColorButtons; ++i)
        if (kColors[i] == color)
            return i;
    return previous;
}

SValueRange ShapeParamRange(int type, EEffectParam param)
{
    switch (param) {
    case PARAM_COLOR:
        return kColorRange;
    case PARAM_WIDTH:
        return type == EFFECT_BAR ? kBarWidthRange : type == EFFECT_SPOT_LIGHT ? kDiameterRange : kLineWidthRange;
    case PARAM_GRID:
        return kGridWidthRange;
    default:
        return kFlagRange;
    }
}

int ClampToRange(long long value, const SValueRange& range)
{
    return static_cast<int>(value < range.nLow ? range.nLow : value > range.nHigh ? range.nHigh : value);
}

bool ParseRangeValue(const std::string& text, const SValueRange& range, int& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v < range.nLow || v > range.nHigh)
        return false;
    value = v;
    return true;
}

std::string SoundDialogFolder(const std::string& lastSoundFile, const std::string& defaultFolder)
{
    size_t slash = lastSoundFile.find_last_of("\\/");
    return slash == std::string::npos ? defaultFolder : lastSoundFile.substr(0, slash + 1);
}
