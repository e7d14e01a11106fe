// Turns a key text such as "^+a" or "{TAB 3}" into a sequence of virtual-key codes for
// playback: "+", "^" and "%" hold Shift, Ctrl and Alt around the next token, braces name a
// key with an optional repeat count, any other character is typed with its layout key.
#pragma once

#include "key_layout.h"

namespace tapline {

enum EConvertResult {
    CONVERT_OK = 0,
    CONVERT_UNCLOSED_BRACE = 1,
    CONVERT_UNKNOWN_KEY = 2,
    CONVERT_ZERO_REPEAT = 4,
    CONVERT_OUTPUT_FULL = 5,
};

// Writes at most capacity codes; count receives how many were written, also after an error
// (the codes before the error stay). A null text converts like an empty one.
int ConvertKeyText(const char* text, int* codes, int capacity, int& count, const CKeyLayout& layout);

// Virtual-key code of a brace key name, matched without regard to case; 0 when not known.
int LookUpKeyName(const char* name, int length);

} // namespace tapline
