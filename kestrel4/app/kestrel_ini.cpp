#include "kestrel_ini.h"

#include <cstdio>

#include "network_port.h"
#include "port_names.h"
#include "text_case.h"

const char kIniFileName[] = "Kestrel4.ini";
const char kConnectSection[] = "ConnectStatus";
const char kEffectKeySection[] = "ExecuteEffectKey";
// Misspelled, but existing ini files carry this name, so it must stay.
const char kFileSection[] = "CurrentDirectry";
const char kSupportDefaults[] = "Support_Defaults";

namespace {
const char kPortKey[] = "Port";
// Port names the network port by this word, the address is under its own key; an older
// program reads the word as no port number and starts on COM1.
const char kNetworkPortValue[] = "Network";
const char kNetworkPortKey[] = "NetworkPort";
} // namespace

std::string GetIniPath(const std::string& modulePath)
{
    // Drive and folder are everything up to the last separator; a bare "C:name" keeps "C:".
    size_t cut = modulePath.find_last_of("\\/");
    std::string folder;
    if (cut != std::string::npos)
        folder = modulePath.substr(0, cut + 1);
    else if (modulePath.size() >= 2 && modulePath[1] == ':')
        folder = modulePath.substr(0, 2);
    std::string path = folder + kIniFileName;
    if (path.size() >= kIniMaxPath)
        return std::string();
    return path;
}

const SSettingEntry kFileSettings[5] = {
    {kFileSection, "SoundFile", SETTING_STRING, &SKestrelSettings::strSoundFile, nullptr, 0},
    {kFileSection, "ControlFile", SETTING_STRING, &SKestrelSettings::strControlFile, nullptr, 0},
    {kFileSection, "PatternFile", SETTING_STRING, &SKestrelSettings::strPatternFile, nullptr, 0},
    {kFileSection, "UserlogoFile", SETTING_STRING, &SKestrelSettings::strLogoFile, nullptr, 0},
    {kFileSection, "CursorStampFile", SETTING_STRING, &SKestrelSettings::strCursorStampFile, nullptr, 0},
};

const SSettingEntry kConnectSettings[1] = {
    {kConnectSection, "ConnectMode", SETTING_INT, nullptr, &SKestrelSettings::nConnectMode, 1},
};

const SSettingEntry kEffectMonitorSettings[1] = {
    {kEffectKeySection, "EffectMonitor", SETTING_INT, nullptr, &SKestrelSettings::nEffectMonitor, 0},
};

void ReadSettings(IProfileFile& ini, const SSettingEntry* table, size_t count, SKestrelSettings& settings)
{
    for (size_t i = 0; i < count; ++i) {
        const SSettingEntry& e = table[i];
        if (e.type == SETTING_STRING)
            settings.*e.pString = ini.GetString(e.pszSection, e.pszKey, "", kIniMaxPath);
        else
            settings.*e.pInt = ini.GetInt(e.pszSection, e.pszKey, e.nFallback);
    }
}

bool WriteSettings(IProfileFile& ini, const SSettingEntry* table, size_t count, const SKestrelSettings& settings)
{
    bool ok = true;
    for (size_t i = 0; i < count; ++i) {
        const SSettingEntry& e = table[i];
        if (e.type == SETTING_STRING) {
            ok = ini.WriteString(e.pszSection, e.pszKey, (settings.*e.pString).c_str()) && ok;
        } else {
            char text[16];
            std::snprintf(text, sizeof text, "%d", settings.*e.pInt);
            ok = ini.WriteString(e.pszSection, e.pszKey, text) && ok;
        }
    }
    return ok;
}

const SIniDefault kSupportSeed[19] = {
    {"Support_SectionName", "SectionNum", "1"},
    {"Support_SectionName", "SectionName0", "Support_Defaults"},
    {"Support_CurrentSection", "Support_Defaults", "1"},
    {kSupportDefaults, "Effect1", "CUSTOM_CURSOR"},
    {kSupportDefaults, "E1CustomCursorEffectFileName", "00.crs"},
    {kSupportDefaults, "Effect2", "STAMP"},
    {kSupportDefaults, "E2StampEffectFileName", "00.stp"},
    {kSupportDefaults, "Effect3", "BAR"},
    {kSupportDefaults, "E3BarEffectColor", "65535"},
    {kSupportDefaults, "E3BarEffectLineWidth", "4"},
    {kSupportDefaults, "E3BarEffectClear", "1"},
    {kSupportDefaults, "E3BarEffectVertical", "0"},
    {kSupportDefaults, "Effect4", "RECT"},
    {kSupportDefaults, "E4RectEffectColor", "65280"},
    {kSupportDefaults, "E4RectEffectLineWidth", "10"},
    {kSupportDefaults, "E4RectEffectClear", "1"},
    {kSupportDefaults, "E4RectEffectFill", "1"},
    {kSupportDefaults, "E4RectEffectTrack", "1"},
    {kSupportDefaults, "Effect5", "CLEAR_SCREEN"},
};

namespace {

const SIniDefault kEffectKeyDefaults[] = {
    {kEffectKeySection, "Effect1", ""}, {kEffectKeySection, "Effect2", ""}, {kEffectKeySection, "Effect3", ""},
    {kEffectKeySection, "Effect4", ""}, {kEffectKeySection, "Effect5", ""},
};

// CursorStampFile has no default: a missing key reads as empty anyway.
const SIniDefault kFileDefaults[] = {
    {kFileSection, "SoundFile", ""},
    {kFileSection, "ControlFile", ""},
    {kFileSection, "PatternFile", ""},
    {kFileSection, "UserlogoFile", ""},
};

bool IsMissing(IProfileFile& ini, const char* section, const char* key, const char* marker)
{
    return ini.GetString(section, key, marker) == marker;
}

// A group is written when its first key is missing. Keys of the group that a damaged file
// still holds keep their values: a lost first shortcut must not take the other four with it.
template <size_t N>
void FillGroup(IProfileFile& ini, const SIniDefault (&group)[N], const char* marker)
{
    if (!IsMissing(ini, group[0].pszSection, group[0].pszKey, marker))
        return;
    for (const SIniDefault& d : group)
        if (&d == &group[0] || IsMissing(ini, d.pszSection, d.pszKey, marker))
            ini.WriteString(d.pszSection, d.pszKey, d.pszValue);
}

} // namespace

void EnsureIniDefaults(IProfileFile& ini)
{
    if (IsMissing(ini, kConnectSection, "ConnectMode", "NOTHING"))
        ini.WriteString(kConnectSection, "ConnectMode", "0");
    FillGroup(ini, kEffectKeyDefaults, "NOTHING");
    FillGroup(ini, kFileDefaults, "NOTHING");
    // Same rule as the groups above: a registered list of named settings survives a lost Effect1.
    if (IsMissing(ini, kSupportDefaults, "Effect1", "FIRST")) {
        for (const SIniDefault& d : kSupportSeed)
            if (IsMissing(ini, d.pszSection, d.pszKey, "FIRST"))
                ini.WriteString(d.pszSection, d.pszKey, d.pszValue);
    }
}

void LoadFileSettings(IProfileFile& ini, SKestrelSettings& settings)
{
    ReadSettings(ini, kFileSettings, 5, settings);
}

bool SaveFileSettings(IProfileFile& ini, const SKestrelSettings& settings)
{
    return WriteSettings(ini, kFileSettings, 5, settings);
}

int ReadConnectMode(IProfileFile& ini)
{
    SKestrelSettings settings;
    ReadSettings(ini, kConnectSettings, 1, settings);
    return settings.nConnectMode;
}

int ReadEffectMonitor(IProfileFile& ini)
{
    SKestrelSettings settings;
    ReadSettings(ini, kEffectMonitorSettings, 1, settings);
    return settings.nEffectMonitor == 1 ? 1 : 0;
}

bool WriteEffectMonitor(IProfileFile& ini, int choice)
{
    SKestrelSettings settings;
    settings.nEffectMonitor = choice;
    return WriteSettings(ini, kEffectMonitorSettings, 1, settings);
}

int ToggleConnectMode(IProfileFile& ini, int current)
{
    SKestrelSettings settings;
    settings.nConnectMode = current == 1 ? 0 : 1;
    WriteSettings(ini, kConnectSettings, 1, settings);
    return settings.nConnectMode;
}

SKeptPort ReadKeptPort(IProfileFile& ini)
{
    SKeptPort kept;
    std::string address;
    if (ParseNetworkAddress(ini.GetString(kConnectSection, kNetworkPortKey, ""), address) == ENetworkAddress::Ok)
        kept.strNetworkAddress = address;
    std::string port = ini.GetString(kConnectSection, kPortKey, "");
    if (EqualNoCase(port, kNetworkPortValue)) {
        // A damaged address leaves COM1 first, and the start-up search tries every serial port.
        if (!kept.strNetworkAddress.empty())
            kept.nPort = kNetworkPort;
        return kept;
    }
    int number = ini.GetInt(kConnectSection, kPortKey, 1);
    if (number >= 1 && number <= static_cast<int>(kMaxComPort))
        kept.nPort = static_cast<unsigned int>(number);
    return kept;
}

bool WriteKeptPort(IProfileFile& ini, unsigned int port, const std::string& networkAddress)
{
    if (port == kNetworkPort) {
        // The address first: a Port naming the network without one would read as damaged.
        return ini.WriteString(kConnectSection, kNetworkPortKey, networkAddress.c_str()) &&
               ini.WriteString(kConnectSection, kPortKey, kNetworkPortValue);
    }
    char text[16];
    std::snprintf(text, sizeof text, "%u", port);
    return ini.WriteString(kConnectSection, kPortKey, text);
}
