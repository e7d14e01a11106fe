// A bounded fuzz run of the ini reading path: start-up's settings and the function settings'
// list and load, on seeded mutations of a full Kestrel4.ini. Every mutation must be read
// without a crash (the sanitizers watch) and without a walk as long as a damaged count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/key_layout.h"
#include "kestrel_ini.h"
#include "support_settings.h"
#include "test_profiles.h"

namespace {

const char kSeed[] =
    "[ConnectStatus]\r\nConnectMode=1\r\nPort=2\r\nCurrentDirectry=C:\\Rooms\\a.kst\r\n"
    "[Support_SectionName]\r\nSectionNum=3\r\nSectionName0=Support_Defaults\r\nSectionName1=Support_Talk\r\n"
    "SectionName2=Support_Temporary\r\n"
    "[Support_CurrentSection]\r\nSupport_Defaults=0\r\nSupport_Talk=1\r\nSupport_Temporary=0\r\n"
    "[Support_EffectKeys]\r\nEffect1=Ctrl + F1\r\nEffect2=Alt + Shift + Page Down\r\n"
    "[Support_Talk]\r\nEffect1=KEY\r\nE1KeyEffectVKeyArrayString0=Support_Talk_Struct10\r\n"
    "E1KeyEffectVKeyArrayString1=Support_Talk_Struct11\r\nE1KeyEffectKeyEventString0=Ctrl + A\r\n"
    "E1KeyEffectKeyEventString1=B\r\n"
    "Effect2=LINE\r\nE2LineEffectLineWidth=5\r\nE2LineEffectColor=255\r\n"
    "Effect3=BAR\r\nE3BarEffectLineWidth=4\r\nE3BarEffectClear=1\r\nE3BarEffectVertical=0\r\n"
    "Effect4=SPOT_LIGHT\r\nE4SpotLightEffectDiameter=100\r\n"
    "Effect5=STAMP\r\nE5StampEffectFileName=00.stp\r\n"
    "[Support_Talk_Struct10]\r\nVirtualKeyCodeSize=4\r\nVirtualKeyCode0=17\r\nVirtualKeyCode1=65\r\n"
    "VirtualKeyCode2=65\r\nVirtualKeyCode3=17\r\n"
    "[Support_Talk_Struct11]\r\nVirtualKeyCodeSize=2\r\nVirtualKeyCode0=66\r\nVirtualKeyCode1=66\r\n"
    "[Support_Temporary]\r\nEffect1=SQUARE\r\nE1SquareEffectLineWidth=3\r\nEffect2=SOUND\r\n";

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A number in a value replaced by an extreme, a line dropped, doubled or cut, bytes changed.
std::string Mutate(const std::string& seed, std::mt19937& random)
{
    static const char* const kExtremes[] = {"2000000000", "-2147483648", "4294967295", "0", "-1",
                                            "abc", "",           "0x7FFFFFFF", "99999999999999999999"};
    std::vector<std::string> lines = Lines(seed);
    for (int i = 0, n = 1 + random() % 6; i < n && !lines.empty(); ++i) {
        std::string& line = lines[random() % lines.size()];
        switch (random() % 5) {
        case 0: {
            size_t eq = line.find('=');
            if (eq != std::string::npos)
                line = line.substr(0, eq + 1) + kExtremes[random() % 9] + "\r";
            break;
        }
        case 1:
            line.clear();
            break;
        case 2:
            line = line.substr(0, random() % (line.size() + 1));
            break;
        case 3:
            lines.push_back(line);
            break;
        default:
            if (!line.empty())
                line[random() % line.size()] = static_cast<char>(random());
        }
    }
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

int UsScan(char c)
{
    return tapline::CUsKeyLayout().KeyScan(c);
}

TEST(IniFuzz, MutatedInisAreReadWithoutCrashOrHang)
{
    std::mt19937 random(20261208);
    SEffectContext context;
    context.strProgramFolder = "C:\\Kestrel\\";
    const std::string path = FreshIniPath();
    // Processor time: choosing an entry writes the ini, and a busy disk's waits are no hang.
    std::clock_t longest = 0;
    for (int round = 0; round < 400; ++round) {
        WriteText(path, Mutate(kSeed, random));
        std::clock_t start = std::clock();
        {
            CPortableProfile startUp(path);
            SKestrelSettings settings;
            LoadFileSettings(startUp, settings);
            ReadConnectMode(startUp);
        }
        CIniFile ini(path, [](const std::string& p) { return MakeProfile(PROFILE_PORTABLE, p); });
        CSupportSettings support(ini, context, UsScan, [](unsigned char) { return false; });
        support.Open();
        ASSERT_LE(support.GetNames().size(), 1000u) << "round " << round;
        for (int i = 0; i < static_cast<int>(support.GetNames().size()) && i < 2; ++i)
            support.ChooseEntry(i);
        longest = std::max(longest, std::clock() - start);
    }
    // A walk to a damaged count of two thousand million would take minutes, not this.
    EXPECT_LT(longest, 5 * CLOCKS_PER_SEC);
    std::remove(path.c_str());
}

} // namespace
