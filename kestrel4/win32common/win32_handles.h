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

// GDI objects (pens, brushes, bitmaps, fonts, regions, palettes), deleted by their owner.
template <class T>
struct SGdiRelease {
    void operator()(T object) const { DeleteObject(object); }
};
template <class T>
using CGdiObject = std::unique_ptr<std::remove_pointer_t<T>, SGdiRelease<T>>;
using CPen = CGdiObject<HPEN>;
using CBrush = CGdiObject<HBRUSH>;
using CBitmap = CGdiObject<HBITMAP>;
using CGdiPalette = CGdiObject<HPALETTE>;

// An object selected into a device context for one scope; the one it replaced is put back.
class CSelectedObject {
public:
    CSelectedObject(HDC dc, HGDIOBJ object) : m_hDC(dc), m_hOld(SelectObject(dc, object)) {}
    ~CSelectedObject()
    {
        if (m_hOld)
            SelectObject(m_hDC, m_hOld);
    }
    CSelectedObject(const CSelectedObject&) = delete;
    CSelectedObject& operator=(const CSelectedObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// A palette selected into a device context (as the foreground palette) for one scope; the one
// it replaced is put back. A null palette selects nothing.
class CSelectedPalette {
public:
    CSelectedPalette(HDC dc, HPALETTE palette)
        : m_hDC(dc), m_hOld(palette ? SelectPalette(dc, palette, FALSE) : nullptr)
    {
    }
    ~CSelectedPalette()
    {
        if (m_hOld)
            SelectPalette(m_hDC, m_hOld, FALSE);
    }
    CSelectedPalette(const CSelectedPalette&) = delete;
    CSelectedPalette& operator=(const CSelectedPalette&) = delete;

private:
    HDC m_hDC;
    HPALETTE m_hOld;
};

// A window's device context (GetDC / GetWindowDC), released by the destructor.
class CWindowDC {
public:
    explicit CWindowDC(HWND window) : m_hWnd(window), m_hDC(GetDC(window)) {}
    ~CWindowDC()
    {
        if (m_hDC)
            ReleaseDC(m_hWnd, m_hDC);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// A memory device context compatible with another, deleted by the destructor.
struct SDCRelease {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using CMemoryDC = std::unique_ptr<std::remove_pointer_t<HDC>, SDCRelease>;
