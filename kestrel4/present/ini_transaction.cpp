#include "ini_transaction.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

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

} // namespace

CIniFile::CIniFile(std::string path, ProfileFactory factory)
    : m_strPath(std::move(path)), m_Factory(std::move(factory)), m_pFile(m_Factory(m_strPath))
{
}

bool CIniFile::Update(const std::function<bool(IProfileFile&)>& change)
{
    if (m_strPath.empty())
        return false;
    const std::string aside = m_strPath + ".new";
    if (!CopyOrEmpty(m_strPath, aside)) {
        std::remove(aside.c_str());
        return false;
    }
    std::unique_ptr<IProfileFile> copy = m_Factory(aside);
    copy->Refresh(); // a copy of an earlier operation may still be remembered by the system
    CCheckedProfile checked(*copy);
    bool ok = change(checked) && checked.GetFailures() == 0;
    copy->Refresh();
    std::error_code error;
    if (ok)
        std::filesystem::rename(aside, m_strPath, error);
    if (!ok || error) {
        std::remove(aside.c_str());
        return false;
    }
    m_pFile->Refresh();
    return true;
}
