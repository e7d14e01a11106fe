// Projector setting files from the command line: the same 16384-byte image the program's
// File menu reads and writes, filled from the live projector(s), sent back to them, or
// compared with them.
#pragma once
#include <string>
#include <vector>

#include "projector_session.h"
#include "setting_table.h"

// Which projectors a command covers and how they are addressed.
struct SSettingTarget {
    int stack = 0;
    unsigned char address = 1; // 1..4
    int slot = 1;              // the table's projector 1..4
};

// Every projector of an established stack, each in its slot; only `to` (1..4) when given;
// else projector 1.
ESessionStatus FindTargets(CProjectorSession& session, const SProjectorModel& model, int to,
                           std::vector<SSettingTarget>& targets, std::string& message);
// Every item the program reads of the model, and the lock entries, into the target's slot.
// An item the projector refuses to give is marked CSettingTable::kUnread and added to unread.
ESessionStatus ReadSettings(CProjectorSession& session, const SProjectorModel& model, const SSettingTarget& target,
                            CSettingTable& table, std::vector<uint16_t>& unread, std::string& message);
// Every sendable item of the model from the target's slot, except those the projector has
// locked and those a save could not read; the locks themselves are never sent. The items the
// projector refuses are added to refused, and the rest still go.
ESessionStatus SendSettings(CProjectorSession& session, const SProjectorModel& model, const SSettingTarget& target,
                            const CSettingTable& table, std::vector<uint16_t>& refused, std::string& message);

struct SDifference {
    uint16_t wCode;
    int32_t nFile;
    int32_t nLive;
};
// The sendable items of the model whose value differs in the slot; a value either side could
// not read is not compared.
std::vector<SDifference> DiffSettings(const SProjectorModel& model, int slot, const CSettingTable& file,
                                      const CSettingTable& live);
