// Linked into every program: before main runs, libraries loaded later by name come only
// from the program's own folder and the system folder, never from the current directory
// or PATH, where anyone could put a DLL of the same name. The libraries the program links
// (Serilox.dll, Tapline.dll) are already loaded from beside it by then.
#include <windows.h>

namespace {

struct SSafeDllSearch {
    SSafeDllSearch()
    {
        // Takes the current directory out of the search order, also on systems where the
        // call below is missing.
        SetDllDirectoryW(L"");
        // Looked up at run time: Windows 7 has it only with an update.
        using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                       reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                 : nullptr;
        if (setDefault)
            setDefault(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
};

// Constructed before main, after the load-time linked libraries.
SSafeDllSearch s_safeDllSearch;

} // namespace
