// CSupportSettings: the state of the Presentation Support screen that needs no window: the
// five slots and the test slot, the type chosen per slot, the five shortcuts, and the list
// of function settings with the operations that keep "Kestrel4.ini" in step with them.
// Each operation that changes the ini is one update of CIniFile: the file holds either the
// state before it or the state after it.
#pragma once
#include "effects.h"
#include "ini_transaction.h"
#include "key_texts.h"
#include "setting_names.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

const int kSlotCount = 5;
const int kTestSlot = 5; // index of the slot the pages' Test buttons use

class CSupportSettings {
public:
    // isLeadByte: the code page the typed setting names come in, for trimming them.
    CSupportSettings(CIniFile& ini, SEffectContext context, KeyScanner scan, LeadByteTest isLeadByte);

    // Builds the name list, loads the current function setting and reads the shortcuts.
    void Open();
    // handler(outgoing) is told of every slot definition (1..5) about to be replaced or
    // dropped, while it still exists: whatever refers to it lets go.
    void OnSlotReplacing(std::function<void(const CEffect& outgoing)> handler) { m_OnReplacing = std::move(handler); }

    // Slots by index 0..5; null when empty.
    const CEffect* GetSlot(int index) const;
    CEffect* GetSlot(int index);
    void SetTestEffect(std::unique_ptr<CEffect> effect);
    int GetChosenType(int slot) const { return m_nChosenType[slot]; }
    // Gives slot a fresh definition of type; false when it has that type already.
    bool ChooseType(int slot, int type);
    // A fresh definition of the slot's chosen type (none while no type is chosen).
    void ResetSlot(int index);
    // Item deleted of the library before (stamps for EFFECT_STAMP, cursors for
    // EFFECT_CUSTOM_CURSOR) is gone and the later files renamed one down: every slot of
    // that type, the test slot included, follows its picture to the new name; a slot that
    // used the deleted item takes the one now in its place. The settings stored in the ini
    // follow alike. True when a slot changed.
    bool RenumberItems(int type, const std::vector<std::string>& before, size_t deleted);

    // The "Entry Name:" list, top to bottom, and the entry selected in it (-1 none).
    const std::vector<std::string>& GetNames() const { return m_Names; }
    int GetSelected() const { return m_nSelected; }
    bool CanDelete() const;
    int GetSectionCount() const { return m_nSectionNum; }

    // Stores the working slots as "Present Setting" and selects it.
    bool SaveAsPresentSetting();
    // Takes a named setting (or "Present Setting") from the list.
    bool ChooseEntry(int index);

    // Failed operations leave the working state as the file has it.
    enum ERegisterResult {
        REGISTER_EMPTY,
        REGISTER_REFUSED_CHAR, // ';', '=', '[' or ']' in the name
        REGISTER_RESERVED,
        REGISTER_DECLINED,
        REGISTER_DONE,
        REGISTER_FAILED
    };
    // confirmOverwrite(name) is asked when the name is in the list already (names match
    // without regard to ASCII case, as the ini's section names do).
    ERegisterResult Register(const std::string& typedName,
                             const std::function<bool(const std::string&)>& confirmOverwrite);
    // Deletes the named setting of list entry index; the fixed two cannot be deleted.
    bool DeleteEntry(int index);

    const std::string& GetShortcutText(int slot) const { return m_strShortcut[slot]; }
    const KeyCodeArray& GetShortcut(int slot) const { return m_Shortcut[slot]; }
    enum EShortcutResult { SHORTCUT_SET, SHORTCUT_DUPLICATE, SHORTCUT_FAILED };
    // Nothing changes when another slot has the same non-empty text or the write fails.
    EShortcutResult SetShortcut(int slot, const std::string& text);

    // The ini steps, each on the profile given (the update's copy).
    // The setting list's length: the entries the ini holds, whatever its count says.
    static int CountSettingNames(IProfileFile& ini);
    void LoadSetting(IProfileFile& ini, const std::string& section);
    void SaveSetting(IProfileFile& ini, const std::string& section) const;
    void AppendSettingName(IProfileFile& ini, const std::string& section);
    void MarkCurrentSetting(IProfileFile& ini, const std::string& section) const;
    void DeleteSetting(IProfileFile& ini, const std::string& section);

private:
    int FindName(const std::string& display) const;
    void ReplaceSlot(int index, std::unique_ptr<CEffect> effect);
    void RemovePresentSetting(IProfileFile& ini);
    // Runs change as one update; when it fails, everything is read back from the file.
    bool Update(const std::function<void(IProfileFile&)>& change);
    // The slots, list and shortcuts afresh from the file, as at the first Open.
    void Reload();

    CIniFile& m_Ini;
    SEffectContext m_Context;
    KeyScanner m_Scan;
    LeadByteTest m_IsLeadByte;
    std::unique_ptr<CEffect> m_pSlots[kSlotCount + 1];
    int m_nChosenType[kSlotCount];
    std::string m_strShortcut[kSlotCount];
    KeyCodeArray m_Shortcut[kSlotCount];
    std::vector<std::string> m_Names;
    int m_nSelected = -1;
    int m_nSectionNum = 1;
    std::function<void(const CEffect&)> m_OnReplacing;
};
