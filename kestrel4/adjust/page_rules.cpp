#include "page_rules.h"

namespace {
const uint16_t kItemGamma = 0x0608;
const uint16_t kItemResolution = 0x030E;
const uint16_t kItemRegisterPreset = 0x030F;
const uint16_t kItemPresetTable = 0x0311;
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

#define CHOICE(item, buttons, check) {item, buttons, sizeof buttons / sizeof buttons[0], check}
const SChoiceItem kChoices[] = {
    CHOICE(0x0603, kPrompt, true),  CHOICE(0x0612, kDpms, true),     CHOICE(0x0610, kStartup, true),
    CHOICE(0x0502, kRear, true),    CHOICE(0x0503, kCeiling, true),  CHOICE(0x0604, kMute, false),
    CHOICE(0x0608, kGamma, false),  CHOICE(0x0609, kBnc, false),     CHOICE(0x0611, kMessage, false),
    CHOICE(0x0708, kPip, false),    CHOICE(0x0010, kCursor, false),  CHOICE(0x050A, kColor, false),
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
    if (choice.wItem == kItemGamma && !model.SendGammaParameters(static_cast<unsigned int>(GammaIndexOfValue(chosen))))
        return stored;
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
            model.QueryItem(kItemPresetTable);
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
    model.QueryItem(kItemPresetTable);
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
    case 0x0303: // Tracking
    case 0x0302: // Sync.
    case 0x030E: // Resolution
    case 0x030F: // "Preset..."
        return state.nInputCode != kInputOther;
    case 0x0404: // Tint
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
        {1248, {0x0500, 0x0501}}, {1251, {0x0303}}, {1252, {0x0302}}, {1253, {0x0300}}, {1254, {0x0301}},
        {1255, {0x030D}},         {1256, {0x0306, 0x0307, 0x0308}}, {1249, {0x030E}}, {1250, {0x030F}},
    };
    static const SLockMark videoVideo[] = {
        {1248, {0x0500, 0x0501}}, {1253, {0x0400}}, {1254, {0x0401}},
        {1257, {0x0403}},         {1258, {0x0404}}, {1255, {0x0402}},
    };
    static const SLockMark audio[] = {
        {1266, {0x0200}}, {1267, {0x0207}}, {1268, {0x0206}}, {1269, {0x0208}}, {1270, {0x0209}},
    };
    static const SLockMark setting[] = {
        {1260, {0x060F}}, {1259, {0x0603}}, {1261, {0x0612}}, {1262, {0x0708}},
        {1263, {0x0611}}, {1265, {0x0609}}, {1264, {0x0604}},
    };
    static const SLockMark advanced[] = {
        {1243, {0x0610}}, {1242, {0x050A, 0x0504, 0x0508, 0x0509}}, {1244, {0x0502}},
        {1245, {0x0503}}, {1246, {0x0010}},                          {1247, {0x0405}},
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
