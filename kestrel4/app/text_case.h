// Case rules of Windows names (files, ini sections and keys, reserved names): ASCII letters
// match without regard to case, other bytes as they are.
#pragma once
#include <cctype>
#include <string>

inline std::string LowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

inline bool EqualNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && LowerCase(a) == LowerCase(b);
}
