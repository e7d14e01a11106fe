#include "system_pointers.h"
#include "dialog_base.h"
#include "resource.h"

#include <string>

namespace {

const struct {
    DWORD id;
    const char* pszName; // value under "Control Panel\Cursors"
} kPointers[12] = {
    {0x7F00, "Arrow"},  {0x7F01, "IBeam"},  {0x7F03, "Crosshair"}, {0x7F04, "UpArrow"},
    {0x7F89, "NWPen"},  {0x7F8B, "Help"},   {0x7F82, "SizeNWSE"},  {0x7F83, "SizeNESW"},
    {0x7F84, "SizeWE"}, {0x7F85, "SizeNS"}, {0x7F86, "SizeAll"},   {0x7F88, "No"},
};

volatile LONG g_bReplaced = 0;

std::string SchemeValue(HKEY key, const char* name)
{
    char value[MAX_PATH] = {};
    DWORD size = sizeof value - 1, type = 0;
    if (!key || RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return std::string();
    char expanded[MAX_PATH] = {};
    if (type == REG_EXPAND_SZ && ExpandEnvironmentStringsA(value, expanded, sizeof expanded))
        return expanded;
    return value;
}

} // namespace

void ReplacePointers(HCURSOR cursor)
{
    // The blank pointer is a shared resource cursor: copied, never destroyed.
    if (!cursor)
        cursor = LoadCursorA(AppInstance(), MAKEINTRESOURCEA(IDCUR_BLANK));
    if (!cursor)
        return;
    InterlockedExchange(&g_bReplaced, 1);
    // The system takes over each cursor it is given: one copy per pointer.
    for (const auto& pointer : kPointers)
        if (HCURSOR copy = CopyCursor(cursor))
            SetSystemCursor(copy, pointer.id);
}

void RestorePointers()
{
    if (!InterlockedExchange(&g_bReplaced, 0))
        return;
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Cursors", 0, KEY_READ, &key);
    for (const auto& pointer : kPointers) {
        std::string file = SchemeValue(key, pointer.pszName);
        HCURSOR cursor = file.empty() ? nullptr : LoadCursorFromFileA(file.c_str());
        if (cursor)
            SetSystemCursor(cursor, pointer.id);
    }
    if (key)
        RegCloseKey(key);
    // Reloads every pointer of the scheme, the standard ones for empty values included.
    SystemParametersInfoA(SPI_SETCURSORS, 0, nullptr, SPIF_SENDCHANGE);
}

bool ArePointersReplaced()
{
    return g_bReplaced != 0;
}
