#include "json_line.h"

std::string JsonQuoted(const std::string& value)
{
    std::string out = "\"";
    for (unsigned char c : value) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void CJsonLine::Key(const char* key)
{
    if (!m_strFields.empty())
        m_strFields += ',';
    m_strFields += JsonQuoted(key) + ":";
}

CJsonLine& CJsonLine::Text(const char* key, const std::string& value)
{
    Key(key);
    m_strFields += JsonQuoted(value);
    return *this;
}

CJsonLine& CJsonLine::Number(const char* key, long long value)
{
    Key(key);
    m_strFields += std::to_string(value);
    return *this;
}

CJsonLine& CJsonLine::Real(const char* key, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    Key(key);
    m_strFields += text;
    return *this;
}

void CJsonLine::Print(std::FILE* out) const
{
    std::fprintf(out, "%s\n", Str().c_str());
    std::fflush(out);
}
