#include "effect_guard.h"
#include "screen_surface.h"
#include "system_pointers.h"
#include "tapline.h"

namespace {

LPTOP_LEVEL_EXCEPTION_FILTER g_pPrevious = nullptr;

LONG WINAPI EffectGuard(EXCEPTION_POINTERS* info)
{
    // The hooks' filter reads state of a program that is failing: nothing may be swallowed.
    SetHookFilter(nullptr, nullptr);
    UnhookMouse();
    UnhookKeyboard();
    ClipCursor(nullptr);
    RestorePointers();
    RepaintDesktop();
    return g_pPrevious ? g_pPrevious(info) : EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

void InstallEffectGuard()
{
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(EffectGuard);
    if (previous != EffectGuard)
        g_pPrevious = previous;
}
