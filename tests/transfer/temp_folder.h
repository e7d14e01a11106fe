// A fresh folder under the system's temporary folder, removed with everything in it.
#pragma once
#include <atomic>
#include <filesystem>
#include <string>

class TempFolder {
public:
    TempFolder()
    {
        static std::atomic<int> serial{0};
        m_Path = std::filesystem::temp_directory_path() /
                 ("kestrel-test-" + std::to_string(Pid()) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(m_Path);
        std::filesystem::create_directories(m_Path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_Path, ignored);
    }
    std::string Path(const std::string& name) const { return (m_Path / name).string(); }
    const std::filesystem::path& Root() const { return m_Path; }

private:
    static long Pid();
    std::filesystem::path m_Path;
};

#ifdef _WIN32
#include <process.h>
inline long TempFolder::Pid()
{
    return _getpid();
}
#else
#include <unistd.h>
inline long TempFolder::Pid()
{
    return getpid();
}
#endif
