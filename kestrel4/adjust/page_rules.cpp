#include "page_rules.h"
#include "zelq_items.h"

namespace {
const int kFirstPresetEntry = 33;
const int kPresetEntries = 5;
const int32_t kFirstPresetValue = 128;
const int kInputOther = 64;

// Control ids of the page templates.
const SChoiceButton kPrompt[] = {{1133, 1}};
const SChoiceButton kDpms[] = {{1077, 1}};
const SChoiceButton kStartup[] = {{1094, 1}};
const SChoiceButton kRear[] = {{1095, 1}};
const SChoiceButton kCeiling[] = {{1078, 1}};
const SChoiceButton kMute[] = {{1085, 0}, {1086, 1}, {1087, 2}};
const SChoiceButton kGamma[] = {{1101, 2}, {1102, 0}, {1103, 1}};
const SChoiceButton kBnc[] = {{1083, 0}, {1084, 1}};
const SChoiceButton kMessage[] = {{1079, 0}, {1081, 1}, {1082, 2}, {1080, 3}};
const SChoiceButton kPip[] = {{1075, 0}, {1076, 1}};
const SChoiceButton kCursor[] = {{1096, 2}, {1097, 1}, {1098, 0}};
const SChoiceButton kColor[] = {{1089, 0}, {1090, 1}};

#define CHOICE(item, buttons, check)                                                                                   \
    {                                                                                                                  \
        item, buttons, sizeof buttons / sizeof buttons[0], check                                                       \
    }
const SChoiceItem kChoices[] = {
    CHOICE(kItemPrompt, kPrompt, true),         CHOICE(kItemDpms, kDpms, true),
    CHOICE(kItemStartupScreen, kStartup, true), CHOICE(kItemRearProjection, kRear, true),
    CHOICE(kItemCeiling, kCeiling, true),       CHOICE(kItemAvMute, kMute, false),
    CHOICE(kItemGamma, kGamma, false),          CHOICE(kItemBnc, kBnc, false),
    CHOICE(kItemMessage, kMessage, false),      CHOICE(kItemPictureInPicture, kPip, false),
    CHOICE(kItemCursorSpeed, kCursor, false),   CHOICE(kItemColorSetting, kColor, false),
};
#undef CHOICE
} // namespace

const SChoiceItem* ChoiceItems(unsigned int& count)
{
    count = sizeof kChoices / sizeof kChoices[0];
    return kChoices;
}

const SChoiceItem* FindChoiceItem(uint16_t item)
{
    for (const SChoiceItem& choice : kChoices)
        if (choice.wItem == item)
            return &choice;
    return nullptr;
}

const SChoiceItem* ChoiceItemOfControl(unsigned int control)
{
    for (const SChoiceItem& choice : kChoices)
        for (unsigned int i = 0; i < choice.nButtons; ++i)
            if (choice.pButtons[i].nControl == control)
                return &choice;
    return nullptr;
}

unsigned int ChoiceControl(const SChoiceItem& choice, int32_t value)
{
    if (choice.bCheckBox)
        return value == 0 || value == 1 ? choice.pButtons[0].nControl : 0;
    for (unsigned int i = 0; i < choice.nButtons; ++i)
        if (choice.pButtons[i].nValue == value)
            return choice.pButtons[i].nControl;
    return 0;
}

bool ChoiceValue(const SChoiceItem& choice, unsigned int control, bool checked, int32_t& value)
{
    for (unsigned int i = 0; i < choice.nButtons; ++i)
        if (choice.pButtons[i].nControl == control) {
            value = choice.bCheckBox ? (checked ? 1 : 0) : choice.pButtons[i].nValue;
            return true;
        }
    return false;
}

int32_t GammaValueOfIndex(unsigned int g)
{
    return g < 3 ? kGamma[g].nValue : -1;
}

int GammaIndexOfValue(int32_t value)
{
    for (int g = 0; g < 3; ++g)
        if (kGamma[g].nValue == value)
            return g;
    return -1;
}

int32_t ChooseValue(const SChoiceItem& choice, int32_t stored, int32_t chosen, IPageModel& model)
{
    if (chosen == stored)
        return stored;
    if (!model.SendItem(choice.wItem, chosen, 1))
        return stored;
    if (choice.wItem == kItemGamma &&
        !model.SendGammaParameters(static_cast<unsigned int>(GammaIndexOfValue(chosen)))) {
        // The projector took the choice but not all of its parameters: it gets the old choice
        // back whole, or the page shows the choice it holds.
        int old = GammaIndexOfValue(stored);
        if (old >= 0 && model.SendItem(kItemGamma, stored, 1) &&
            model.SendGammaParameters(static_cast<unsigned int>(old)))
            return stored;
        return model.ItemValue(kItemGamma);
    }
    return chosen;
}

std::string PresetQuestionText(const std::string& format, unsigned int n)
{
    std::string text;
    std::string number = std::to_string(n + 1);
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 'd') {
            text += number;
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

int ChooseResolution(int index, int previous, IPageModel& model, IPresetQuestions& questions)
{
    int32_t value;
    if (index >= kFirstPresetEntry && index < kFirstPresetEntry + kPresetEntries) {
        unsigned int n = static_cast<unsigned int>(index - kFirstPresetEntry);
        if (!model.IsPresetRegistered(n)) {
            if (!questions.AskRegister(n))
                return previous;
            // A registration the projector did not take leaves the records as they were.
            if (!model.SendItem(kItemRegisterPreset, static_cast<int32_t>(n), 1))
                return previous;
            model.QueryItem(kItemPresets);
            if (!model.IsPresetRegistered(n))
                return previous;
        }
        value = kFirstPresetValue + static_cast<int32_t>(n);
    } else if (index >= 0 && index < kFirstPresetEntry) {
        value = index;
    } else {
        return previous;
    }
    return model.SendItem(kItemResolution, value, 1) ? index : previous;
}

bool RegisterPreset(unsigned int n, IPageModel& model, IPresetQuestions& questions)
{
    if (n >= static_cast<unsigned int>(kPresetEntries))
        return false;
    if (model.IsPresetRegistered(n) && !questions.AskOverwrite(n))
        return false;
    if (!model.SendItem(kItemRegisterPreset, static_cast<int32_t>(n), 1))
        return false;
    model.QueryItem(kItemPresets);
    return true;
}

CSrsPair::SCenter CSrsPair::Center(bool centerLocked) const
{
    if (m_nSpace == 0)
        return {0, false};
    return {m_nKept, !centerLocked};
}

CSrsPair::SCenter CSrsPair::OnSpace(int32_t space, bool centerLocked)
{
    m_nSpace = space;
    return Center(centerLocked);
}

CSrsPair::SCenter CSrsPair::OnCenter(int32_t center, bool centerLocked)
{
    m_nKept = center;
    return Center(centerLocked);
}

bool IsVideoControlEnabled(uint16_t item, const SVideoState& state, bool locked)
{
    if (!state.bSignalValid || locked)
        return false;
    switch (item) {
    case kItemTracking:       // Tracking
    case kItemSync:           // Sync.
    case kItemResolution:     // Resolution
    case kItemRegisterPreset: // "Preset..."
        return state.nInputCode != kInputOther;
    case kItemTint: // Tint
        return state.bTintAvailable;
    default:
        return true;
    }
}

bool IsColorLevelEnabled(int32_t colorSetting, bool locked)
{
    return colorSetting == 1 && !locked;
}

const SLockMark* LockMarks(ESettingPage page, unsigned int& count)
{
    static const SLockMark videoComputer[] = {
        {1248, {kItemPositionH, kItemPositionV}},
        {1251, {kItemTracking}},
        {1252, {kItemSync}},
        {1253, {kItemBrightness}},
        {1254, {kItemContrast}},
        {1255, {kItemSharpness}},
        {1256, {kItemRed, kItemGreen, kItemBlue}},
        {1249, {kItemResolution}},
        {1250, {kItemRegisterPreset}},
    };
    static const SLockMark videoVideo[] = {
        {1248, {kItemPositionH, kItemPositionV}},
        {1253, {kItemVideoBrightness}},
        {1254, {kItemVideoContrast}},
        {1257, {kItemSaturation}},
        {1258, {kItemTint}},
        {1255, {kItemVideoSharpness}},
    };
    static const SLockMark audio[] = {
        {1266, {kItemVolume}},   {1267, {kItemTreble}},    {1268, {kItemBass}},
        {1269, {kItemSrsSpace}}, {1270, {kItemSrsCenter}},
    };
    static const SLockMark setting[] = {
        {1260, {kItemKeystone}}, {1259, {kItemPrompt}}, {1261, {kItemDpms}},   {1262, {kItemPictureInPicture}},
        {1263, {kItemMessage}},  {1265, {kItemBnc}},    {1264, {kItemAvMute}},
    };
    static const SLockMark advanced[] = {
        {1243, {kItemStartupScreen}},  {1242, {kItemColorSetting, kItemColorTemp, kItemBlackLevel, kItemWhiteLevel}},
        {1244, {kItemRearProjection}}, {1245, {kItemCeiling}},
        {1246, {kItemCursorSpeed}},    {1247, {kItemVideoSignal}},
    };
#define MARKS(table) (count = sizeof table / sizeof table[0], table)
    switch (page) {
    case PAGE_VIDEO_COMPUTER:
        return MARKS(videoComputer);
    case PAGE_VIDEO_VIDEO:
        return MARKS(videoVideo);
    case PAGE_AUDIO:
        return MARKS(audio);
    case PAGE_SETTING:
        return MARKS(setting);
    case PAGE_ADVANCED:
        return MARKS(advanced);
    default:
        count = 0;
        return nullptr;
    }
#undef MARKS
}

std::vector<unsigned int> ShownLockMarks(ESettingPage page, bool pageLocked, const IPageModel& model)
{
    std::vector<unsigned int> shown;
    unsigned int count;
    const SLockMark* marks = LockMarks(page, count);
    for (unsigned int i = 0; i < count && !pageLocked; ++i)
        for (uint16_t item : marks[i].items)
            if (item && model.IsItemLocked(item)) {
                shown.push_back(marks[i].nMark);
                break;
            }
    return shown;
}

unsigned int ProjectionBitmap(int32_t rear, int32_t ceiling)
{
    return 228u + (rear ? 1u : 0u) + (ceiling ? 2u : 0u);
}
