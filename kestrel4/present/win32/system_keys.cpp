#include "system_keys.h"
#include "key_names.h"

#include <windows.h>

#include "tapline.h"

int SystemKeyboardKind()
{
    char language[64] = {0};
    GetProfileStringA("Intl", "sLanguage", "jpn", language, sizeof language);
    return KeyboardKind(GetKeyboardType(0), GetKeyboardType(1), language);
}

int SystemKeyScan(char ch)
{
    SHORT scan = VkKeyScanA(ch);
    return scan == -1 ? -1 : (scan & 0xFFFF);
}

KeyTextConverter HookLibraryConverter()
{
    return [](const char* text, int* codes, int* count) { return ConvertKeyCode(text, codes, count); };
}
