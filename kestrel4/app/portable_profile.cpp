#include "portable_profile.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "text_blanks.h"
#include "text_case.h"

namespace {

bool ReadFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    text = ss.str();
    return true;
}

// Both quote kinds are dropped in pairs, and only when the whole value fits the buffer.
std::string CopyEntry(const std::string& value, unsigned int bufferSize)
{
    if (bufferSize == 0)
        return std::string();
    std::string v = value;
    bool quoted = v.size() > 1 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0];
    if (quoted)
        v.erase(0, 1);
    std::string out = v.substr(0, bufferSize - 1);
    if (quoted && bufferSize > v.size())
        out.pop_back();
    return out;
}

} // namespace

int ParseProfileInt(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned int base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        char p = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
        if (p == 'x')
            base = 16;
        else if (p == 'o')
            base = 8;
        else if (p == 'b')
            base = 2;
        if (base != 10)
            i += 2;
    }
    unsigned int value = 0;
    for (; i < text.size(); ++i) {
        int c = std::tolower(static_cast<unsigned char>(text[i]));
        unsigned int digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned int>(c - '0');
        else if (c >= 'a' && c <= 'z')
            digit = static_cast<unsigned int>(c - 'a' + 10);
        else
            break;
        if (digit >= base)
            break;
        value = value * base + digit; // wraps like the system's 32-bit conversion
    }
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

std::vector<SProfileLine> ParseProfileText(const std::string& text)
{
    std::vector<SProfileLine> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string raw = text.substr(pos, end - pos);
        pos = end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();

        SProfileLine line{SProfileLine::OTHER, raw, std::string(), std::string()};
        std::string body = Trim(raw);
        if (!body.empty() && body[0] == '[') {
            // The name runs to the last ']'; a header without one is not a header.
            size_t close = body.rfind(']');
            if (close != std::string::npos) {
                line.kind = SProfileLine::SECTION;
                line.strName = body.substr(1, close - 1);
            }
        } else if (!body.empty()) {
            line.kind = SProfileLine::KEY;
            size_t eq = body.find('=');
            if (eq == std::string::npos) {
                line.strName = body; // a key without '=' exists with an empty value
            } else {
                line.strName = Trim(body.substr(0, eq));
                line.strValue = Trim(body.substr(eq + 1));
            }
        }
        lines.push_back(line);
    }
    return lines;
}

namespace {

// Header line of the first section called section, or -1.
int FindSection(const std::vector<SProfileLine>& lines, const std::string& section)
{
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == SProfileLine::SECTION && EqualNoCase(lines[i].strName, section))
            return static_cast<int>(i);
    return -1;
}

size_t SectionEnd(const std::vector<SProfileLine>& lines, int header)
{
    size_t i = static_cast<size_t>(header) + 1;
    while (i < lines.size() && lines[i].kind != SProfileLine::SECTION)
        ++i;
    return i;
}

bool WriteLines(const std::string& path, const std::vector<SProfileLine>& lines)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    for (const SProfileLine& line : lines)
        out << line.strText << "\r\n";
    return static_cast<bool>(out.flush());
}

} // namespace

int FindProfileKey(const std::vector<SProfileLine>& lines, const char* section, const char* key)
{
    std::string sectionName = Trim(section ? section : "");
    // Keys above the first header form a section without a name.
    size_t begin = 0;
    if (!sectionName.empty()) {
        int header = FindSection(lines, sectionName);
        if (header < 0)
            return -1;
        begin = static_cast<size_t>(header) + 1;
    }
    std::string name = Trim(key ? key : "");
    for (size_t i = begin; i < lines.size() && lines[i].kind != SProfileLine::SECTION; ++i)
        if (lines[i].kind == SProfileLine::KEY && EqualNoCase(lines[i].strName, name))
            return static_cast<int>(i);
    return -1;
}

std::string CPortableProfile::GetString(const char* section, const char* key, const char* fallback,
                                        unsigned int bufferSize)
{
    std::string text;
    if (ReadFile(m_strPath, text)) {
        std::vector<SProfileLine> lines = ParseProfileText(text);
        int found = FindProfileKey(lines, section, key);
        if (found >= 0)
            return CopyEntry(lines[static_cast<size_t>(found)].strValue, bufferSize);
    }
    // The fallback loses its trailing blanks and is cut to the buffer like a value.
    std::string def = fallback ? fallback : "";
    while (!def.empty() && def.back() == ' ')
        def.pop_back();
    if (bufferSize == 0)
        return std::string();
    return def.substr(0, bufferSize - 1);
}

int CPortableProfile::GetInt(const char* section, const char* key, int fallback)
{
    // The system reads numbers through a 30-character buffer too.
    std::string value = GetString(section, key, "", 30);
    if (value.empty())
        return fallback;
    return ParseProfileInt(value);
}

bool CPortableProfile::WriteString(const char* section, const char* key, const char* value)
{
    std::string sectionName = Trim(section ? section : "");
    std::string keyName = Trim(key ? key : "");
    if (sectionName.empty() || keyName.empty() || !value)
        return false;

    std::string text;
    ReadFile(m_strPath, text); // a missing file is created
    std::vector<SProfileLine> lines = ParseProfileText(text);
    std::string newLine = keyName + "=" + value;

    int found = FindProfileKey(lines, sectionName.c_str(), keyName.c_str());
    if (found >= 0) {
        SProfileLine& line = lines[static_cast<size_t>(found)];
        line.strText = line.strName + "=" + value;
    } else {
        SProfileLine add{SProfileLine::KEY, newLine, keyName, Trim(value)};
        int header = FindSection(lines, sectionName);
        if (header < 0) {
            lines.push_back(SProfileLine{SProfileLine::SECTION, "[" + sectionName + "]", sectionName, ""});
            lines.push_back(add);
        } else {
            // After the section's last non-blank line, so blank separators stay in place.
            size_t at = SectionEnd(lines, header);
            while (at > static_cast<size_t>(header) + 1 && Trim(lines[at - 1].strText).empty())
                --at;
            lines.insert(lines.begin() + static_cast<long>(at), add);
        }
    }

    return WriteLines(m_strPath, lines);
}

bool CPortableProfile::DeleteKey(const char* section, const char* key)
{
    std::string text;
    if (!section || !key)
        return false;
    if (!ReadFile(m_strPath, text))
        return true;
    std::vector<SProfileLine> lines = ParseProfileText(text);
    int found = FindProfileKey(lines, Trim(section).c_str(), key);
    if (found < 0)
        return true;
    lines.erase(lines.begin() + found);
    return WriteLines(m_strPath, lines);
}

bool CPortableProfile::DeleteSection(const char* section)
{
    std::string text;
    if (!section)
        return false;
    if (!ReadFile(m_strPath, text))
        return true;
    std::vector<SProfileLine> lines = ParseProfileText(text);
    int header = FindSection(lines, Trim(section));
    if (header < 0)
        return true;
    lines.erase(lines.begin() + header, lines.begin() + static_cast<long>(SectionEnd(lines, header)));
    return WriteLines(m_strPath, lines);
}
