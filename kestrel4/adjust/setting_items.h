// The projector's setting items as data: what a set command sends, what a reported value must
// look like to be taken, which page shows it; and the fixed lists the bulk walks, the page
// locks and the gamma choice use.
#pragma once
#include <cstdint>

// Where an accepted value is shown. 0x0500/0x0501 belong to the Video page of the input.
enum ESettingPage : unsigned char {
    PAGE_NONE,
    PAGE_VIDEO_COMPUTER,
    PAGE_VIDEO_VIDEO,
    PAGE_AUDIO,
    PAGE_SETTING,
    PAGE_ADVANCED,
    PAGE_ABOUT,
    PAGE_GAMMA,
};

// The tabs of the projector control panel, numbered as IsPageLocked takes them.
enum ESettingTab : int {
    TAB_VIDEO = 0,
    TAB_AUDIO = 1,
    TAB_SETTING = 2,
    TAB_ADVANCED = 3,
    TAB_ABOUT = 4,
    TAB_GAMMA = 5,
};

// How a value that the projector reports (1 to 4 bytes) is judged.
enum EItemRule : unsigned char {
    RULE_ANY,      // stored as it comes
    RULE_RANGE,    // the control's range nMin..nMax
    RULE_BYTES,    // only in exactly nMin bytes
    RULE_REFUSED,  // arrives only as a multi-byte reply
    RULE_WARNINGS, // taken when any of the low eight bits is set
    RULE_LOCK,     // a lock entry: the masks follow it
};

struct SSettingItem {
    uint16_t wCode;
    ESettingPage ePage;
    unsigned char nWidth; // value bytes of a set command
    EItemRule eRule;
    int32_t nMin;
    int32_t nMax;
    bool bUnsigned; // a one-byte choice above 127 (Resolution presets 128..132)
};

// The row of an item, or null for a code the table does not know (stored as it comes,
// sent in one byte).
const SSettingItem* FindSettingItem(uint16_t code);
unsigned int SetWidth(uint16_t code);

// The value as the table keeps it, from bytes of the wire (1..4, big-endian): one and two
// bytes are signed unless the item is an unsigned choice; other lengths give 0.
int32_t ItemValueFromBytes(uint16_t code, const unsigned char* bytes, uint32_t count);
// The same for a value that was decoded without its sign: the item's width restores it.
int32_t ItemValueFromWire(uint16_t code, int32_t value);
// The last `width` bytes of value, most significant first; returns the count.
unsigned int ItemValueBytes(uint16_t code, int32_t value, unsigned char out[4]);

// The master list: every item a whole-model read asks for, in order. bSent = 0 for the
// items SendAllSettings leaves out (read-only, query-only, and the Resolution choice).
struct SMasterEntry {
    uint16_t wCode;
    bool bSent;
};
const SMasterEntry* MasterList(unsigned int& count);
// A readable name of a master-list item (as the pages label it); "" for other codes.
const char* ItemName(uint16_t code);

// Items that depend on the input, then on the signal.
const uint16_t* InputItems(unsigned int& count);
const uint16_t* SignalItems(unsigned int& count);

// Items a model lacks: skipped by every walk and list.
struct SProjectorModel;
bool IsItemOfModel(uint16_t code, const SProjectorModel& model);

// The items a page's reset returns to factory values, in order.
enum EResetPage : int {
    RESET_VIDEO_COMPUTER,
    RESET_VIDEO_VIDEO,
    RESET_AUDIO,
    RESET_SETTING,
    RESET_ADVANCED,
    RESET_GAMMA,
};
const uint16_t* ResetList(EResetPage page, unsigned int& count);

// Lock entries as the installer-only mode reads them back: code and sub-entry.
struct SLockEntry {
    uint16_t wCode;
    unsigned char nSub;
};
const SLockEntry* LockList(unsigned int& count);

// Where a lock entry lives in the masks (group 0x1D): the word and the bit.
// False for an entry that has no bit (a code outside the table).
bool LockBit(uint16_t code, unsigned int sub, unsigned int& word, unsigned int& bit);

// The gamma parameters that follow a Gamma choice g (0 = Gamma1, 1 = Gamma2, 2 = Gamma3).
struct SGammaParameters {
    uint16_t w060C;
    unsigned char n060D;
    unsigned char n060E[3]; // the value bytes sent with index 0, 1, 2
};
const SGammaParameters& GammaParameters(bool computerInput, unsigned int g);

// The Resolution combo box: 0 "Auto", 1..32 the signals, 33..37 Preset1..Preset5.
const unsigned int kResolutionEntries = 38;
// The entry of a stored value, or -1 for none.
int ResolutionIndex(int32_t value);
// The value an entry sends, or -1 for an index outside the list.
int32_t ResolutionValue(int index);
