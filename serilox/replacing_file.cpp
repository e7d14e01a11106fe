#include "replacing_file.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

namespace {
bool ReplaceWith(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool FlushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// The file a save replaces: a symbolic link's target, so that the link stays a link.
std::string SaveTarget(const char* path)
{
#ifdef _WIN32
    return path;
#else
    char resolved[PATH_MAX];
    return realpath(path, resolved) ? std::string(resolved) : std::string(path);
#endif
}

// A file its owner made read-only is not replaced behind their back.
bool IsReadOnly(const std::string& path)
{
#ifdef _WIN32
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
#else
    struct stat status;
    return stat(path.c_str(), &status) == 0 && !(status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH));
#endif
}

// The new file gets the old one's permissions.
bool KeepMode(std::FILE* file, const std::string& old)
{
#ifdef _WIN32
    (void)file;
    (void)old;
    return true;
#else
    struct stat status;
    if (stat(old.c_str(), &status) != 0)
        return true;
    return fchmod(fileno(file), status.st_mode & 07777) == 0;
#endif
}
} // namespace

CReplacingFile::CReplacingFile() : m_pFile(nullptr) {}

CReplacingFile::~CReplacingFile()
{
    Abandon();
}

bool CReplacingFile::Open(const char* path)
{
    Abandon();
    if (!path || !*path)
        return false;
    m_strTarget = SaveTarget(path);
    if (IsReadOnly(m_strTarget))
        return false;
    // Beside the old file, so that the rename stays on one volume.
    m_strTemporary = m_strTarget + ".new";
    m_pFile = std::fopen(m_strTemporary.c_str(), "wb");
    return m_pFile != nullptr;
}

bool CReplacingFile::Commit()
{
    if (!m_pFile)
        return false;
    bool written = !std::ferror(m_pFile) && KeepMode(m_pFile, m_strTarget) && FlushToDisk(m_pFile);
    written = std::fclose(m_pFile) == 0 && written;
    m_pFile = nullptr;
    if (!written || !ReplaceWith(m_strTemporary, m_strTarget)) {
        std::remove(m_strTemporary.c_str());
        return false;
    }
    return true;
}

void CReplacingFile::Abandon()
{
    if (!m_pFile)
        return;
    std::fclose(m_pFile);
    m_pFile = nullptr;
    std::remove(m_strTemporary.c_str());
}

bool WriteReplacingFile(const char* path, const void* bytes, size_t count)
{
    CReplacingFile file;
    if (!file.Open(path))
        return false;
    if (count && std::fwrite(bytes, 1, count, file.Get()) != count)
        return false;
    return file.Commit();
}
