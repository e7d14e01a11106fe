// IProfileFile: the narrow door to a private profile file (sections of key=value lines).
// Windows goes through the system's private-profile functions; the portable
// implementation reproduces their lookup and fallback rules for native builds and tests.
#pragma once
#include <string>

class IProfileFile {
public:
    virtual ~IProfileFile() {}

    // The value of key in section, or fallback when the section or the key is missing.
    // At most bufferSize - 1 characters come back, as with a fixed caller buffer.
    virtual std::string GetString(const char* section, const char* key, const char* fallback,
                                  unsigned int bufferSize = kDefaultBuffer) = 0;
    // The value as an integer; fallback when the key is missing or its value is empty.
    virtual int GetInt(const char* section, const char* key, int fallback) = 0;
    // Creates the file, the section and the key as needed; false when nothing could be stored.
    virtual bool WriteString(const char* section, const char* key, const char* value) = 0;
    // Remove one key, or a whole section with all its keys; true also when it was not there.
    virtual bool DeleteKey(const char* section, const char* key) = 0;
    virtual bool DeleteSection(const char* section) = 0;
    // Forget what is remembered of the file, after it was replaced as a whole.
    virtual void Refresh() {}

    static const unsigned int kDefaultBuffer = 260;
};

// The integer reading shared by both implementations: leading blanks, an optional sign,
// then digits of the base given by the prefix ("0x" hex, "0o" octal, "0b" binary, else
// decimal) up to the first character that is not one; no digits at all give 0.
int ParseProfileInt(const std::string& text);
