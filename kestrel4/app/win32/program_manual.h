// The manual: Kestrel4.html beside the program, shown by the default browser.
#pragma once
#include <windows.h>

// Opens the manual, at a section (a topic of manual_link.h) when one is given. A page that is
// missing or cannot be opened is reported in a message box owned by owner.
void OpenManual(HWND owner, const char* topic = nullptr);
