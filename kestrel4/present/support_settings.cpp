#include "support_settings.h"
#include "effect_ini.h"
#include "item_library.h"
#include "setting_names.h"
#include "text_case.h"

#include <algorithm>

namespace {

const unsigned int kValueBuffer = 512;
const unsigned int kShortcutBuffer = 260;

std::string Indexed(const char* name, int i)
{
    return name + std::to_string(i);
}

} // namespace

CSupportSettings::CSupportSettings(CIniFile& ini, SEffectContext context, KeyScanner scan, LeadByteTest isLeadByte)
    : m_Ini(ini), m_Context(std::move(context)), m_Scan(std::move(scan)), m_IsLeadByte(std::move(isLeadByte))
{
    std::fill(std::begin(m_nChosenType), std::end(m_nChosenType), kNoEffectType);
}

const CEffect* CSupportSettings::GetSlot(int index) const
{
    return m_pSlots[index].get();
}
CEffect* CSupportSettings::GetSlot(int index)
{
    return m_pSlots[index].get();
}

void CSupportSettings::SetTestEffect(std::unique_ptr<CEffect> effect)
{
    m_pSlots[kTestSlot] = std::move(effect);
}

void CSupportSettings::ReplaceSlot(int index, std::unique_ptr<CEffect> effect)
{
    if (index < kSlotCount && m_pSlots[index] && m_OnReplacing)
        m_OnReplacing(*m_pSlots[index]);
    m_pSlots[index] = std::move(effect);
}

void CSupportSettings::ResetSlot(int index)
{
    ReplaceSlot(index, index < kSlotCount ? CreateEffect(m_nChosenType[index], m_Context) : nullptr);
}

bool CSupportSettings::RenumberItems(int type, const std::vector<std::string>& before, size_t deleted)
{
    bool changed = false;
    for (auto& slot : m_pSlots) {
        if (!slot || slot->GetType() != type || (type != EFFECT_STAMP && type != EFFECT_CUSTOM_CURSOR))
            continue;
        CPictureEffect& picture = static_cast<CPictureEffect&>(*slot);
        std::string name = NameAfterDelete(before, deleted, picture.GetItemName());
        if (name.empty() || name == picture.GetItemName())
            continue;
        picture.SetItemName(name);
        changed = true;
    }
    // Registered settings name their pictures by file as well: they follow the same way, or
    // choosing one later would show another picture than the one registered.
    Update([&](IProfileFile& ini) {
        for (const std::string& display : m_Names)
            RenameStoredItems(ini, SectionOf(display), type, [&](const std::string& stored) {
                return NameAfterDelete(before, deleted, stored);
            });
    });
    return changed;
}

bool CSupportSettings::ChooseType(int slot, int type)
{
    if (m_nChosenType[slot] == type && m_pSlots[slot])
        return false;
    m_nChosenType[slot] = type;
    ResetSlot(slot);
    return true;
}

bool CSupportSettings::CanDelete() const
{
    if (m_nSelected < 0)
        return false;
    const std::string& name = m_Names[static_cast<size_t>(m_nSelected)];
    return name != kInitialSettingName && name != kPresentSettingName;
}

int CSupportSettings::FindName(const std::string& display) const
{
    // "Foo" and "foo" are one section of the ini.
    auto it = std::find_if(m_Names.begin(), m_Names.end(),
                           [&](const std::string& name) { return EqualNoCase(name, display); });
    return it == m_Names.end() ? -1 : static_cast<int>(it - m_Names.begin());
}

bool CSupportSettings::Update(const std::function<void(IProfileFile&)>& change)
{
    bool ok = m_Ini.Update([&](IProfileFile& ini) {
        change(ini);
        return true;
    });
    // The change has been made in memory as it went: what the file kept is the truth.
    if (!ok)
        Reload();
    return ok;
}

int CSupportSettings::CountSettingNames(IProfileFile& ini)
{
    // Far more than anyone registers; a damaged count is never walked to its end.
    const int kMaxSettingNames = 1000;
    const int stated = ini.GetInt(kSectionNameSection, "SectionNum", 1);
    const bool damaged = stated < 1 || stated > kMaxSettingNames;
    // The entries that are there: a count beyond them would show settings that do not exist,
    // one below them (when damaged) would let the next registration overwrite one.
    int count = 0;
    for (int i = 0; i < (damaged ? kMaxSettingNames : stated); ++i)
        if (ini.GetString(kSectionNameSection, Indexed("SectionName", i).c_str(), kNothingToken, kValueBuffer) !=
            kNothingToken)
            count = i + 1;
    // A fresh ini has no entries and counts the initial setting, read by default.
    return count < 1 ? 1 : count;
}

void CSupportSettings::Reload()
{
    for (int n = 0; n < kSlotCount; ++n) {
        ReplaceSlot(n, nullptr);
        m_nChosenType[n] = kNoEffectType;
    }
    Open();
}

void CSupportSettings::Open()
{
    IProfileFile& ini = m_Ini.Read();
    m_nSectionNum = CountSettingNames(ini);
    std::vector<std::string> sections;
    for (int i = 0; i < m_nSectionNum; ++i)
        sections.push_back(
            ini.GetString(kSectionNameSection, Indexed("SectionName", i).c_str(), kDefaultsSection, kValueBuffer));
    // Newest registration at the top.
    m_Names.clear();
    for (auto it = sections.rbegin(); it != sections.rend(); ++it)
        m_Names.push_back(DisplayNameOf(*it));

    m_nSelected = -1;
    for (const std::string& section : sections)
        if (ini.GetString(kCurrentSection, section.c_str(), "0", kValueBuffer) == "1") {
            m_nSelected = FindName(DisplayNameOf(section));
            LoadSetting(ini, section);
            break;
        }

    for (int n = 0; n < kSlotCount; ++n) {
        std::string text = ini.GetString(kEffectKeysSection, Indexed("Effect", n + 1).c_str(), "", kShortcutBuffer);
        m_strShortcut[n] = RestoreShortcutText(text);
        m_Shortcut[n] = ParseShortcutText(m_strShortcut[n], m_Scan);
    }
}

void CSupportSettings::LoadSetting(IProfileFile& ini, const std::string& section)
{
    for (int n = 0; n < kSlotCount; ++n) {
        std::unique_ptr<CEffect> effect = LoadSlotEffect(ini, section, n + 1, m_Context);
        if (!effect)
            continue;
        m_nChosenType[n] = effect->GetType();
        ReplaceSlot(n, std::move(effect));
    }
}

void CSupportSettings::SaveSetting(IProfileFile& ini, const std::string& section) const
{
    for (int n = 0; n < kSlotCount; ++n)
        SaveSlotEffect(ini, section, n + 1, m_pSlots[n].get());
}

void CSupportSettings::AppendSettingName(IProfileFile& ini, const std::string& section)
{
    // Entries the list reads by default (a fresh ini has none) are written out first, or
    // a later compaction would not see them and the new entry would take their place.
    for (int i = 0; i < m_nSectionNum; ++i) {
        std::string key = Indexed("SectionName", i);
        if (ini.GetString(kSectionNameSection, key.c_str(), kNothingToken, kValueBuffer) == kNothingToken)
            ini.WriteString(kSectionNameSection, key.c_str(), kDefaultsSection);
    }
    ++m_nSectionNum;
    ini.WriteString(kSectionNameSection, "SectionNum", std::to_string(m_nSectionNum).c_str());
    ini.WriteString(kSectionNameSection, Indexed("SectionName", m_nSectionNum - 1).c_str(), section.c_str());
}

void CSupportSettings::MarkCurrentSetting(IProfileFile& ini, const std::string& section) const
{
    for (int i = 0; i < m_nSectionNum; ++i) {
        std::string name =
            ini.GetString(kSectionNameSection, Indexed("SectionName", i).c_str(), kDefaultsSection, kValueBuffer);
        ini.WriteString(kCurrentSection, name.c_str(), "0");
    }
    ini.WriteString(kCurrentSection, section.c_str(), "1");
}

void CSupportSettings::DeleteSetting(IProfileFile& ini, const std::string& section)
{
    for (int n = 1; n <= kSlotCount; ++n) {
        if (ini.GetString(section.c_str(), Indexed("Effect", n).c_str(), kNothingToken, kValueBuffer) != "KEY")
            continue;
        // The names come from the ini's text: only the setting's own sub-sections go, never
        // a section a damaged or edited value happens to name.
        for (const std::string& sub : ReadKeyEventSections(ini, section, n))
            if (IsKeyEventSectionOf(sub, section, n))
                ini.DeleteSection(sub.c_str());
    }
    ini.DeleteSection(section.c_str());

    int before = m_nSectionNum;
    int removed = 0;
    for (int k = 0; k < before; ++k) {
        std::string key = Indexed("SectionName", k);
        if (ini.GetString(kSectionNameSection, key.c_str(), kNothingToken, kValueBuffer) == section) {
            ini.DeleteKey(kSectionNameSection, key.c_str());
            ++removed;
        }
    }
    ini.DeleteKey(kCurrentSection, section.c_str());
    // Only entries really removed leave the count: a section missing from the list must not
    // take another one's place.
    m_nSectionNum = before - removed;
    ini.WriteString(kSectionNameSection, "SectionNum", std::to_string(m_nSectionNum).c_str());

    // Close the gap; a damaged list (entries missing) ends at the old length.
    int placed = 0;
    for (int k = 0; k < before && placed < m_nSectionNum; ++k) {
        std::string key = Indexed("SectionName", k);
        std::string value = ini.GetString(kSectionNameSection, key.c_str(), kNothingToken, kValueBuffer);
        if (value == kNothingToken)
            continue;
        if (k != placed) {
            ini.WriteString(kSectionNameSection, Indexed("SectionName", placed).c_str(), value.c_str());
            ini.DeleteKey(kSectionNameSection, key.c_str());
        }
        ++placed;
    }
}

void CSupportSettings::RemovePresentSetting(IProfileFile& ini)
{
    int at = FindName(kPresentSettingName);
    if (at < 0)
        return;
    DeleteSetting(ini, kTemporarySection);
    m_Names.erase(m_Names.begin() + at);
    if (m_nSelected > at)
        --m_nSelected;
    else if (m_nSelected == at)
        m_nSelected = -1;
}

bool CSupportSettings::SaveAsPresentSetting()
{
    return Update([&](IProfileFile& ini) {
        int at = FindName(kPresentSettingName);
        if (at >= 0) {
            DeleteSetting(ini, kTemporarySection);
            m_Names.erase(m_Names.begin() + at);
        }
        // The newest registration stands at the top, as when the list is built again.
        m_Names.insert(m_Names.begin(), kPresentSettingName);
        m_nSelected = 0;
        AppendSettingName(ini, kTemporarySection);
        SaveSetting(ini, kTemporarySection);
        MarkCurrentSetting(ini, kTemporarySection);
    });
}

bool CSupportSettings::ChooseEntry(int index)
{
    if (index < 0 || index >= static_cast<int>(m_Names.size()))
        return false;
    std::string name = m_Names[static_cast<size_t>(index)];
    m_nSelected = index;
    if (name == kPresentSettingName)
        return true;
    std::string section = SectionOf(name);
    // A slot the chosen setting leaves empty is empty: the previous effect, and its shortcut,
    // must not stay behind it.
    for (int n = 0; n < kSlotCount; ++n) {
        ReplaceSlot(n, nullptr);
        m_nChosenType[n] = kNoEffectType;
    }
    LoadSetting(m_Ini.Read(), section);
    return Update([&](IProfileFile& ini) {
        MarkCurrentSetting(ini, section);
        RemovePresentSetting(ini);
        m_nSelected = FindName(name);
    });
}

CSupportSettings::ERegisterResult
CSupportSettings::Register(const std::string& typedName,
                           const std::function<bool(const std::string&)>& confirmOverwrite)
{
    std::string name = TrimSettingName(typedName, m_IsLeadByte);
    if (name.empty())
        return REGISTER_EMPTY;
    if (IsReservedSettingName(name))
        return REGISTER_RESERVED;
    if (HasRefusedNameChar(name))
        return REGISTER_REFUSED_CHAR;
    int existing = FindName(name);
    if (existing >= 0 && !confirmOverwrite(name))
        return REGISTER_DECLINED;
    std::string section = SectionOf(name);
    bool ok = Update([&](IProfileFile& ini) {
        if (existing >= 0) {
            // The entry as listed: its section is the same one whatever the case.
            DeleteSetting(ini, SectionOf(m_Names[static_cast<size_t>(existing)]));
            m_Names.erase(m_Names.begin() + existing);
        }
        m_Names.insert(m_Names.begin(), name);
        AppendSettingName(ini, section);
        SaveSetting(ini, section);
        MarkCurrentSetting(ini, section);
        RemovePresentSetting(ini);
        m_nSelected = FindName(name);
    });
    return ok ? REGISTER_DONE : REGISTER_FAILED;
}

bool CSupportSettings::DeleteEntry(int index)
{
    if (index < 0 || index >= static_cast<int>(m_Names.size()))
        return false;
    std::string name = m_Names[static_cast<size_t>(index)];
    if (name == kPresentSettingName || name == kInitialSettingName)
        return false;
    bool ok = Update([&](IProfileFile& ini) {
        DeleteSetting(ini, SectionOf(name));
        MarkCurrentSetting(ini, kDefaultsSection);
    });
    if (ok)
        Open();
    return ok;
}

CSupportSettings::EShortcutResult CSupportSettings::SetShortcut(int slot, const std::string& text)
{
    for (int n = 0; n < kSlotCount; ++n)
        if (n != slot && !text.empty() && m_strShortcut[n] == text)
            return SHORTCUT_DUPLICATE;
    bool written = m_Ini.Update([&](IProfileFile& ini) {
        for (int n = 0; n < kSlotCount; ++n) {
            const std::string& value = n == slot ? text : m_strShortcut[n];
            ini.WriteString(kEffectKeysSection, Indexed("Effect", n + 1).c_str(), value.c_str());
        }
        return true;
    });
    if (!written)
        return SHORTCUT_FAILED;
    m_strShortcut[slot] = text;
    m_Shortcut[slot] = ParseShortcutText(text, m_Scan);
    return SHORTCUT_SET;
}
