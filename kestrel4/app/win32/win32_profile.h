// CWin32Profile: the profile file through the system's private-profile functions.
#pragma once
#include "profile_file.h"
#include <string>

class CWin32Profile : public IProfileFile {
public:
    explicit CWin32Profile(std::string path) : m_strPath(std::move(path)) {}

    std::string GetString(const char* section, const char* key, const char* fallback,
                          unsigned int bufferSize = kDefaultBuffer) override;
    int GetInt(const char* section, const char* key, int fallback) override;
    bool WriteString(const char* section, const char* key, const char* value) override;
    bool DeleteKey(const char* section, const char* key) override;
    bool DeleteSection(const char* section) override;
    void Refresh() override;

private:
    std::string m_strPath;
};

// Full path of the running program file.
std::string GetModulePath();
// The running program's folder with its trailing backslash; empty when unknown.
std::string ProgramDirectory();
