// The eleven effect types: the code is the index of the type list, the icon, the setting
// page and the token stored in "Kestrel4.ini".
#pragma once
#include <string>

enum EffectType {
    EFFECT_FREE_LINE = 0,
    EFFECT_LINE = 1,
    EFFECT_ELLIPSE = 2,
    EFFECT_RECT = 3,
    EFFECT_BAR = 4,
    EFFECT_STAMP = 5,
    EFFECT_CUSTOM_CURSOR = 6,
    EFFECT_SOUND = 7,
    EFFECT_SPOT_LIGHT = 8,
    EFFECT_CLEAR_SCREEN = 9,
    EFFECT_KEY = 10,
};
const int kEffectTypeCount = 11;
const int kNoEffectType = -1; // an empty slot

struct SEffectTypeInfo {
    const char* pszToken; // ini token
    unsigned int nNameId; // string id of the name in the type list
    unsigned int nDescId; // string id of the description
    unsigned int nIconId;
};

extern const SEffectTypeInfo kEffectTypes[kEffectTypeCount];
extern const char kNothingToken[]; // "NOTHING": an empty slot

// The type whose token equals text exactly (case matters); kNoEffectType for none.
int EffectTypeFromToken(const std::string& text);
