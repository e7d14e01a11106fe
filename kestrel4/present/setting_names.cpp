#include "setting_names.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "text_case.h"

const char kSectionPrefix[] = "Support_";
const char kDefaultsSection[] = "Support_Defaults";
const char kTemporarySection[] = "Support_Temporary";
const char kSectionNameSection[] = "Support_SectionName";
const char kCurrentSection[] = "Support_CurrentSection";
const char kEffectKeysSection[] = "ExecuteEffectKey";
const char kInitialSettingName[] = "Initial Setting";
const char kPresentSettingName[] = "Present Setting";

std::string DisplayNameOf(const std::string& section)
{
    if (section == kDefaultsSection)
        return kInitialSettingName;
    if (section == kTemporarySection)
        return kPresentSettingName;
    size_t prefix = std::strlen(kSectionPrefix);
    return section.size() > prefix ? section.substr(prefix) : std::string();
}

std::string SectionOf(const std::string& displayName)
{
    if (displayName == kInitialSettingName)
        return kDefaultsSection;
    if (displayName == kPresentSettingName)
        return kTemporarySection;
    return kSectionPrefix + displayName;
}

bool IsRefusedNameChar(char c)
{
    return c == ';' || c == '=' || c == '[' || c == ']';
}

bool HasRefusedNameChar(const std::string& name)
{
    return std::any_of(name.begin(), name.end(), IsRefusedNameChar);
}

std::string WithoutRefusedNameChars(const std::string& name, bool* removed)
{
    std::string kept;
    std::copy_if(name.begin(), name.end(), std::back_inserter(kept), [](char c) { return !IsRefusedNameChar(c); });
    if (removed)
        *removed = kept.size() != name.size();
    return kept;
}

std::string TrimSettingName(const std::string& name, const LeadByteTest& isLeadByte)
{
    // Split into characters first: a double-byte blank is one character of two bytes.
    std::vector<std::string> chars;
    for (size_t i = 0; i < name.size();) {
        size_t n = isLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size() ? 2 : 1;
        chars.push_back(name.substr(i, n));
        i += n;
    }
    auto blank = [](const std::string& c) { return c == " " || c == "\x81\x40"; };
    size_t b = 0, e = chars.size();
    while (b < e && blank(chars[b]))
        ++b;
    while (e > b && blank(chars[e - 1]))
        --e;
    std::string out;
    for (size_t i = b; i < e; ++i)
        out += chars[i];
    return out;
}

bool IsReservedSettingName(const std::string& name)
{
    const std::string lower = LowerCase(name);
    const char* reserved[] = {"defaults",       "temporary",       "sectionname",
                              "currentsection", "initial setting", "present setting"};
    for (const char* r : reserved)
        if (lower == r)
            return true;
    // Profile sections ignore case, so "x_struct10" would be the sub-section of "X" too.
    const std::string suffix = "_struct";
    size_t digits = lower.find_last_not_of("0123456789") + 1;
    return digits < lower.size() && digits >= suffix.size() &&
           lower.compare(digits - suffix.size(), suffix.size(), suffix) == 0;
}
