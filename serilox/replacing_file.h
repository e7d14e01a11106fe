// A file that replaces another only once it is whole: written beside the old one, flushed to
// the disk, then renamed over it, so a failure never leaves half of either. What users keep
// (setting files, line records) is saved this way.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

#include "platform_types.h"

class SERILOX_API CReplacingFile {
public:
    CReplacingFile();
    // A file still open is abandoned: the old one stays as it was.
    ~CReplacingFile();
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // Starts the new file for path. False for a read-only path or one whose folder cannot take
    // the new file. A symbolic link's target is what gets replaced; the link stays.
    bool Open(const char* path);
    // The new file while open, for writing; nullptr otherwise.
    std::FILE* Get() const { return m_pFile; }
    // Flushes the new file to the disk with the old one's permissions and renames it over the
    // old one. False when any write or step failed; the old file then holds what it held.
    bool Commit();
    // Drops the new file; the old one stays.
    void Abandon();

private:
    std::FILE* m_pFile;
    std::string m_strTarget;
    std::string m_strTemporary;
};

// The whole of a new file's contents, saved through CReplacingFile: false when path is refused
// or any step failed, and the old file then holds what it held.
SERILOX_API bool WriteReplacingFile(const char* path, const void* bytes, size_t count);
