// Decisions of the main window that need no window: which screens the list offers, which
// menu items a screen enables, what ConnectMode means at start-up, what a key does, and the
// order of the close sequence.
#pragma once
#include <cstdint>
#include <functional>

#include "save_question.h"

enum EScreen {
    SCREEN_SUPPORT = 0, // "Presentation Support"
    SCREEN_CONTROL = 1, // "Projector control"
    SCREEN_LOGO = 2,    // "Setting User logo"
    SCREEN_CURSOR = 3,  // "Cursor/Stamp Setting"
    SCREEN_COUNT = 4
};

struct SScreenMenu {
    bool bNew;
    bool bFile; // Open, Save, Save As
    bool bTestPattern;
    bool bSendLogo;
    bool bSendCursor;
};
SScreenMenu GetScreenMenu(int screen);

struct SScreenList {
    int nCount; // the list holds screens 0 .. nCount - 1
    int nSelected;
};
// The list after a connection change: the selection is kept where the screen is still offered.
SScreenList RebuildScreenList(int selected, bool linkOpen, bool stackMode);

enum EStartConnect { START_UNCONNECTED, START_CONNECT, START_NEITHER };
EStartConnect GetStartConnect(int connectMode);

enum EKeyAction {
    KEY_DEFAULT,            // normal dialog handling
    KEY_SWALLOW,            // Enter and Escape never close the window
    KEY_FOCUS_SCREEN_FIRST, // Tab past the main window's last tab stop
    KEY_FOCUS_SCREEN_LAST   // Shift+Tab before its first tab stop
};
const unsigned int kVkTab = 0x09, kVkReturn = 0x0D, kVkEscape = 0x1B;
EKeyAction ClassifyKeyDown(unsigned int vk, bool shift, bool onFirstTabStop, bool onLastTabStop);

// The steps of closing the main window, supplied by the window.
class ICloseSteps {
public:
    virtual ~ICloseSteps() {}
    // Each asks only when its screen holds unsaved changes (SAVE_NO otherwise); each save
    // reports whether the changes were written.
    virtual ESaveAnswer AskSaveLogo() = 0;
    virtual bool SaveLogo() = 0;
    virtual ESaveAnswer AskSaveCursorSet() = 0;
    virtual bool SaveCursorSet() = 0;
    virtual void EndEffect() = 0;
    virtual void ReleasePcLinkMode() = 0;
    virtual void CloseLink() = 0;
    virtual void DestroyScreens() = 0;
    virtual void ReleaseIconsAndHook() = 0;
    virtual void SaveFileSettings() = 0;
};

// The two save questions; false when one was cancelled or its Yes did not save.
bool RunSaveQuestions(ICloseSteps& steps);
// Everything after the questions: effect, link mode, link, screens, hook, last-used files.
void RunClosingSteps(ICloseSteps& steps);
// The whole sequence; false when it stopped at a question and nothing was closed.
bool RunCloseSequence(ICloseSteps& steps);
