// "Kestrel4.ini": where it lives, the defaults written at start-up, and the settings the
// application core reads and writes, described as tables walked by one reader and one writer.
#pragma once
#include "profile_file.h"
#include <cstddef>
#include <string>

extern const char kIniFileName[];      // "Kestrel4.ini"
extern const char kConnectSection[];   // "ConnectStatus"
extern const char kEffectKeySection[]; // "ExecuteEffectKey"
extern const char kFileSection[];      // "CurrentDirectry"
extern const char kSupportDefaults[];  // "Support_Defaults"
const unsigned int kIniMaxPath = 260;

// The drive and folder of the program file followed by "Kestrel4.ini"; empty when that does
// not fit in kIniMaxPath characters, so that no other file is used by mistake.
std::string GetIniPath(const std::string& modulePath);

struct SKestrelSettings {
    int nConnectMode = 1;     // 1 = start without opening a port
    int nEffectMonitor = 0;   // effects run on 0 = the monitor under the pointer, 1 = the primary one
    std::string strSoundFile; // last files used, by the screens that own them
    std::string strControlFile;
    std::string strPatternFile;
    std::string strLogoFile;
    std::string strCursorStampFile;
};

enum ESettingType { SETTING_STRING, SETTING_INT };

struct SSettingEntry {
    const char* pszSection;
    const char* pszKey;
    ESettingType type;
    std::string SKestrelSettings::*pString; // SETTING_STRING
    int SKestrelSettings::*pInt;            // SETTING_INT
    int nFallback;                          // SETTING_INT; strings fall back to ""
};

extern const SSettingEntry kFileSettings[5];
extern const SSettingEntry kConnectSettings[1];
extern const SSettingEntry kEffectMonitorSettings[1]; // "EffectMonitor" in "ExecuteEffectKey"

void ReadSettings(IProfileFile& ini, const SSettingEntry* table, size_t count, SKestrelSettings& settings);
bool WriteSettings(IProfileFile& ini, const SSettingEntry* table, size_t count, const SKestrelSettings& settings);

struct SIniDefault {
    const char* pszSection;
    const char* pszKey;
    const char* pszValue;
};
// The presentation-support sections of a first start, in the order they are written.
extern const SIniDefault kSupportSeed[19];

// Writes what a missing ini lacks; see the definition for the four presence checks.
void EnsureIniDefaults(IProfileFile& ini);
void LoadFileSettings(IProfileFile& ini, SKestrelSettings& settings);
bool SaveFileSettings(IProfileFile& ini, const SKestrelSettings& settings);
// ConnectMode as read at start-up: 1 when it cannot be read.
int ReadConnectMode(IProfileFile& ini);
// The menu's toggle: 1 becomes 0, anything else 1; the new value is written at once.
int ToggleConnectMode(IProfileFile& ini, int current);
// [ConnectStatus] Port: the port that connected last, tried first at start-up. A COM port by
// its number; the network port as "Network" with its address in NetworkPort=HOST:PORT.
struct SKeptPort {
    // 1 when Port is missing, names no COM port, or names the network without a sound address.
    unsigned int nPort = 1;
    // The NetworkPort address when it is sound, whichever port is kept; else empty.
    std::string strNetworkAddress;
};
SKeptPort ReadKeptPort(IProfileFile& ini);
// A COM port leaves NetworkPort as it is, to be offered again in the network port dialog.
bool WriteKeptPort(IProfileFile& ini, unsigned int port, const std::string& networkAddress);
// Which monitor effects run on: 0 (the one under the pointer) when missing or unreadable.
int ReadEffectMonitor(IProfileFile& ini);
bool WriteEffectMonitor(IProfileFile& ini, int choice);
