#include <windows.h>

#include "platform_types.h"

// The thread that loads the library (the program's user-interface thread) runs one level
// below the receive threads, above ordinary programs.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    return TRUE;
}
