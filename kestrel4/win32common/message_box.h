// The programs' message boxes: a text of the string table under the program's caption string.
#pragma once
#include <windows.h>

#include <string>

// Shows the string textId (or text) with flags (buttons and icon), captioned by the string
// captionId; the button pressed is returned.
int ShowMessage(HWND owner, UINT textId, UINT flags, UINT captionId);
int ShowMessageText(HWND owner, const std::string& text, UINT flags, UINT captionId);
