#include "setting_items.h"

#include "projector_model.h"

namespace {
#define RANGE(min, max) RULE_RANGE, min, max, false
#define BYTES(n) RULE_BYTES, n, 0, false
#define ANY RULE_ANY, 0, 0, false

const SSettingItem kItems[] = {
    // Video(Computer)
    {0x0300, PAGE_VIDEO_COMPUTER, 1, RANGE(-30, 30)},
    {0x0301, PAGE_VIDEO_COMPUTER, 1, RANGE(-30, 30)},
    {0x0302, PAGE_VIDEO_COMPUTER, 1, RANGE(0, 63)},
    {0x0303, PAGE_VIDEO_COMPUTER, 2, RANGE(-32768, 32766)}, // position x 2
    {0x0304, PAGE_VIDEO_COMPUTER, 2, BYTES(2)},             // tracking base, shown with Tracking
    {0x0306, PAGE_VIDEO_COMPUTER, 1, RANGE(-30, 30)},
    {0x0307, PAGE_VIDEO_COMPUTER, 1, RANGE(-30, 30)},
    {0x0308, PAGE_VIDEO_COMPUTER, 1, RANGE(-30, 30)},
    {0x030A, PAGE_ABOUT, 1, RULE_REFUSED, 0, 0, false},
    {0x030B, PAGE_ABOUT, 1, RULE_REFUSED, 0, 0, false},
    {0x030D, PAGE_VIDEO_COMPUTER, 1, RANGE(-6, 5)},
    // Preset1..Preset5 are 128..132 in one byte: read without a sign, or they never select.
    {0x030E, PAGE_VIDEO_COMPUTER, 1, RULE_BYTES, 1, 0, true},
    {0x030F, PAGE_VIDEO_COMPUTER, 1, BYTES(1)},
    {0x0310, PAGE_ABOUT, 3, BYTES(3)},
    // Video(Video)
    {0x0400, PAGE_VIDEO_VIDEO, 1, RANGE(-15, 15)},
    {0x0401, PAGE_VIDEO_VIDEO, 1, RANGE(-15, 15)},
    {0x0402, PAGE_VIDEO_VIDEO, 1, RANGE(-5, 6)},
    {0x0403, PAGE_VIDEO_VIDEO, 1, RANGE(-15, 15)},
    {0x0404, PAGE_VIDEO_VIDEO, 1, RANGE(-15, 15)},
    {0x0405, PAGE_ADVANCED, 1, RANGE(0, 8)},
    // Both Video pages; the input decides which one shows it.
    {0x0500, PAGE_VIDEO_COMPUTER, 2, RANGE(-32768, 32767)},
    {0x0501, PAGE_VIDEO_COMPUTER, 2, RANGE(-32768, 32767)},
    // Advanced
    {0x0502, PAGE_ADVANCED, 1, RANGE(0, 1)},
    {0x0503, PAGE_ADVANCED, 1, RANGE(0, 1)},
    {0x0504, PAGE_ADVANCED, 1, RANGE(-5, 5)},
    {0x0508, PAGE_ADVANCED, 1, RANGE(0, 63)},
    {0x0509, PAGE_ADVANCED, 1, RANGE(-63, 0)},
    {0x050A, PAGE_ADVANCED, 1, RANGE(0, 1)},
    {0x0010, PAGE_ADVANCED, 1, RANGE(0, 2)},
    // Audio
    {0x0200, PAGE_AUDIO, 1, RANGE(0, 31)},
    {0x0205, PAGE_AUDIO, 1, RANGE(0, 5)},
    {0x0206, PAGE_AUDIO, 1, RANGE(-6, 6)},
    {0x0207, PAGE_AUDIO, 1, RANGE(-6, 6)},
    {0x0208, PAGE_AUDIO, 1, RANGE(0, 6)},
    {0x0209, PAGE_AUDIO, 1, RANGE(0, 6)},
    // Setting
    {0x0603, PAGE_SETTING, 1, RANGE(0, 1)},
    {0x0604, PAGE_SETTING, 1, RANGE(0, 2)},
    {0x0609, PAGE_SETTING, 1, RANGE(0, 1)},
    {0x060F, PAGE_SETTING, 1, RANGE(-127, 127)},
    {0x0611, PAGE_SETTING, 1, RANGE(0, 3)},
    {0x0612, PAGE_SETTING, 1, RANGE(0, 1)},
    {0x0708, PAGE_SETTING, 1, RANGE(0, 1)},
    {0x0610, PAGE_ADVANCED, 1, RANGE(0, 1)},
    // Gamma: the choice, and the parameters that follow it
    {0x0608, PAGE_GAMMA, 1, RANGE(0, 2)},
    {0x060C, PAGE_GAMMA, 2, ANY},
    {0x060D, PAGE_GAMMA, 1, ANY},
    {0x060E, PAGE_GAMMA, 2, ANY}, // index byte, value byte
    // Status and commands
    {0x0009, PAGE_ABOUT, 2, BYTES(2)},
    {0x0000, PAGE_NONE, 1, BYTES(1)},
    {0x0001, PAGE_NONE, 1, BYTES(1)},
    {0x0003, PAGE_NONE, 1, BYTES(1)},
    {0x0006, PAGE_NONE, 1, BYTES(1)},
    {0x0007, PAGE_NONE, 1, BYTES(1)},
    {0x0012, PAGE_NONE, 1, RULE_WARNINGS, 0, 0, false},
    {0x0100, PAGE_NONE, 1, BYTES(1)},
    {0x0101, PAGE_ABOUT, 1, BYTES(1)},
    {0x1004, PAGE_NONE, 4, RULE_LOCK, 0, 0, false},
};
#undef RANGE
#undef BYTES
#undef ANY

const SMasterEntry kMaster[] = {
    {0x0304, false}, {0x0303, true}, {0x0302, true}, {0x0300, true},  {0x0301, true},  {0x030D, true},
    {0x0306, true},  {0x0307, true}, {0x0308, true}, {0x0311, false}, {0x030E, false}, {0x0400, true},
    {0x0401, true},  {0x0403, true}, {0x0404, true}, {0x0402, true},  {0x0500, true},  {0x0501, true},
    {0x0200, true},  {0x0207, true}, {0x0206, true}, {0x0205, true},  {0x0208, true},  {0x0209, true},
    {0x060F, true},  {0x0603, true}, {0x0612, true}, {0x0708, true},  {0x0611, true},  {0x0609, true},
    {0x0604, true},  {0x0610, true}, {0x050A, true}, {0x0504, true},  {0x0508, true},  {0x0509, true},
    {0x0502, true},  {0x0503, true}, {0x0010, true}, {0x0009, false}, {0x030A, false}, {0x030B, false},
    {0x0310, false}, {0x0608, true}, {0x0405, true}, {0x0101, false}, {0x0100, false},
};

const uint16_t kInputItems[] = {0x0200, 0x0207, 0x0206, 0x0205, 0x0208, 0x0209, 0x050A, 0x0504,
                                0x0508, 0x0509, 0x0300, 0x0301, 0x030D, 0x0306, 0x0307, 0x0308,
                                0x0400, 0x0401, 0x0403, 0x0404, 0x0402, 0x0101, 0x0100};
const uint16_t kSignalItems[] = {0x0500, 0x0501, 0x0304, 0x0303, 0x0302, 0x030E,
                                 0x0311, 0x030A, 0x030B, 0x0310, 0x0405, 0x0101};

const uint16_t kResetVideoComputer[] = {0x030E, 0x0303, 0x0302, 0x0300, 0x0301, 0x030D, 0x0306,
                                        0x0307, 0x0308, 0x030F, 0x0311, 0x0500, 0x0501};
const uint16_t kResetVideoVideo[] = {0x0400, 0x0401, 0x0403, 0x0404, 0x0402, 0x0500, 0x0501};
const uint16_t kResetAudio[] = {0x0200, 0x0207, 0x0206, 0x0205, 0x0208, 0x0209};
const uint16_t kResetSetting[] = {0x060F, 0x0603, 0x0612, 0x0708, 0x0611, 0x0609, 0x0604};
const uint16_t kResetAdvanced[] = {0x0610, 0x050A, 0x0504, 0x0508, 0x0509, 0x0502, 0x0503, 0x0010, 0x0405};
const uint16_t kResetGamma[] = {0x0608};

const SLockEntry kLocks[] = {
    {0x0303, 0}, {0x0302, 0}, {0x0300, 0}, {0x0301, 0}, {0x0306, 0}, {0x0307, 0}, {0x0308, 0}, {0x030D, 0}, {0x030E, 0},
    {0x030F, 0}, {0x0400, 0}, {0x0401, 0}, {0x0403, 0}, {0x0404, 0}, {0x0402, 0}, {0x0500, 0}, {0x0501, 0}, {0xFF00, 0},
    {0x0200, 0}, {0x0207, 0}, {0x0206, 0}, {0x0208, 0}, {0x0209, 0}, {0xFF01, 0}, {0x0705, 0}, {0x0705, 1}, {0x0705, 2},
    {0x0705, 3}, {0x0705, 4}, {0xFF02, 0}, {0x060F, 0}, {0x0708, 0}, {0x0611, 0}, {0x0603, 0}, {0x0604, 0}, {0x0609, 0},
    {0x0612, 0}, {0xFF03, 0}, {0xFE00, 0}, {0x0007, 0}, {0x0600, 0}, {0x0610, 0}, {0x050A, 0}, {0x0504, 0}, {0x0508, 0},
    {0x0509, 0}, {0x0405, 0}, {0x0502, 0}, {0x0503, 0}, {0x0010, 0}, {0xFF04, 0}, {0xFE01, 0}, {0x0608, 0},
    // The gamma parameters: the Gamma page and its Big Key are locked only with all four.
    {0x060C, 0}, {0x060D, 0}, {0x060E, 0},
};

// Rows: Gamma1, Gamma2, Gamma3.
const SGammaParameters kGammaComputer[3] = {
    {0x0000, 16, {0, 0, 0}},
    {0x0000, 0, {0, 248, 0}},
    {0x0000, 0, {0, 0, 0}},
};
const SGammaParameters kGammaVideo[3] = {
    {0x00FE, 24, {0, 0, 0}},
    {0x0000, 0, {240, 232, 234}},
    {0x0000, 8, {240, 216, 218}},
};

template <class T, unsigned int N>
const T* Listed(const T (&list)[N], unsigned int& count)
{
    count = N;
    return list;
}
} // namespace

const SSettingItem* FindSettingItem(uint16_t code)
{
    for (const SSettingItem& item : kItems)
        if (item.wCode == code)
            return &item;
    return nullptr;
}

unsigned int SetWidth(uint16_t code)
{
    const SSettingItem* item = FindSettingItem(code);
    return item ? item->nWidth : 1;
}

int32_t ItemValueFromBytes(uint16_t code, const unsigned char* bytes, uint32_t count)
{
    const SSettingItem* item = FindSettingItem(code);
    if (item && item->bUnsigned && count == 1)
        return bytes[0];
    switch (count) {
    case 1:
        return static_cast<int8_t>(bytes[0]);
    case 2:
        return static_cast<int16_t>(bytes[0] << 8 | bytes[1]);
    case 3:
        return bytes[0] << 16 | bytes[1] << 8 | bytes[2];
    case 4:
        return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3]);
    default:
        return 0;
    }
}

int32_t ItemValueFromWire(uint16_t code, int32_t value)
{
    const SSettingItem* item = FindSettingItem(code);
    if (!item || item->bUnsigned)
        return value;
    if (item->nWidth == 1 && value >= 0 && value <= 0xFF)
        return static_cast<int8_t>(value);
    if (item->nWidth == 2 && value >= 0 && value <= 0xFFFF)
        return static_cast<int16_t>(value);
    return value;
}

unsigned int ItemValueBytes(uint16_t code, int32_t value, unsigned char out[4])
{
    unsigned int width = SetWidth(code);
    uint32_t v = static_cast<uint32_t>(value);
    for (unsigned int i = 0; i < width; ++i)
        out[i] = static_cast<unsigned char>(v >> (8 * (width - 1 - i)));
    return width;
}

const SMasterEntry* MasterList(unsigned int& count)
{
    return Listed(kMaster, count);
}

const char* ItemName(uint16_t code)
{
    struct SName {
        uint16_t wCode;
        const char* szName;
    };
    static const SName kNames[] = {
        {0x0009, "Lamp hours"},
        {0x0010, "Cursor Speed"},
        {0x0100, "Input"},
        {0x0101, "Signal"},
        {0x0200, "Volume"},
        {0x0205, "3D Sound"},
        {0x0206, "Bass"},
        {0x0207, "Treble"},
        {0x0208, "SRS SPACE"},
        {0x0209, "SRS CENTER"},
        {0x0300, "Brightness"},
        {0x0301, "Contrast"},
        {0x0302, "Sync."},
        {0x0303, "Tracking"},
        {0x0304, "Tracking base"},
        {0x0306, "Red"},
        {0x0307, "Green"},
        {0x0308, "Blue"},
        {0x030A, "Frequencies"},
        {0x030B, "Resolution info"},
        {0x030D, "Sharpness"},
        {0x030E, "Resolution"},
        {0x0310, "Sync info"},
        {0x0311, "Presets"},
        {0x0400, "Video Brightness"},
        {0x0401, "Video Contrast"},
        {0x0402, "Video Sharpness"},
        {0x0403, "Saturation"},
        {0x0404, "Tint"},
        {0x0405, "Video Signal"},
        {0x0500, "Position H"},
        {0x0501, "Position V"},
        {0x0502, "Rear Proj."},
        {0x0503, "Ceiling"},
        {0x0504, "Color Temp"},
        {0x0508, "Black Level"},
        {0x0509, "White Level"},
        {0x050A, "Color Setting"},
        {0x0603, "Prompt"},
        {0x0604, "A/V Mute"},
        {0x0608, "Gamma"},
        {0x0609, "BNC"},
        {0x060F, "Keystone"},
        {0x0610, "Startup Screen"},
        {0x0611, "Message"},
        {0x0612, "DPMS"},
        {0x0708, "P in P"},
    };
    for (const SName& n : kNames)
        if (n.wCode == code)
            return n.szName;
    return "";
}

const uint16_t* InputItems(unsigned int& count)
{
    return Listed(kInputItems, count);
}

const uint16_t* SignalItems(unsigned int& count)
{
    return Listed(kSignalItems, count);
}

bool IsItemOfModel(uint16_t code, const SProjectorModel& model)
{
    switch (code) {
    case 0x0205:
        return model.nAudioVariant == 1;
    case 0x0208:
    case 0x0209:
        return model.nAudioVariant == 0;
    case 0x0508:
    case 0x0509:
        return model.bBlackWhiteLevel != 0;
    default:
        return true;
    }
}

const uint16_t* ResetList(EResetPage page, unsigned int& count)
{
    switch (page) {
    case RESET_VIDEO_COMPUTER:
        return Listed(kResetVideoComputer, count);
    case RESET_VIDEO_VIDEO:
        return Listed(kResetVideoVideo, count);
    case RESET_AUDIO:
        return Listed(kResetAudio, count);
    case RESET_SETTING:
        return Listed(kResetSetting, count);
    case RESET_ADVANCED:
        return Listed(kResetAdvanced, count);
    case RESET_GAMMA:
        return Listed(kResetGamma, count);
    }
    count = 0;
    return nullptr;
}

const SLockEntry* LockList(unsigned int& count)
{
    return Listed(kLocks, count);
}

bool LockBit(uint16_t code, unsigned int sub, unsigned int& word, unsigned int& bit)
{
    unsigned int group = code >> 8, item = code & 0xFF;
    if (group == 0xFF && item <= 4) {
        // Page resets share the word of group 0 with the two page locks of 0xFE0n.
        word = 0;
        bit = item;
        return true;
    }
    if (group == 0xFE && item <= 1) {
        word = 0;
        bit = 5 + item;
        return true;
    }
    if (code == 0x0705) {
        if (sub > 4)
            return false;
        word = 1;
        bit = sub;
        return true;
    }
    if (group >= 32 || item >= 32)
        return false;
    word = group;
    bit = item;
    return true;
}

const SGammaParameters& GammaParameters(bool computerInput, unsigned int g)
{
    if (g > 2)
        g = 0;
    return computerInput ? kGammaComputer[g] : kGammaVideo[g];
}

int ResolutionIndex(int32_t value)
{
    if (value >= 0 && value <= 32)
        return value;
    if (value >= 128 && value <= 132)
        return value - 95;
    return -1;
}

int32_t ResolutionValue(int index)
{
    if (index >= 0 && index <= 32)
        return index;
    if (index >= 33 && index <= 37)
        return index + 95;
    return -1;
}
