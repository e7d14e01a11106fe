// What the adjustment pages decide without a window: the radio groups and check boxes of each
// item, the choice flows that send one command and undo it on failure, the Resolution list
// with its presets, the SRS pair, and which Video page controls are usable.
#pragma once
#include <cstdint>
#include <string>

#include "setting_controls.h"
#include "setting_items.h"
#include <vector>

// The setting model as a page sees it: commands and values of the current projector.
class IPageModel : public IItemSender {
public:
    virtual bool QueryItem(uint16_t item) = 0;
    virtual int32_t ItemValue(uint16_t item) const = 0;
    virtual bool IsItemLocked(uint16_t item) const = 0;
    virtual bool IsPresetRegistered(unsigned int n) const = 0;
    // 0x060C, 0x060D and 0x060E x 3 for Gamma choice g, each only after the previous one.
    virtual bool SendGammaParameters(unsigned int g) = 0;
};

// The questions of preset registration; n is the preset index 0..4.
class IPresetQuestions {
public:
    virtual ~IPresetQuestions() {}
    // "Preset%d is not registered yet. Do you save the present setting in the preset%d?"
    virtual bool AskRegister(unsigned int n) = 0;
    // "Preset%d will be overwritten, OK?"
    virtual bool AskOverwrite(unsigned int n) = 0;
};

// A radio group or a check box bound to one item. A check box has one button whose value is
// the checked state.
struct SChoiceButton {
    unsigned int nControl;
    int32_t nValue;
};
struct SChoiceItem {
    uint16_t wItem;
    const SChoiceButton* pButtons;
    unsigned int nButtons;
    bool bCheckBox;
};

// The choice items of every page.
const SChoiceItem* ChoiceItems(unsigned int& count);
const SChoiceItem* FindChoiceItem(uint16_t item);
// The item whose group holds this button, or null.
const SChoiceItem* ChoiceItemOfControl(unsigned int control);
// The button that shows value (0 = none; for a check box its one button for either value).
unsigned int ChoiceControl(const SChoiceItem& choice, int32_t value);
// The value a clicked radio button stands for; a check box gives its checked state.
bool ChoiceValue(const SChoiceItem& choice, unsigned int control, bool checked, int32_t& value);

// Gamma1..Gamma3 are the radio indices 0..2; the projector numbers them 2, 0, 1.
int32_t GammaValueOfIndex(unsigned int g);
int GammaIndexOfValue(int32_t value); // -1 for a value without a button

// One user choice: at most one command, the old choice kept when it fails. Gamma sends its
// parameters after the choice itself; when one of them fails the old choice and its
// parameters are sent again, and what the projector then holds is shown.
// Returns the value the controls must show.
int32_t ChooseValue(const SChoiceItem& choice, int32_t stored, int32_t chosen, IPageModel& model);

// The Resolution combo box after the user picked entry `index` (0 Auto, 1..32 signals,
// 33..37 Preset1..Preset5) while `previous` was shown: the entry to show now.
int ChooseResolution(int index, int previous, IPageModel& model, IPresetQuestions& questions);
// The "Preset..." button after the dialog: register preset n, asking before overwriting.
// True when the projector registered it.
bool RegisterPreset(unsigned int n, IPageModel& model, IPresetQuestions& questions);
// A question of string 525 or 526 with every %d replaced by n + 1.
std::string PresetQuestionText(const std::string& format, unsigned int n);

// SRS CENTER is usable only while SRS SPACE is not 0; it keeps its value meanwhile.
class CSrsPair {
public:
    struct SCenter {
        int32_t nShown; // 0 with "OFF" while SPACE is 0
        bool bEnabled;
    };
    // SPACE's value changed (by the user, a report or a refresh).
    SCenter OnSpace(int32_t space, bool centerLocked);
    // CENTER's value arrived from the table or the projector, or the user changed it.
    SCenter OnCenter(int32_t center, bool centerLocked);
    int32_t Kept() const { return m_nKept; }

private:
    SCenter Center(bool centerLocked) const;
    int32_t m_nSpace = 0;
    int32_t m_nKept = 0;
};

// The state the Video pages' enabling depends on.
struct SVideoState {
    bool bSignalValid;
    int nInputCode;
    bool bTintAvailable;
};
// Whether the control of an item on a Video page is usable: a signal, no lock, and for the
// signal-bound items of the computer page an input other than 64. 0x0500/0x0501 stand for
// the position arrows, 0x030F for "Preset...".
bool IsVideoControlEnabled(uint16_t item, const SVideoState& state, bool locked);

// Color Temp., Black Level and White Level follow the Color Setting: usable in Manual only.
bool IsColorLevelEnabled(int32_t colorSetting, bool locked);

// The projection picture for Rear Proj. and Ceiling: bitmaps 228..231.
unsigned int ProjectionBitmap(int32_t rear, int32_t ceiling);

// A lock mark stands for one item or a group of items (RGB, Position, Color Setting).
struct SLockMark {
    unsigned int nMark;
    uint16_t items[4]; // 0 ends the list
};
// The lock marks of a page.
const SLockMark* LockMarks(ESettingPage page, unsigned int& count);
// The marks to show: none while the whole page is locked (its lock icon says it), else
// every mark with a locked item.
std::vector<unsigned int> ShownLockMarks(ESettingPage page, bool pageLocked, const IPageModel& model);

// A slider whose range is centred on zero gets the middle mark above it.
inline bool HasMiddleMark(int min, int max)
{
    return min == -max;
}
