#include "set_file_names.h"

#include "text_case.h"

CSetFileNames::CSetFileNames(std::string tempPath, std::string& lastFile, std::string untitled)
    : m_strTempPath(std::move(tempPath)), m_strLastFile(lastFile), m_strUntitled(std::move(untitled))
{
}

void CSetFileNames::New()
{
    m_strFile = m_strTempPath;
    m_strTitle = m_strUntitled;
}

void CSetFileNames::Opened(const std::string& path)
{
    m_strFile = path;
    m_strTitle = path.substr(path.find_last_of("\\/") + 1);
    m_strLastFile = path;
}

bool CSetFileNames::NeedsName() const
{
    return m_strFile.empty() || IsTemp(m_strFile);
}

bool CSetFileNames::IsTemp(const std::string& path) const
{
    return EqualNoCase(path, m_strTempPath);
}

std::string CSetFileNames::StartFolder() const
{
    size_t slash = m_strLastFile.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : m_strLastFile.substr(0, slash + 1);
}
