// The profile implementations every ini test runs against: the portable one everywhere,
// the system's on Windows, so both are held to the same expectations.
#pragma once
#include "portable_profile.h"
#ifdef _WIN32
#include "win32_profile.h"
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

enum EProfileKind { PROFILE_PORTABLE, PROFILE_WIN32 };

inline std::string ProfileKindName(const ::testing::TestParamInfo<EProfileKind>& info)
{
    return info.param == PROFILE_PORTABLE ? "Portable" : "Win32";
}

inline std::unique_ptr<IProfileFile> MakeProfile(EProfileKind kind, const std::string& path)
{
#ifdef _WIN32
    if (kind == PROFILE_WIN32)
        return std::unique_ptr<IProfileFile>(new CWin32Profile(path));
#endif
    return std::unique_ptr<IProfileFile>(new CPortableProfile(path));
}

#ifdef _WIN32
#define KESTREL_PROFILE_KINDS ::testing::Values(PROFILE_PORTABLE, PROFILE_WIN32)
#else
#define KESTREL_PROFILE_KINDS ::testing::Values(PROFILE_PORTABLE)
#endif

// A file name used by one test only: the system caches profile files by name.
inline std::string FreshIniPath()
{
    static int counter = 0;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name)
        if (c == '/' || c == '\\')
            c = '_';
    std::string path = ::testing::TempDir() + "k4_" + name + "_" + std::to_string(++counter) + ".ini";
    std::remove(path.c_str());
    return path;
}

inline void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
