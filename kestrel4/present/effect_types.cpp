#include "effect_types.h"

// The descriptions of Cursor Change, Sound and Spot light are stored out of numeric order.
const SEffectTypeInfo kEffectTypes[kEffectTypeCount] = {
    {"FREE_LINE", 110, 430, 250},     {"LINE", 111, 431, 251},  {"ELLIPSE", 112, 432, 252},
    {"RECT", 113, 433, 253},          {"BAR", 114, 434, 254},   {"STAMP", 115, 435, 255},
    {"CUSTOM_CURSOR", 116, 438, 256}, {"SOUND", 117, 436, 257}, {"SPOT_LIGHT", 118, 437, 258},
    {"CLEAR_SCREEN", 119, 439, 259},  {"KEY", 120, 440, 260},
};

const char kNothingToken[] = "NOTHING";

int EffectTypeFromToken(const std::string& text)
{
    for (int i = 0; i < kEffectTypeCount; ++i)
        if (text == kEffectTypes[i].pszToken)
            return i;
    return kNoEffectType;
}
