#include "win32_profile.h"

#include <windows.h>
#include <vector>

// An empty path would send the profile functions to the Windows folder's win.ini;
// without a path of our own nothing is read or written.
std::string CWin32Profile::GetString(const char* section, const char* key, const char* fallback,
                                     unsigned int bufferSize)
{
    if (bufferSize == 0)
        return std::string();
    if (m_strPath.empty()) {
        std::string def = fallback ? fallback : "";
        while (!def.empty() && def.back() == ' ')
            def.pop_back();
        return def.substr(0, bufferSize - 1);
    }
    std::vector<char> buffer(bufferSize, '\0');
    DWORD n =
        GetPrivateProfileStringA(section, key, fallback ? fallback : "", buffer.data(), bufferSize, m_strPath.c_str());
    return std::string(buffer.data(), n);
}

int CWin32Profile::GetInt(const char* section, const char* key, int fallback)
{
    if (m_strPath.empty())
        return fallback;
    return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, m_strPath.c_str()));
}

bool CWin32Profile::WriteString(const char* section, const char* key, const char* value)
{
    if (m_strPath.empty() || !section || !key || !value)
        return false;
    return WritePrivateProfileStringA(section, key, value, m_strPath.c_str()) != FALSE;
}

bool CWin32Profile::DeleteKey(const char* section, const char* key)
{
    if (m_strPath.empty() || !section || !key)
        return false;
    return WritePrivateProfileStringA(section, key, nullptr, m_strPath.c_str()) != FALSE;
}

bool CWin32Profile::DeleteSection(const char* section)
{
    if (m_strPath.empty() || !section)
        return false;
    return WritePrivateProfileStringA(section, nullptr, nullptr, m_strPath.c_str()) != FALSE;
}

// The documented flush: the system drops its cached copy and reads the file again.
void CWin32Profile::Refresh()
{
    if (!m_strPath.empty())
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, m_strPath.c_str());
}

std::string GetModulePath()
{
    char path[MAX_PATH] = {0};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return std::string();
    return std::string(path, n);
}

std::string ProgramDirectory()
{
    std::string path = GetModulePath();
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
