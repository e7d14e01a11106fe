// CPortableProfile: a private profile file read and written the way the Windows
// profile functions do it, for builds and tests without Windows. Every call opens the
// file by its path, as those functions do, so a file changed or deleted between calls
// is seen at once.
#pragma once
#include "profile_file.h"
#include <string>
#include <vector>

class CPortableProfile : public IProfileFile {
public:
    explicit CPortableProfile(std::string path) : m_strPath(std::move(path)) {}

    std::string GetString(const char* section, const char* key, const char* fallback,
                          unsigned int bufferSize = kDefaultBuffer) override;
    int GetInt(const char* section, const char* key, int fallback) override;
    bool WriteString(const char* section, const char* key, const char* value) override;
    bool DeleteKey(const char* section, const char* key) override;
    bool DeleteSection(const char* section) override;

    const std::string& GetPath() const { return m_strPath; }

private:
    std::string m_strPath;
};

// The line model shared by reading and writing; public for the tests of damaged files.
struct SProfileLine {
    enum EKind { SECTION, KEY, OTHER };
    EKind kind;
    std::string strText;  // the line as stored, without its line end
    std::string strName;  // section or key name
    std::string strValue; // key value, blanks trimmed
};

std::vector<SProfileLine> ParseProfileText(const std::string& text);
// Index of the key line of key in section, or -1.
int FindProfileKey(const std::vector<SProfileLine>& lines, const char* section, const char* key);
