// One slot's definition in a setting section of "Kestrel4.ini": the "Effect%d" token and
// the "E%d..." keys of its type, and the "_Struct" sub-sections of a Key effect's events.
#pragma once
#include "effects.h"
#include "profile_file.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Writes slot (1..5) of section; an empty slot writes "NOTHING" only. Keys of other types
// are left as they are.
void SaveSlotEffect(IProfileFile& ini, const std::string& section, int slot, const CEffect* effect);

// The definition stored for slot, made fresh with the creation defaults and then given the
// stored values. Null for "NOTHING", a missing key or an unknown token: the slot keeps
// what it held.
std::unique_ptr<CEffect> LoadSlotEffect(IProfileFile& ini, const std::string& section, int slot,
                                        const SEffectContext& context);

// Gives the stored picture item of every Stamp (EFFECT_STAMP) or Cursor change
// (EFFECT_CUSTOM_CURSOR) slot of section the name rename returns for it; an empty name, or a
// slot that names no item and so takes the default one, is left as it is.
void RenameStoredItems(IProfileFile& ini, const std::string& section, int type,
                       const std::function<std::string(const std::string&)>& rename);

// "Support_Temporary_Struct20" for slot 2, event 0.
std::string KeyEventSectionName(const std::string& section, int slot, int event);
// name is one of slot's own sub-sections of section: KeyEventSectionName for some event.
bool IsKeyEventSectionOf(const std::string& name, const std::string& section, int slot);
// The sub-section names a Key effect of slot refers to, in event order.
std::vector<std::string> ReadKeyEventSections(IProfileFile& ini, const std::string& section, int slot);
KeyCodeArray ReadKeyCodeArray(IProfileFile& ini, const std::string& subSection);

// Name and extension of a path (after the last backslash or slash).
std::string FileNameOf(const std::string& path);
