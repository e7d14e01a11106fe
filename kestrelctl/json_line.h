// --json output: one JSON object a line, built field by field.
#pragma once
#include <cstdio>
#include <string>

class CJsonLine {
public:
    CJsonLine& Text(const char* key, const std::string& value);
    CJsonLine& Number(const char* key, long long value);
    CJsonLine& Real(const char* key, double value);
    // Writes the object and a newline, flushed at once for a reader on a pipe.
    void Print(std::FILE* out = stdout) const;
    std::string Str() const { return "{" + m_strFields + "}"; }

private:
    void Key(const char* key);
    std::string m_strFields;
};

// value with quotes, backslashes and control characters escaped, in quotes.
std::string JsonQuoted(const std::string& value);
