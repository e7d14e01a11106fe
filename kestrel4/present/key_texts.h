// Key texts back into codes: a shortcut text into the codes the shortcut matcher compares,
// a key-event text into the codes the key playback sends, through the key-text converter.
#pragma once
#include "key_code_array.h"

#include <functional>
#include <string>

// The converter's calling convention: *count is the capacity on entry and the number of
// codes written on return; the result is 0 or an error code (the codes written stay).
typedef std::function<int(const char* text, int* codes, int* count)> KeyTextConverter;
// A character's key as VkKeyScan reports it: code in the low byte, 0x100 for Shift, -1 none.
typedef std::function<int(char ch)> KeyScanner;

// The profile functions drop a value's trailing blanks: "F6 " comes back as "F6". The name
// is given its blank again when only the blank makes it a key name.
std::string RestoreShortcutText(const std::string& text);

KeyCodeArray ParseShortcutText(const std::string& text, const KeyScanner& scan);

// "Ctrl + Shift + P" -> "^+p": the token text handed to the converter.
std::string KeyEventTokenText(const std::string& text);
// Codes longer than a KeyCodeArray holds are cut where no modifier is held, so the cut
// never drops the release of a press it keeps.
KeyCodeArray ConvertKeyEventText(const std::string& text, const KeyTextConverter& convert);

// One entry of the Key page: the codes of the whole captured text, and the text as shown
// and stored (at most maxTextLength characters).
struct SKeyEventEntry {
    KeyCodeArray codes;
    std::string strText;
};
SKeyEventEntry MakeKeyEventEntry(const std::string& captured, size_t maxTextLength, const KeyTextConverter& convert);
