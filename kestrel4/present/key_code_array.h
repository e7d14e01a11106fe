// KeyCodeArray: the virtual-key codes of one shortcut or of one key event of a Key effect.
#pragma once

struct KeyCodeArray {
    static const int kMaxCodes = 256;
    int nCodes[kMaxCodes] = {};
    int nCount = 0;

    // Codes beyond the capacity are dropped; false then.
    bool Append(int code)
    {
        if (nCount >= kMaxCodes)
            return false;
        nCodes[nCount++] = code;
        return true;
    }
};

inline bool operator==(const KeyCodeArray& a, const KeyCodeArray& b)
{
    if (a.nCount != b.nCount)
        return false;
    for (int i = 0; i < a.nCount; ++i)
        if (a.nCodes[i] != b.nCodes[i])
            return false;
    return true;
}
