#include "key_texts.h"
#include "key_names.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace {

bool Contains(const std::string& text, const char* word)
{
    return text.find(word) != std::string::npos;
}

bool IsUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

} // namespace

std::string RestoreShortcutText(const std::string& text)
{
    size_t start = text.rfind("+ ");
    std::string name = start == std::string::npos ? text : text.substr(start + 2);
    if (!name.empty() && ShortcutNameCode(name) < 0 && ShortcutNameCode(name + " ") >= 0)
        return text + " ";
    return text;
}

KeyCodeArray ParseShortcutText(const std::string& text, const KeyScanner& scan)
{
    KeyCodeArray codes;
    if (text.empty())
        return codes;
    size_t skip = 0;
    struct SWord {
        const char* pszWord;
        int nCode;
    };
    const SWord words[] = {{kCtrlWord, 17}, {kShiftWord, 16}, {kAltWord, 18}, {kGraphWord, 18}};
    for (const SWord& w : words)
        if (Contains(text, w.pszWord)) {
            codes.Append(w.nCode);
            skip += std::strlen(w.pszWord);
        }
    std::string name = skip < text.size() ? text.substr(skip) : std::string();
    int code = ShortcutNameCode(name);
    if (code >= 0) {
        codes.Append(code);
        return codes;
    }
    if (name.empty())
        return codes;
    char ch = name[0];
    // With a modifier the letter is typed without Shift, whatever the text shows.
    if (IsUpper(ch) && skip > 0)
        ch = static_cast<char>(ch - 'A' + 'a');
    int key = scan(ch);
    if (key == -1)
        return codes;
    if (key & 0x100)
        codes.Append(16);
    codes.Append(key & 0xFF);
    return codes;
}

std::string KeyEventTokenText(const std::string& text)
{
    std::string tokens;
    size_t skip = 0;
    struct SWord {
        const char* pszWord;
        const char* pszToken;
    };
    const SWord words[] = {{kCtrlWord, "^"}, {kShiftWord, "+"}, {kAltWord, "%"}, {kGraphWord, "%"}};
    for (const SWord& w : words)
        if (Contains(text, w.pszWord)) {
            tokens += w.pszToken;
            skip += std::strlen(w.pszWord);
        }
    std::string name = skip < text.size() ? text.substr(skip) : std::string();
    if (const char* token = KeyEventToken(name))
        return tokens + token;
    if (!name.empty() && IsUpper(name[0]))
        name[0] = static_cast<char>(name[0] - 'A' + 'a');
    return tokens + name;
}

KeyCodeArray ConvertKeyEventText(const std::string& text, const KeyTextConverter& convert)
{
    std::vector<int> buffer(1024, 0);
    int count = static_cast<int>(buffer.size());
    convert(KeyEventTokenText(text).c_str(), buffer.data(), &count);
    count = std::max(0, std::min(count, static_cast<int>(buffer.size())));
    // Playback toggles the modifier codes (first press, next release); the kept part ends at
    // the last point within the capacity where all three are up.
    int held = 0;
    int keep = 0;
    for (int i = 0; i < count && i < KeyCodeArray::kMaxCodes; ++i) {
        if (buffer[i] >= 16 && buffer[i] <= 18)
            held ^= 1 << (buffer[i] - 16);
        if (held == 0)
            keep = i + 1;
    }
    if (count <= KeyCodeArray::kMaxCodes)
        keep = count;
    KeyCodeArray codes;
    for (int i = 0; i < keep; ++i)
        codes.Append(buffer[i]);
    return codes;
}

SKeyEventEntry MakeKeyEventEntry(const std::string& captured, size_t maxTextLength, const KeyTextConverter& convert)
{
    return {ConvertKeyEventText(captured, convert), captured.substr(0, maxTextLength)};
}
