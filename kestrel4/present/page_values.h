// What the effect setting pages decide without a window: the eight colour buttons, the
// ranges of the number fields and where the sound file dialog starts.
#pragma once
#include "effects.h"

#include <string>

const int kColorButtons = 8;
// Blue is softened on displays of more than 8 bits per pixel.
COLORVALUE ColorOfIndex(int index, int bitsPerPixel);
// The button of color (both blues give 0); previous when it is none of the eight.
int IndexOfColor(COLORVALUE color, int previous);

struct SValueRange {
    int nLow;
    int nHigh;
};
extern const SValueRange kLineWidthRange; // 1..32
extern const SValueRange kGridWidthRange; // 1..100
extern const SValueRange kBarWidthRange;  // 1..300
extern const SValueRange kDiameterRange;  // 1..500
extern const SValueRange kColorRange;     // a colour without the palette byte
extern const SValueRange kFlagRange;      // 0..1
// Virtual-key codes that name a key; 0 and 255 name none.
extern const SValueRange kKeyCodeRange;

// The range the page of type allows for param: the width field of Bar and the diameter of
// Spot light go further than the other widths.
SValueRange ShapeParamRange(int type, EEffectParam param);
// value moved to the nearest end of range when it lies outside.
int ClampToRange(long long value, const SValueRange& range);

// The field's number when it is all digits and within range; false otherwise.
bool ParseRangeValue(const std::string& text, const SValueRange& range, int& value);

// The folder the sound file dialog starts in: that of the last sound file, or defaultFolder
// when none is remembered. Earlier versions remembered the folder itself, ending in a
// backslash; such a value is taken as the folder.
std::string SoundDialogFolder(const std::string& lastSoundFile, const std::string& defaultFolder);
