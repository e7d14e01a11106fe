// Tapline: system-wide keyboard and mouse hooks that report to one window, playback of
// virtual-key codes into the input stream, and the key-text converter.
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

// A nonzero answer to either message discards the input. Each call returns 1; a second
// HookKeyboard / HookMouse while installed keeps the first window.
TAPLINE_API int WINAPI HookKeyboard(HWND notify);
TAPLINE_API int WINAPI UnhookKeyboard();
TAPLINE_API int WINAPI HookMouse(HWND notify);
TAPLINE_API int WINAPI UnhookMouse();

// Plays up to 1024 codes (16, 17, 18 toggle their modifier). Returns 0 when started or
// refused because a playback is running (test the event first), 6 when nothing can be
// played. The calling thread must keep dispatching messages while it plays.
TAPLINE_API int WINAPI PostKeyMessages(const int* codes, int count);

// On entry *count is the capacity of codes, on return the number written. Returns 0, or
// 1 unclosed brace, 2 unknown key, 4 repeat count 0, 5 output full.
TAPLINE_API int WINAPI ConvertKeyCode(const char* text, int* codes, int* count);

// Manual-reset event of the calling process, signalled while no playback runs.
TAPLINE_API HANDLE WINAPI GetPostKeyEventHandle();
