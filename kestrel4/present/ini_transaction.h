// CIniFile: "Kestrel4.ini" for presentation support. Reads go to the file itself; every
// change that spans several keys is made on a copy beside it, through the same profile
// backend and key by key as always, and the copy then replaces the file as a whole (written
// beside it, flushed, renamed over it). A crash or a full disk in between leaves the file as
// it was before the operation; a read-only file is not replaced.
#pragma once
#include "profile_file.h"

#include <functional>
#include <memory>
#include <string>

typedef std::function<std::unique_ptr<IProfileFile>(const std::string& path)> ProfileFactory;

class CIniFile {
public:
    CIniFile(std::string path, ProfileFactory factory);

    IProfileFile& Read() { return *m_pFile; }
    // Runs change on the copy and replaces the file with it when change returns true and
    // every write reached the disk; otherwise the file stays untouched. False then.
    bool Update(const std::function<bool(IProfileFile&)>& change);

private:
    std::string m_strPath;
    ProfileFactory m_Factory;
    std::unique_ptr<IProfileFile> m_pFile;
};

// Counts failed writes so that an operation can give up as a whole.
class CCheckedProfile : public IProfileFile {
public:
    explicit CCheckedProfile(IProfileFile& inner) : m_Inner(inner) {}
    std::string GetString(const char* section, const char* key, const char* fallback,
                          unsigned int bufferSize = kDefaultBuffer) override
    {
        return m_Inner.GetString(section, key, fallback, bufferSize);
    }
    int GetInt(const char* section, const char* key, int fallback) override
    {
        return m_Inner.GetInt(section, key, fallback);
    }
    bool WriteString(const char* section, const char* key, const char* value) override
    {
        return Count(m_Inner.WriteString(section, key, value));
    }
    bool DeleteKey(const char* section, const char* key) override { return Count(m_Inner.DeleteKey(section, key)); }
    bool DeleteSection(const char* section) override { return Count(m_Inner.DeleteSection(section)); }
    void Refresh() override { m_Inner.Refresh(); }
    int GetFailures() const { return m_nFailures; }

private:
    bool Count(bool ok)
    {
        if (!ok)
            ++m_nFailures;
        return ok;
    }
    IProfileFile& m_Inner;
    int m_nFailures = 0;
};
