#include "main_logic.h"

SScreenMenu GetScreenMenu(int screen)
{
    //                                  New    Open/Save  Pattern  Logo   Cursor
    static const SScreenMenu kMenus[SCREEN_COUNT] = {
        /* SCREEN_SUPPORT */ {false, false, false, false, false},
        /* SCREEN_CONTROL */ {false, true, true, false, false},
        /* SCREEN_LOGO    */ {false, true, false, true, false},
        /* SCREEN_CURSOR  */ {true, true, false, false, true},
    };
    if (screen < 0 || screen >= SCREEN_COUNT)
        return kMenus[SCREEN_SUPPORT];
    return kMenus[screen];
}

SScreenList RebuildScreenList(int selected, bool linkOpen, bool stackMode)
{
    SScreenList list{1, 0};
    if (!linkOpen)
        return list;
    list.nCount = stackMode ? 2 : SCREEN_COUNT;
    if (selected >= 0 && selected < list.nCount)
        list.nSelected = selected;
    return list;
}

EStartConnect GetStartConnect(int connectMode)
{
    if (connectMode == 1)
        return START_UNCONNECTED;
    if (connectMode == 0)
        return START_CONNECT;
    return START_NEITHER;
}

EKeyAction ClassifyKeyDown(unsigned int vk, bool shift, bool onFirstTabStop, bool onLastTabStop)
{
    if (vk == kVkReturn || vk == kVkEscape)
        return KEY_SWALLOW;
    if (vk == kVkTab) {
        if (!shift && onLastTabStop)
            return KEY_FOCUS_SCREEN_FIRST;
        if (shift && onFirstTabStop)
            return KEY_FOCUS_SCREEN_LAST;
    }
    return KEY_DEFAULT;
}

bool RunSaveQuestions(ICloseSteps& steps)
{
    return MayGoOnAfterSaveQuestion(steps.AskSaveLogo(), [&steps] { return steps.SaveLogo(); }) &&
           MayGoOnAfterSaveQuestion(steps.AskSaveCursorSet(), [&steps] { return steps.SaveCursorSet(); });
}

bool RunCloseSequence(ICloseSteps& steps)
{
    if (!RunSaveQuestions(steps))
        return false;
    RunClosingSteps(steps);
    return true;
}

void RunClosingSteps(ICloseSteps& steps)
{
    steps.EndEffect();
    steps.ReleasePcLinkMode();
    steps.CloseLink();
    steps.DestroyScreens();
    steps.ReleaseIconsAndHook();
    steps.SaveFileSettings();
}
