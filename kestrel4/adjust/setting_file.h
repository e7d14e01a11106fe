// Projector setting files: the setting table's bytes, nothing else, so that a file written by
// any copy of the program opens in any other. A file is read whole before it counts, and a
// new one is written beside the old before it replaces it, so a failure never leaves half of
// either.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class CSettingModel;
class CSettingTable;
struct SProjectorModel;

// The file's leading bytes, one more than the table's size at most, so that a longer file
// shows as one; false, with bytes untouched, when the file cannot be opened or read.
bool ReadSettingFile(const std::string& path, std::vector<unsigned char>& bytes);
// Projector slot 1..4 of a file holds no projector: no save filled it, so its 1024 values
// are all zero (the layout has no other way to say so). Bytes past the file's end count as 0.
bool IsEmptySlot(const std::vector<unsigned char>& bytes, int slot);
// The bytes into a new file in path's folder, flushed, then renamed over path. False when
// any step fails; path then still holds what it held before. A read-only path is refused; a
// symbolic link's target is replaced and the link kept; the file keeps its permissions.
bool WriteSettingFile(const std::string& path, const unsigned char* bytes, size_t count);
// The whole table into path.
bool SaveSettingFile(const CSettingModel& model, const std::string& path);

// The folder a file's path names it in; a drive's root keeps its separator ("C:\"), since
// "C:" alone is the drive's current folder. Empty for a bare name.
std::string FolderOfFile(const std::string& path);
// The setting-file directory from the ini's last setting file: the folder of a "*.kst" path
// (a drive's root keeps its separator), the value itself when it names a folder, as older
// files hold it; empty means the program's own folder.
std::string SettingFileDirectory(const std::string& lastFile);

// The projectors a file goes to: every projector of an established stack, else the current one.
std::vector<int> FileProjectors(const CSettingModel& model);

// The sendable items of the model whose value in the slot would arrive as another, which no
// file the program wrote holds (Brightness 255 in its one byte is -1): a damaged file.
std::vector<uint16_t> UncarriedItems(const SProjectorModel& model, int slot, const CSettingTable& table);

struct SRefusedValue {
    int projector; // as FileProjectors gives it
    uint16_t wCode;
};
struct SFileResult {
    int ok = 1;                         // every walk ended with answers
    std::vector<int> skipped;           // projectors whose slot the file leaves empty, untouched
    std::vector<SRefusedValue> refused; // values a projector did not take
    bool damaged = false;               // values that would arrive as others: nothing was sent
    bool Complete() const { return ok && refused.empty() && !damaged; }
};

// Puts bytes (a file's leading part) into the table and sends the table to the projector(s),
// then reads them back. A projector whose slot is empty in the file gets nothing and keeps
// its values; runtime state (power, busy, warnings, stack position, cursor sets) stays the
// projector's. Without withLocks the lock masks stay as they were; with it the file's
// values go first, then its lock entries, which are read back. When a value was refused or
// a walk ended without an answer the table returns to what it was and the projectors are
// read again, so that it holds their values, not the file's. A damaged file sends nothing
// and leaves the table as it was.
SFileResult ApplySettingFile(CSettingModel& model, const std::vector<unsigned char>& bytes, bool withLocks);
