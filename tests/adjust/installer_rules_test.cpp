// The installer-only mode's fixed rules: stack states, functions and lock lists, set points.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "installer_rules.h"
#include "projector_model.h"
#include "setting_file.h"
#include "stack_state.h"
#include "zelq_items.h"

namespace {

TEST(StackState, DecodesModeCountAndPositions)
{
    struct SCase {
        std::vector<unsigned char> bytes;
        bool valid;
        int stack, count;
        int32_t position2;
    } cases[] = {
        {{3, 0x21, 0x20, 0x20, 0, 0, 0, 0, 0}, true, 1, 3, 128},
        {{4, 0x21, 0x20, 0x20, 0x20, 9, 9, 9, 9}, true, 1, 4, 128},
        // Only the entries the first byte counts, and only members.
        {{2, 0x21, 0x20, 0x20, 0x20, 0, 0, 0, 0}, true, 1, 2, 128},
        {{3, 0x21, 0x20, 0x10, 0, 0, 0, 0, 0}, true, 1, 2, 128},
        {{9, 0x21, 0x20, 0x20, 0x20, 0, 0, 0, 0}, true, 1, 4, 128},
        // After Cancel Stack projector 1 keeps a role that is not the head's.
        {{1, 0x11, 0, 0, 0, 0, 0, 0, 0}, true, 0, 1, 0},
        {{3, 0x20, 0x20, 0x20, 0, 0, 0, 0, 0}, true, 0, 3, 128},
        {{3, 0x21, 0x23, 0, 0, 0, 0, 0, 0}, true, 1, 2, 131},
        {{3, 0x21, 0x20, 0x20, 0, 0, 0, 0}, false, 0, 0, 0},
        {{}, false, 0, 0, 0},
    };
    for (const SCase& c : cases) {
        SStackState s = DecodeStackState(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(s.bValid, c.valid);
        EXPECT_EQ(s.bStackMode, c.stack);
        EXPECT_EQ(s.nProjectorCount, c.count);
        EXPECT_EQ(s.nPosition[1], c.position2);
    }
    const unsigned char head[9] = {1, 0x21};
    EXPECT_EQ(DecodeStackState(head, 9).nPosition[0], 0x20 * 4 + 1);
}

TEST(InstallerFunctions, ListsAndLockEntries)
{
    struct SCase {
        unsigned int function;
        size_t bigKey;
        size_t items;
        uint16_t last;
    } cases[] = {
        {FUNCTION_VIDEO_COMPUTER, 10, 10, kLockResetVideo},
        {FUNCTION_VIDEO_VIDEO, 7, 7, kLockResetVideo},
        {FUNCTION_AUDIO, 6, 6, kLockResetAudio},
        {FUNCTION_EFFECT, 6, 6, kLockResetEffect},
        {FUNCTION_SETTING, 8, 8, kLockResetSetting},
        {FUNCTION_USER_LOGO, 1, 0, kLockUserLogo},
        {FUNCTION_RESET_ALL, 1, 0, kItemResetAll},
        {FUNCTION_ADVANCED, 7, 7, kLockResetAdvanced},
        {FUNCTION_ABOUT, 1, 0, kLockAbout},
        {FUNCTION_GAMMA, 4, 1, kItemGammaParameter3},
    };
    SProjectorModel full = {};
    full.bBlackWhiteLevel = 1;
    for (const SCase& c : cases) {
        std::vector<SLockCode> big = BigKeyEntries(c.function, full);
        EXPECT_EQ(big.size(), c.bigKey) << c.function;
        ASSERT_FALSE(big.empty());
        EXPECT_EQ(big.back().wCode, c.last) << c.function;
        EXPECT_EQ(FunctionItems(c.function).size(), c.items) << c.function;
    }
    EXPECT_TRUE(BigKeyEntries(FUNCTION_COUNT, full).empty());

    // The effect locks: five sub-entries under one code; its items name four of them.
    std::vector<SLockCode> effect = BigKeyEntries(FUNCTION_EFFECT, full);
    for (unsigned char sub = 0; sub < 5; ++sub) {
        EXPECT_EQ(effect[sub].wCode, kItemPresentationLock);
        EXPECT_EQ(effect[sub].nSub, sub);
    }
    std::vector<SInstallerItem> items = FunctionItems(FUNCTION_EFFECT);
    std::vector<SLockCode> box = SmallKeyEntries(items[1]);
    ASSERT_EQ(box.size(), 1u);
    EXPECT_EQ(box[0].wCode, kItemPresentationLock);
    EXPECT_EQ(box[0].nSub, 1);
    EXPECT_EQ(items[4].wCode, kItemCursorSpeed);
    EXPECT_EQ(SmallKeyEntries(FunctionItems(FUNCTION_GAMMA)[0]).size(), 4u) << "Gamma locks its parameters too";

    // Thirty-five distinct names and Gamma; each names what its code is.
    unsigned int count;
    const char* const* names = InstallerItemNames(count);
    EXPECT_EQ(count, 36u);
    std::set<std::string> distinct(names, names + count);
    EXPECT_EQ(distinct.size(), count);
    EXPECT_STREQ(names[FunctionItems(FUNCTION_SETTING)[5].nName], "BNC");
    EXPECT_STREQ(names[FunctionItems(FUNCTION_VIDEO_VIDEO)[4].nName], "Tint");
    EXPECT_STREQ(names[FunctionItems(FUNCTION_ADVANCED)[2].nName], "Color Setting");
}

TEST(InstallerFunctions, BigKeyLeavesOutWhatTheModelLacks)
{
    // With the single 3D Sound control the SRS pair does not exist: Big Key neither sends
    // nor waits for their entries.
    SProjectorModel single3d = {};
    single3d.nAudioVariant = 1;
    std::vector<uint16_t> codes;
    for (const SLockCode& entry : BigKeyEntries(FUNCTION_AUDIO, single3d))
        codes.push_back(entry.wCode);
    EXPECT_EQ(codes, (std::vector<uint16_t>{kItemVolume, kItemTreble, kItemBass, kLockResetAudio}));
    SProjectorModel srs = {};
    EXPECT_EQ(BigKeyEntries(FUNCTION_AUDIO, srs).size(), 6u);
}

TEST(SetPoint, RangesAndInputs)
{
    struct SCase {
        uint16_t item;
        ESetPointInput input;
        int32_t min, max;
    } cases[] = {
        {kItemVolume, INPUT_EDIT, 0, 31},
        {kItemBass, INPUT_EDIT, -6, 6},
        {kItemTreble, INPUT_EDIT, -6, 6},
        {kItemSrsSpace, INPUT_EDIT, 0, 6},
        {kItemSrsCenter, INPUT_EDIT, 0, 6},
        {kItemBrightness, INPUT_EDIT, -30, 30},
        {kItemContrast, INPUT_EDIT, -30, 30},
        {kItemRed, INPUT_EDIT, -30, 30},
        {kItemGreen, INPUT_EDIT, -30, 30},
        {kItemBlue, INPUT_EDIT, -30, 30},
        {kItemSync, INPUT_EDIT, 0, 63},
        {kItemTracking, INPUT_EDIT, -32768, 32767},
        {kItemPositionH, INPUT_EDIT, -32768, 32767},
        {kItemPositionV, INPUT_EDIT, -32768, 32767},
        {kItemSharpness, INPUT_EDIT, -6, 5},
        {kItemVideoBrightness, INPUT_EDIT, -15, 15},
        {kItemVideoContrast, INPUT_EDIT, -15, 15},
        {kItemSaturation, INPUT_EDIT, -15, 15},
        {kItemTint, INPUT_EDIT, -15, 15},
        {kItemVideoSharpness, INPUT_EDIT, -5, 6},
        {kItemKeystone, INPUT_EDIT, -127, 127},
        {kItemColorTemp, INPUT_EDIT, -5, 5},
        {kItemBlackLevel, INPUT_EDIT, 0, 63},
        {kItemWhiteLevel, INPUT_EDIT, -63, 0},
        {kItemColorSetting, INPUT_NONE, 0, 0},
        {0x0600, INPUT_NONE, 0, 0},
        {kItemResolution, INPUT_LIST, 0, 37},
        {kItemGamma, INPUT_LIST, 0, 2},
    };
    for (const SCase& c : cases) {
        SSetPoint p = SetPointOf(c.item);
        EXPECT_EQ(p.eInput, c.input) << std::hex << c.item;
        EXPECT_EQ(p.nMin, c.min) << std::hex << c.item;
        EXPECT_EQ(p.nMax, c.max) << std::hex << c.item;
    }
}

TEST(SetPoint, ValueListsFollowTheChoicesOfThePages)
{
    auto ids = [](unsigned int id) { return "#" + std::to_string(id); };
    struct SCase {
        uint16_t item;
        size_t size;
        unsigned int position;
        const char* text;
        uint8_t sent; // the byte "Sending" makes of that position
    } cases[] = {
        {kItemResolution, 38, 0, "#301", 0},
        {kItemResolution, 38, 1, "#320", 1},
        {kItemResolution, 38, 37, "#356", 132},
        {kItemGamma, 3, 0, "Gamma1", 2},
        {kItemVideoSignal, 9, 3, "#305", 3},
        {kItemVideoSignal, 9, 8, "#304", 8},
        {kItemPictureInPicture, 2, 1, "S-Video", 1},
        {kItemMessage, 4, 3, "Logo", 3},
        {kItemAvMute, 3, 2, "Logo", 2},
        {kItemBnc, 2, 1, "YCrCb", 1},
        {kItemCursorSpeed, 3, 2, "H", 2},
        {kItemPrompt, 2, 1, "ON", 1},
        {kItemDpms, 2, 0, "OFF", 0},
        {kItemStartupScreen, 2, 1, "ON", 1},
        {kItemRearProjection, 2, 1, "ON", 1},
        {kItemCeiling, 2, 1, "ON", 1},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.item);
        std::vector<std::string> list = SetPointList(c.item, ids);
        ASSERT_EQ(list.size(), c.size);
        EXPECT_EQ(list[c.position], c.text);
        SSetPoint point = SetPointOf(c.item);
        EXPECT_EQ(point.eInput, INPUT_LIST);
        EXPECT_EQ(point.nMax, static_cast<int32_t>(c.size) - 1);
        std::vector<SSetCommand> commands = SetPointCommands(c.item, static_cast<int32_t>(c.position));
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].bytes, std::vector<unsigned char>{c.sent});
    }
    // Items the pages give no choices for keep the value controls shut.
    for (uint16_t item : {uint16_t(0x0600), kItemRegisterPreset, kItemColorSetting})
        EXPECT_TRUE(SetPointList(item, ids).empty()) << std::hex << item;
}

TEST(SetPoint, EditTextIsCheckedAgainstTheRange)
{
    struct SCase {
        uint16_t item;
        const char* text;
        EEditCheck check;
        int32_t value;
    } cases[] = {
        {kItemBlackLevel, "64", EDIT_EMPTY, 0},
        {kItemBlackLevel, "63", EDIT_VALUE, 63},
        {kItemBlackLevel, "-1", EDIT_EMPTY, 0},
        {kItemWhiteLevel, "-63", EDIT_VALUE, -63},
        {kItemWhiteLevel, "1", EDIT_EMPTY, 0},
        {kItemVolume, "", EDIT_EMPTY, 0},
        {kItemBass, "-", EDIT_EMPTY, 0},
        {kItemBass, "-6", EDIT_VALUE, -6},
        {kItemBass, "6a", EDIT_REFUSED, 0},
        {kItemBass, "+3", EDIT_REFUSED, 0},
        {kItemBass, "3-", EDIT_REFUSED, 0},
        {kItemBass, " 3", EDIT_REFUSED, 0},
        {kItemTracking, "32767", EDIT_VALUE, 32767},
        {kItemTracking, "32768", EDIT_EMPTY, 0},
        {kItemTracking, "99999999999999999999", EDIT_EMPTY, 0},
    };
    for (const SCase& c : cases) {
        int32_t value = 0;
        EXPECT_EQ(CheckSetPointText(c.text, SetPointOf(c.item), value), c.check) << c.text;
        if (c.check == EDIT_VALUE) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(SetPoint, SendingEncodesByItem)
{
    using Bytes = std::vector<unsigned char>;
    struct SCase {
        uint16_t item;
        int32_t value;
        std::vector<SSetCommand> commands;
    } cases[] = {
        {kItemTracking, -200, {{kItemTracking, Bytes{0xFF, 0x38}}}},
        {kItemPositionH, 300, {{kItemPositionH, Bytes{0x01, 0x2C}}}},
        {kItemPositionV, -1, {{kItemPositionV, Bytes{0xFF, 0xFF}}}},
        {kItemColorTemp, -5, {{kItemColorSetting, Bytes{1}}, {kItemColorTemp, Bytes{0xFB}}}},
        {kItemBlackLevel, 63, {{kItemColorSetting, Bytes{1}}, {kItemBlackLevel, Bytes{63}}}},
        {kItemWhiteLevel, -63, {{kItemColorSetting, Bytes{1}}, {kItemWhiteLevel, Bytes{0xC1}}}},
        {kItemResolution, 0, {{kItemResolution, Bytes{0}}}},
        {kItemResolution, 32, {{kItemResolution, Bytes{32}}}},
        {kItemResolution, 33, {{kItemResolution, Bytes{128}}}},
        {kItemResolution, 37, {{kItemResolution, Bytes{132}}}},
        {kItemGamma, 0, {{kItemGamma, Bytes{2}}}},
        {kItemGamma, 1, {{kItemGamma, Bytes{0}}}},
        {kItemGamma, 2, {{kItemGamma, Bytes{1}}}},
        {kItemKeystone, -127, {{kItemKeystone, Bytes{0x81}}}},
        {kItemBrightness, 30, {{kItemBrightness, Bytes{30}}}},
    };
    for (const SCase& c : cases) {
        std::vector<SSetCommand> got = SetPointCommands(c.item, c.value);
        ASSERT_EQ(got.size(), c.commands.size()) << std::hex << c.item;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].wItem, c.commands[i].wItem) << std::hex << c.item;
            EXPECT_EQ(got[i].bytes, c.commands[i].bytes) << std::hex << c.item << " " << std::dec << c.value;
        }
    }
}

TEST(SetPoint, SubChoicesRefineTheItem)
{
    struct SCase {
        uint16_t item;
        std::vector<uint16_t> codes;
    } cases[] = {
        {kItemRed, {kItemRed, kItemGreen, kItemBlue}},
        {kItemPositionH, {kItemPositionH, kItemPositionV}},
        {kItemColorSetting, {kItemColorSetting, kItemColorTemp, kItemBlackLevel, kItemWhiteLevel}},
        {kItemVolume, {}},
    };
    for (const SCase& c : cases) {
        std::vector<SSubChoice> subs = SubChoices(c.item);
        ASSERT_EQ(subs.size(), c.codes.size());
        for (size_t i = 0; i < subs.size(); ++i)
            EXPECT_EQ(subs[i].wCode, c.codes[i]);
    }
    EXPECT_STREQ(SubChoices(kItemColorSetting)[2].szText, "Manual (Black Level)");
    EXPECT_EQ(SetPointOf(SubChoices(kItemColorSetting)[0].wCode).eInput, INPUT_NONE) << "Auto has nothing to send";
}

TEST(SettingFileDirectory, FromTheLastFileOrAChosenOne)
{
    // The ini's last file may also be a folder, as older copies kept it; a file the dialogs
    // return is a file whatever its name. A drive's root keeps its separator either way.
    using Rule = std::string (*)(const std::string&);
    const Rule last = SettingFileDirectory, chosen = FolderOfFile;
    struct SCase {
        Rule rule;
        const char* path;
        const char* directory;
    } cases[] = {
        {last, "", ""},
        {last, "D:\\Shows\\hall a.kst", "D:\\Shows"},
        {last, "D:\\Shows\\HALL.KST", "D:\\Shows"},
        {last, "C:\\one.kst", "C:\\"},
        {last, "/srv/shows/one.kst", "/srv/shows"},
        {last, "/one.kst", "/"},
        {last, "one.kst", ""},
        // Folders; a dot in a folder's name is no file.
        {last, "D:\\Shows", "D:\\Shows"},
        {last, "D:\\v1.kst\\room", "D:\\v1.kst\\room"},
        {last, "D:\\show.bak", "D:\\show.bak"},
        {chosen, "C:\\room.kst", "C:\\"},
        {chosen, "E:\\Shows\\room.txt", "E:\\Shows"},
        {chosen, "\\\\server\\share\\room.kst", "\\\\server\\share"},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(c.rule(c.path), c.directory) << c.path;
}

} // namespace
