#include "ini_transaction.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "replacing_file.h"

namespace {

// Only a file that is not there counts as empty: one that cannot be read would otherwise be
// replaced, whole, by a single operation's keys.
bool CopyOrEmpty(const std::string& from, const std::string& to)
{
    std::error_code error;
    const bool exists = std::filesystem::exists(from, error);
    if (error)
        return false;
    std::ifstream in(from, std::ios::binary);
    if (exists && !in)
        return false;
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    // Inserting an empty stream buffer sets the fail bit: an empty file is copied as nothing.
    if (exists && in.peek() != std::ifstream::traits_type::eof())
        out << in.rdbuf();
    if (exists && in.bad())
        return false;
    return static_cast<bool>(out.flush());
}

bool ReadAll(const std::string& path, std::vector<char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

CIniFile::CIniFile(std::string path, ProfileFactory factory)
    : m_strPath(std::move(path)), m_Factory(std::move(factory)), m_pFile(m_Factory(m_strPath))
{
}

bool CIniFile::Update(const std::function<bool(IProfileFile&)>& change)
{
    if (m_strPath.empty())
        return false;
    // The change is made on a scratch copy through the profile backend, which writes by
    // path; what it leaves then replaces the file the way every user's file is saved.
    const std::string scratch = m_strPath + ".edit";
    struct SScratch {
        const std::string& path;
        ~SScratch() { std::remove(path.c_str()); }
    } removed{scratch};
    if (!CopyOrEmpty(m_strPath, scratch))
        return false;
    std::unique_ptr<IProfileFile> copy = m_Factory(scratch);
    copy->Refresh(); // a copy of an earlier operation may still be remembered by the system
    CCheckedProfile checked(*copy);
    const bool ok = change(checked) && checked.GetFailures() == 0;
    copy->Refresh();
    copy.reset();
    std::vector<char> bytes;
    if (!ok || !ReadAll(scratch, bytes) || !WriteReplacingFile(m_strPath.c_str(), bytes.data(), bytes.size()))
        return false;
    m_pFile->Refresh();
    return true;
}
