// Projector setting files: the setting table's bytes, nothing else, so that a file written by
// any copy of the program opens in any other. A file is read whole before it counts, and a
// new one is written beside the old before it replaces it, so a failure never leaves half of
// either.
#pragma once
#include <string>
#include <vector>

class CSettingModel;

// Up to the table's size of the file's leading bytes; false, with bytes untouched, when the
// file cannot be opened or read.
bool ReadSettingFile(const std::string& path, std::vector<unsigned char>& bytes);
// The bytes into a new file in path's folder, flushed, then renamed over path. False when
// any step fails; path then still holds what it held before.
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

// Puts bytes (a file's leading part) into the table and sends the table to the projector(s),
// then reads them back; 1 when every walk ended well. Without withLocks the lock masks stay
// as they were; with it the file's lock entries are sent and read back first.
int ApplySettingFile(CSettingModel& model, const std::vector<unsigned char>& bytes, bool withLocks);
