// Names of function settings: their sections, how the list shows them, and what the
// registering dialog lets through.
#pragma once
#include <functional>
#include <string>

extern const char kSectionPrefix[];      // "Support_"
extern const char kDefaultsSection[];    // "Support_Defaults"
extern const char kTemporarySection[];   // "Support_Temporary"
extern const char kSectionNameSection[]; // "Support_SectionName"
extern const char kCurrentSection[];     // "Support_CurrentSection"
extern const char kEffectKeysSection[];  // "ExecuteEffectKey"
extern const char kInitialSettingName[]; // "Initial Setting", string 107
extern const char kPresentSettingName[]; // "Present Setting", string 108
const size_t kMaxSettingName = 20;

// "Initial Setting", "Present Setting" or the name after "Support_".
std::string DisplayNameOf(const std::string& section);
// The section a list entry stands for.
std::string SectionOf(const std::string& displayName);

// ';', '=', '[' and ']' would break the section and key lines of the ini.
bool IsRefusedNameChar(char c);
bool HasRefusedNameChar(const std::string& name);
// The name without its refused characters, and whether any went.
std::string WithoutRefusedNameChars(const std::string& name, bool* removed = nullptr);
// Whether a byte opens a double-byte character in the system's code page.
typedef std::function<bool(unsigned char)> LeadByteTest;
// Leading and trailing blanks cut: single-byte spaces and double-byte ones (0x81 0x40, when
// 0x81 is a lead byte). A lead byte takes the byte after it as its trail, which may be a
// space or look like a lead byte itself; neither is cut or split.
std::string TrimSettingName(const std::string& name, const LeadByteTest& isLeadByte);
// Names that would take a section of the program's own or a fixed entry of the list, or
// one of the sub-sections a Key effect's events are kept in ("<section>_Struct<slot><event>").
bool IsReservedSettingName(const std::string& name);
