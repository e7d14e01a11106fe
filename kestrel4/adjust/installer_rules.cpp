#include "installer_rules.h"

#include <cerrno>
#include <cstdlib>

#include "link_receiver.h"
#include "resource.h"
#include "setting_items.h"
#include "setting_model.h"
#include "zelq_items.h"

namespace {

const char* const kItemNames[] = {
    "Position",     "Tracking",  "Sync.",          "Brightness",    "Contrast",     "RGB",        "Sharpness",
    "Resolution",   "Preset",    "Reset",          "Saturation",    "Tint",         "Volume",     "Treble",
    "Bass",         "SRS SPACE", "SRS CENTER",     "Cursor/Stamp",  "Box",          "Marker",     "Free Line",
    "Cursor Speed", "Keystone",  "P in P",         "Message",       "Prompt",       "A/V Mute",   "BNC",
    "DPMS",         "Language",  "Startup Screen", "Color Setting", "Video Signal", "Rear Proj.", "Ceiling",
    "Gamma",
};

enum EName : unsigned char {
    N_POSITION,
    N_TRACKING,
    N_SYNC,
    N_BRIGHTNESS,
    N_CONTRAST,
    N_RGB,
    N_SHARPNESS,
    N_RESOLUTION,
    N_PRESET,
    N_RESET,
    N_SATURATION,
    N_TINT,
    N_VOLUME,
    N_TREBLE,
    N_BASS,
    N_SRS_SPACE,
    N_SRS_CENTER,
    N_CURSOR_STAMP,
    N_BOX,
    N_MARKER,
    N_FREE_LINE,
    N_CURSOR_SPEED,
    N_KEYSTONE,
    N_PIP,
    N_MESSAGE,
    N_PROMPT,
    N_AV_MUTE,
    N_BNC,
    N_DPMS,
    N_LANGUAGE,
    N_STARTUP,
    N_COLOR_SETTING,
    N_VIDEO_SIGNAL,
    N_REAR,
    N_CEILING,
    N_GAMMA,
};

const uint16_t kLanguage = 0x0600;
const unsigned char kEffectEntries = 5;

// Where the item list is the Big Key list, one name per code.
struct SFunctionRow {
    std::vector<uint16_t> codes;
    std::vector<unsigned char> names;
};

const SFunctionRow& Row(unsigned int function)
{
    static const SFunctionRow rows[FUNCTION_COUNT] = {
        {{kItemPositionH, kItemTracking, kItemSync, kItemBrightness, kItemContrast, kItemRed, kItemSharpness,
          kItemResolution, kItemRegisterPreset, kLockResetVideo},
         {N_POSITION, N_TRACKING, N_SYNC, N_BRIGHTNESS, N_CONTRAST, N_RGB, N_SHARPNESS, N_RESOLUTION, N_PRESET,
          N_RESET}},
        {{kItemPositionH, kItemVideoBrightness, kItemVideoContrast, kItemSaturation, kItemTint, kItemVideoSharpness,
          kLockResetVideo},
         {N_POSITION, N_BRIGHTNESS, N_CONTRAST, N_SATURATION, N_TINT, N_SHARPNESS, N_RESET}},
        {{kItemVolume, kItemTreble, kItemBass, kItemSrsSpace, kItemSrsCenter, kLockResetAudio},
         {N_VOLUME, N_TREBLE, N_BASS, N_SRS_SPACE, N_SRS_CENTER, N_RESET}},
        {{kItemPresentationLock, kLockResetEffect}, {}},
        {{kItemKeystone, kItemPictureInPicture, kItemMessage, kItemPrompt, kItemAvMute, kItemBnc, kItemDpms,
          kLockResetSetting},
         {N_KEYSTONE, N_PIP, N_MESSAGE, N_PROMPT, N_AV_MUTE, N_BNC, N_DPMS, N_RESET}},
        {{kLockUserLogo}, {}},
        {{kItemResetAll}, {}},
        {{kLanguage, kItemStartupScreen, kItemColorSetting, kItemVideoSignal, kItemRearProjection, kItemCeiling,
          kLockResetAdvanced},
         {N_LANGUAGE, N_STARTUP, N_COLOR_SETTING, N_VIDEO_SIGNAL, N_REAR, N_CEILING, N_RESET}},
        {{kLockAbout}, {}},
        {{kItemGamma, kItemGammaParameter1, kItemGammaParameter2, kItemGammaParameter3}, {}},
    };
    static const SFunctionRow none;
    return function < FUNCTION_COUNT ? rows[function] : none;
}

std::vector<unsigned char> LockBytes(const SLockCode& entry, bool lock)
{
    return {ItemGroup(entry.wCode), ItemId(entry.wCode), entry.nSub, static_cast<unsigned char>(lock ? 1 : 0)};
}

} // namespace

const char* const* InstallerItemNames(unsigned int& count)
{
    count = sizeof kItemNames / sizeof kItemNames[0];
    return kItemNames;
}

std::vector<SLockCode> BigKeyEntries(unsigned int function, const SProjectorModel& model)
{
    std::vector<SLockCode> entries;
    for (uint16_t code : Row(function).codes) {
        if (!IsItemOfModel(code, model))
            continue;
        unsigned char subs = code == kItemPresentationLock ? kEffectEntries : 1;
        for (unsigned char sub = 0; sub < subs; ++sub)
            entries.push_back({code, sub});
    }
    return entries;
}

std::vector<SInstallerItem> FunctionItems(unsigned int function)
{
    std::vector<SInstallerItem> items;
    if (function == FUNCTION_EFFECT) {
        const unsigned char names[] = {N_CURSOR_STAMP, N_BOX, N_MARKER, N_FREE_LINE};
        for (unsigned char sub = 0; sub < 4; ++sub)
            items.push_back({kItemPresentationLock, sub, names[sub]});
        items.push_back({kItemCursorSpeed, 0, N_CURSOR_SPEED});
        items.push_back({kLockResetEffect, 0, N_RESET});
    } else if (function == FUNCTION_GAMMA) {
        items.push_back({kItemGamma, 0, N_GAMMA});
    } else {
        const SFunctionRow& row = Row(function);
        for (size_t i = 0; i < row.names.size(); ++i)
            items.push_back({row.codes[i], 0, row.names[i]});
    }
    return items;
}

std::vector<SLockCode> SmallKeyEntries(const SInstallerItem& item)
{
    if (item.wCode == kItemGamma)
        return {{kItemGamma, 0}, {kItemGammaParameter1, 0}, {kItemGammaParameter2, 0}, {kItemGammaParameter3, 0}};
    return {{item.wCode, item.nSub}};
}

int SendLockEntries(CSettingModel& model, int projector, const std::vector<SLockCode>& entries, bool lock)
{
    CSettingModel::CBulkWalk walk(model);
    int all = 1;
    for (const SLockCode& entry : entries) {
        std::vector<unsigned char> bytes = LockBytes(entry, lock);
        if (model.SetItem(model.Connection().IsStackMode(), projector, kItemLock, bytes.data(),
                          static_cast<unsigned int>(bytes.size())))
            continue;
        all = 0;
        if (model.Connection().Receiver().ReplyState() != REPLY_ANSWERED)
            break;
    }
    return all;
}

bool IsFunctionLocked(const CSettingModel& model, int projector, unsigned int function)
{
    std::vector<SLockCode> entries = BigKeyEntries(function, model.Connection().Model());
    for (const SLockCode& entry : entries)
        if (model.IsItemLocked(entry.wCode, entry.nSub, projector) != 1)
            return false;
    return !entries.empty();
}

bool IsItemLockedFor(const CSettingModel& model, int projector, const SInstallerItem& item)
{
    return model.IsItemLocked(item.wCode, item.nSub, projector) == 1;
}

// ---- set points ----

std::vector<SSubChoice> SubChoices(uint16_t item)
{
    switch (item) {
    case kItemRed:
        return {{kItemRed, "R"}, {kItemGreen, "G"}, {kItemBlue, "B"}};
    case kItemPositionH:
        return {{kItemPositionH, "Horizontal"}, {kItemPositionV, "Vertical"}};
    case kItemColorSetting:
        return {{kItemColorSetting, "Auto"},
                {kItemColorTemp, "Manual (Color Temp)"},
                {kItemBlackLevel, "Manual (Black Level)"},
                {kItemWhiteLevel, "Manual (White Level)"}};
    default:
        return {};
    }
}

SSetPoint SetPointOf(uint16_t item)
{
    struct SRange {
        uint16_t wCode;
        int32_t nMin, nMax;
    };
    static const SRange kRanges[] = {
        {kItemVolume, 0, 31},
        {kItemBass, -6, 6},
        {kItemTreble, -6, 6},
        {kItemSrsSpace, 0, 6},
        {kItemSrsCenter, 0, 6},
        {kItemBrightness, -30, 30},
        {kItemContrast, -30, 30},
        {kItemRed, -30, 30},
        {kItemGreen, -30, 30},
        {kItemBlue, -30, 30},
        {kItemSync, 0, 63},
        {kItemTracking, -32768, 32767},
        {kItemPositionH, -32768, 32767},
        {kItemPositionV, -32768, 32767},
        {kItemSharpness, -6, 5},
        {kItemVideoBrightness, -15, 15},
        {kItemVideoContrast, -15, 15},
        {kItemSaturation, -15, 15},
        {kItemTint, -15, 15},
        {kItemVideoSharpness, -5, 6},
        {kItemKeystone, -127, 127},
        {kItemColorTemp, -5, 5},
        {kItemBlackLevel, 0, 63},
        {kItemWhiteLevel, -63, 0},
    };
    SSetPoint point;
    for (const SRange& r : kRanges)
        if (r.wCode == item) {
            point.eInput = INPUT_EDIT;
            point.nMin = r.nMin;
            point.nMax = r.nMax;
            return point;
        }
    size_t choices = SetPointList(item, [](unsigned int) { return std::string(); }).size();
    if (choices != 0) {
        point.eInput = INPUT_LIST;
        point.nMax = static_cast<int32_t>(choices) - 1;
    }
    return point;
}

std::vector<std::string> SetPointList(uint16_t item, const std::function<std::string(unsigned int)>& loadString)
{
    auto texts = [&](std::initializer_list<unsigned int> ids) {
        std::vector<std::string> list;
        for (unsigned int id : ids)
            list.push_back(loadString(id));
        return list;
    };
    switch (item) {
    case kItemResolution: {
        std::vector<std::string> list = {loadString(IDS_AUTO)};
        for (unsigned int i = 1; i < kResolutionEntries; ++i)
            list.push_back(loadString(IDS_RESOLUTION_FIRST + i - 1));
        return list;
    }
    case kItemGamma:
        return {"Gamma1", "Gamma2", "Gamma3"};
    case kItemVideoSignal:
        // In the order of the values 0..8.
        return texts({IDS_AUTO, 302, 303, 305, 306, 307, 308, 309, 304});
    case kItemPictureInPicture:
        return {"Composite", "S-Video"};
    case kItemMessage:
        return {"OFF", "Black", "Blue", "Logo"};
    case kItemAvMute:
        return {"Black", "Blue", "Logo"};
    case kItemBnc:
        return {"RGB", "YCrCb"};
    case kItemCursorSpeed:
        return {"L", "M", "H"};
    case kItemPrompt:
    case kItemDpms:
    case kItemStartupScreen:
    case kItemRearProjection:
    case kItemCeiling:
        return {"OFF", "ON"};
    default:
        return {};
    }
}

EEditCheck CheckSetPointText(const std::string& text, const SSetPoint& range, int32_t& value)
{
    if (text.empty() || text == "-")
        return EDIT_EMPTY;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (!(c >= '0' && c <= '9') && !(c == '-' && i == 0))
            return EDIT_REFUSED;
    }
    errno = 0;
    long long number = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || number < range.nMin || number > range.nMax)
        return EDIT_EMPTY;
    value = static_cast<int32_t>(number);
    return EDIT_VALUE;
}

std::vector<SSetCommand> SetPointCommands(uint16_t item, int32_t value)
{
    auto byte = [](int32_t v) { return std::vector<unsigned char>{static_cast<unsigned char>(v)}; };
    switch (item) {
    case kItemTracking:
    case kItemPositionH:
    case kItemPositionV: {
        std::vector<unsigned char> bytes(2);
        PutBigEndian(static_cast<uint32_t>(value), 2, bytes.data());
        return {{item, bytes}};
    }
    case kItemColorTemp:
    case kItemBlackLevel:
    case kItemWhiteLevel:
        // The manual values count only once the setting is manual.
        return {{kItemColorSetting, byte(1)}, {item, byte(value)}};
    case kItemResolution:
        // The presets follow the signals at 128.
        return {{item, byte(value >= 33 && value <= 37 ? value - 33 + 128 : value)}};
    case kItemGamma: {
        static const int32_t kGammaOfPosition[3] = {2, 0, 1};
        return {{item, byte(value >= 0 && value <= 2 ? kGammaOfPosition[value] : value)}};
    }
    default:
        return {{item, byte(value)}};
    }
}

int SendSetPoint(CSettingModel& model, int projector, uint16_t item, int32_t value)
{
    int ok = 1;
    for (const SSetCommand& command : SetPointCommands(item, value))
        ok = model.SetItem(model.Connection().IsStackMode(), projector, command.wItem, command.bytes.data(),
                           static_cast<unsigned int>(command.bytes.size()), ok);
    return ok;
}
