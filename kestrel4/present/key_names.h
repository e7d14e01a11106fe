// The names keys are shown with: which keyboard kind the machine has, the key-name table of
// each kind, and the two reverse tables that turn names back into codes (shortcuts) and
// into converter tokens (key events).
#pragma once
#include <string>
#include <vector>

// 0 Japanese, 1 PC-98, 2 US/English and others, 3 French, 4 German, 5 Italian,
// 6 Portuguese, 7 Spanish.
const int kKeyboardKinds = 8;
// From GetKeyboardType(0), GetKeyboardType(1) and "sLanguage" of "Intl" in win.ini.
int KeyboardKind(int keyboardType, int keyboardSubType, const std::string& language);

struct SKeyName {
    int nCode;
    std::string strName;
};
// The table of kind (a kind outside 0..7 gets that of kind 2).
const std::vector<SKeyName>& KeyNameTable(int kind);
// First name of code in table, or null.
const std::string* FindKeyName(const std::vector<SKeyName>& table, int code);

// Display name -> virtual-key code, for reading shortcut texts back; -1 when not a name.
int ShortcutNameCode(const std::string& name);
// Display name -> converter token ("Page Up" -> "{PGUP}"); null when not a name.
const char* KeyEventToken(const std::string& name);

// The modifier words of the texts.
extern const char kCtrlWord[];  // "Ctrl + "
extern const char kAltWord[];   // "Alt + "
extern const char kGraphWord[]; // "Graph + ", Alt on a PC-98 keyboard
extern const char kShiftWord[]; // "Shift + "
