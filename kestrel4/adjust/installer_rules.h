// What the installer-only mode decides without a window: its functions and their lock
// entries, the set points it may send with their ranges, sub-choices and encodings, and the
// lock walks behind "Big Key" and "Small Key".
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CSettingModel;
struct SProjectorModel;

// One lock entry: an item code (or a function's pseudo-code) and its sub-entry.
struct SLockCode {
    uint16_t wCode;
    unsigned char nSub;
};

// An entry of a function's item list; nName indexes InstallerItemNames().
struct SInstallerItem {
    uint16_t wCode;
    unsigned char nSub;
    unsigned char nName;
};

enum EInstallerFunction : unsigned int {
    FUNCTION_VIDEO_COMPUTER,
    FUNCTION_VIDEO_VIDEO,
    FUNCTION_AUDIO,
    FUNCTION_EFFECT,
    FUNCTION_SETTING,
    FUNCTION_USER_LOGO,
    FUNCTION_RESET_ALL,
    FUNCTION_ADVANCED,
    FUNCTION_ABOUT,
    FUNCTION_GAMMA,
    FUNCTION_COUNT,
};

// The distinct item names in the order of their string-table entries.
const char* const* InstallerItemNames(unsigned int& count);
// The lock entries "Big Key" sends for a function on a model, in order: entries of items the
// model lacks are left out (it refuses them, and never reports them locked); empty for an
// unknown function.
std::vector<SLockCode> BigKeyEntries(unsigned int function, const SProjectorModel& model);
// The function's item list; empty for User's Logo, Reset All and About.
std::vector<SInstallerItem> FunctionItems(unsigned int function);
// The lock entries "Small Key" sends for one item of a list.
std::vector<SLockCode> SmallKeyEntries(const SInstallerItem& item);

// The walks: one lock entry at a time to projector 1..4. 1 when every entry was accepted.
// A refused entry lets the walk go on, an unanswered one ends it; either way the caller
// restores its check box.
int SendLockEntries(CSettingModel& model, int projector, const std::vector<SLockCode>& entries, bool lock);
// Big Key shows a function locked when every entry of its list for the connected model is.
bool IsFunctionLocked(const CSettingModel& model, int projector, unsigned int function);
bool IsItemLockedFor(const CSettingModel& model, int projector, const SInstallerItem& item);

// ---- set points ----

// A refinement of an item (RGB into R/G/B, Position into H/V, Color Setting into its modes).
struct SSubChoice {
    uint16_t wCode;
    const char* szText;
};
std::vector<SSubChoice> SubChoices(uint16_t item);

// What the set-point controls offer for an item (after its sub-choice).
enum ESetPointInput {
    INPUT_NONE, // nothing to send
    INPUT_EDIT, // a number in nMin..nMax
    INPUT_LIST, // a position in the value list
};
struct SSetPoint {
    ESetPointInput eInput = INPUT_NONE;
    int32_t nMin = 0;
    int32_t nMax = 0;
};
SSetPoint SetPointOf(uint16_t item);
// The value list's entries for a list item, position = the choice: Resolution "Auto" and its
// signals, Gamma 1-3, the video signals and the choices of the pages' radio groups and check
// boxes. loadString gives the string-table texts the lists share with the pages.
std::vector<std::string> SetPointList(uint16_t item, const std::function<std::string(unsigned int)>& loadString);

// The edit's text judged against the range.
enum EEditCheck {
    EDIT_VALUE,   // a number inside the range: value holds it
    EDIT_EMPTY,   // empty, or a number outside the range: the edit is emptied
    EDIT_REFUSED, // not a number: the keystroke is refused
};
EEditCheck CheckSetPointText(const std::string& text, const SSetPoint& range, int32_t& value);

// The commands "Sending" makes of a value (an edit's number or a list position), in order.
struct SSetCommand {
    uint16_t wItem;
    std::vector<unsigned char> bytes;
};
std::vector<SSetCommand> SetPointCommands(uint16_t item, int32_t value);
// Sends them to projector 1..4; 1 when all were accepted, stopping at the first that was not.
int SendSetPoint(CSettingModel& model, int projector, uint16_t item, int32_t value);
