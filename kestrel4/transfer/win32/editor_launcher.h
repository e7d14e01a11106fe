// Starting Glyphpad from the program's folder and waiting for it: the main window is
// disabled meanwhile, the editor kept on top, and messages dispatched so the editor's
// notifications reach the pages. The wait sleeps on the process and the message queue,
// waking a few times a second to put the editor back above the main window; it ends early
// when the program is quitting.
#pragma once
#include <windows.h>

#include <string>

// arguments follow the program path; title is the editor window's ("Cursor Edit", ...).
// False, with the main window untouched, when the editor cannot be started.
bool RunEditor(HWND mainWindow, const std::string& arguments, const char* title);

// Shows "Glyphpad.exe could not be started." over owner.
void ReportEditorNotStarted(HWND owner);
