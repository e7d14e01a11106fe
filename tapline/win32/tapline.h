// Tapline: keyboard and mouse hooks of the whole desktop that report to one window, playback
// of virtual-key codes into the input stream, and the key-text converter.
#pragma once

#include <windows.h>

#include "core/tapline_messages.h"

#if defined(TAPLINE_BUILD)
#define TAPLINE_API extern "C" __declspec(dllexport)
#else
#define TAPLINE_API extern "C" __declspec(dllimport)
#endif

// wParam = virtual-key code, lParam = keystroke flags (bit 31 set = key going up).
#define WM_TAPLINE_KEY (WM_USER + 100)
// wParam = mouse message, lParam = screen position, x in the HIGH word and y in the LOW word.
#define WM_TAPLINE_MOUSE (WM_USER + 101)
static_assert(WM_TAPLINE_KEY == tapline::kWmTaplineKey && WM_TAPLINE_MOUSE == tapline::kWmTaplineMouse,
              "message numbers");

// The hooks run on a thread of the library's own in the calling process and post their
// notifications; whether an input is discarded is the filter's answer (below). Each call
// returns 1; a second HookKeyboard / HookMouse while installed keeps the first window.
TAPLINE_API int WINAPI HookKeyboard(HWND notify);
TAPLINE_API int WINAPI UnhookKeyboard();
TAPLINE_API int WINAPI HookMouse(HWND notify);
TAPLINE_API int WINAPI UnhookMouse();

// Asked on the hook thread, before the notification is posted, with the notification's
// message, wParam and lParam; nonzero discards the input. It must answer at once and must
// not wait for the notified window. Without a filter nothing is discarded.
typedef int(WINAPI* TaplineFilter)(void* context, UINT message, WPARAM wParam, LPARAM lParam);
// Replaces the filter; once it returns, the old one is asked no more. Returns 1.
TAPLINE_API int WINAPI SetHookFilter(TaplineFilter filter, void* context);

// Plays up to 1024 codes (16, 17, 18 toggle their modifier). Returns 0 when started or
// refused because a playback is running (test the event first), 6 when nothing can be
// played. The calling thread must keep dispatching messages while it plays.
TAPLINE_API int WINAPI PostKeyMessages(const int* codes, int count);

// On entry *count is the capacity of codes, on return the number written. Returns 0, or
// 1 unclosed brace, 2 unknown key, 4 repeat count 0, 5 output full.
TAPLINE_API int WINAPI ConvertKeyCode(const char* text, int* codes, int* count);

// Manual-reset event of the calling process, signalled while no playback runs.
TAPLINE_API HANDLE WINAPI GetPostKeyEventHandle();
