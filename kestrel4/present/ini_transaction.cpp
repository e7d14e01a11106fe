#include "ini_transaction.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

bool CopyOrEmpty(const std::string& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    // Inserting an empty stream buffer sets the fail bit: an empty file is copied as nothing.
    if (in && in.peek() != std::ifstream::traits_type::eof())
        out << in.rdbuf();
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
