#include "item_library.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

const char* ItemExtension(EItemKind kind)
{
    return kind == ITEM_CURSOR ? ".crs" : ".stp";
}

int FindItem(const std::vector<std::string>& names, const std::string& name)
{
    std::string wanted = Lower(name);
    for (size_t i = 0; i < names.size(); ++i)
        if (Lower(names[i]) == wanted)
            return static_cast<int>(i);
    return -1;
}

std::string NameAfterDelete(const std::vector<std::string>& before, size_t deleted, const std::string& name)
{
    int at = FindItem(before, name);
    if (at < 0 || deleted >= before.size() || static_cast<size_t>(at) < deleted)
        return name;
    size_t index = static_cast<size_t>(at);
    if (index > deleted)
        return before[index - 1];
    // The deleted item: the next one takes its name; the last one leaves the new last.
    if (deleted + 1 < before.size())
        return before[deleted];
    return deleted > 0 ? before[deleted - 1] : std::string();
}

CItemLibrary::CItemLibrary(EItemKind kind, const std::string& programDirectory) : m_eKind(kind)
{
    m_strDirectory = programDirectory;
    if (!m_strDirectory.empty() && m_strDirectory.back() != '/' && m_strDirectory.back() != '\\')
        m_strDirectory += '/';
    m_strDirectory += kind == ITEM_CURSOR ? "cursor/" : "stamp/";
}

std::string CItemLibrary::GetPath(const std::string& name) const
{
    return m_strDirectory + name;
}

void CItemLibrary::List()
{
    m_Names.clear();
    std::error_code error;
    std::string extension = ItemExtension(m_eKind);
    for (fs::directory_iterator it(m_strDirectory, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        std::string name = it->path().filename().string();
        if (name.size() > extension.size() && Lower(name.substr(name.size() - extension.size())) == extension)
            m_Names.push_back(name);
    }
    std::sort(m_Names.begin(), m_Names.end(),
              [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
    if (m_Names.size() > kMaxLibraryItems)
        m_Names.resize(kMaxLibraryItems);
}

int CItemLibrary::Delete(size_t index)
{
    if (index >= m_Names.size())
        return 0;
    int ok = std::remove(GetPath(m_Names[index]).c_str()) == 0;
    for (size_t later = index + 1; ok && later < m_Names.size(); ++later) {
        std::error_code error;
        fs::rename(GetPath(m_Names[later]), GetPath(m_Names[later - 1]), error);
        ok = !error;
    }
    List();
    return ok;
}

std::string NextItemName(const std::string& last, EItemKind kind)
{
    int number = 0;
    if (!last.empty()) {
        number = std::atoi(last.substr(0, 2).c_str()) + 1;
        number = std::min(number, 99);
    }
    char name[8];
    std::snprintf(name, sizeof name, "%02d", number);
    return std::string(name) + ItemExtension(kind);
}

std::string SlotEditArguments(int slot)
{
    return "/CS " + std::to_string(slot) + " Temp.csp";
}

std::string NewItemArguments(EItemKind kind, const std::string& last)
{
    return std::string(kind == ITEM_CURSOR ? "/CN " : "/SN ") + last;
}

std::string EditItemArguments(EItemKind kind, const std::string& selected, const std::string& last)
{
    return std::string(kind == ITEM_CURSOR ? "/CE " : "/SE ") + selected + " " + last;
}
