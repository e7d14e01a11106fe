// Owners of Win32 handles: each is released once, by whoever holds it last.
#pragma once
#include <windows.h>

#include <memory>
#include <type_traits>

struct SIconRelease {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using CIcon = std::unique_ptr<std::remove_pointer_t<HICON>, SIconRelease>;

struct SHandleRelease {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using CHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, SHandleRelease>;
