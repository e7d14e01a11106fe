// CTestPattern: a disabled, top-most pop-up of the screen's size that shows one of the test
// patterns, and the dialog that chooses the pattern and the user's bitmap file.
#pragma once
#include <windows.h>

#include <string>

#include "dialog_base.h"
#include "dib.h"
#include "dib_gdi.h"
#include "test_pattern_geometry.h"

class CTestPattern {
public:
    CTestPattern() = default;
    ~CTestPattern();
    CTestPattern(const CTestPattern&) = delete;
    CTestPattern& operator=(const CTestPattern&) = delete;

    // Created once, hidden, for the main window's lifetime.
    bool Create(HWND owner);
    void Show(bool show);
    bool IsShown() const { return m_bShown; }
    // A change while shown repaints at once.
    void SetPattern(int pattern, const std::string& userFile);
    int GetPattern() const { return m_nPattern; }
    const std::string& GetUserFile() const { return m_strUserFile; }
    HWND GetHwnd() const { return m_hWnd; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Message(UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void PaintShapes(HDC dc, const SPatternShapes& shapes);
    void PaintGrayScale(HDC dc, int width, int height);
    void PaintUserFile(HDC dc, int width, int height);
    void LoadUserFile();
    bool IsPaletteDisplay() const;

    HWND m_hWnd = nullptr;
    HWND m_hOwner = nullptr;
    int m_nPattern = PATTERN_COLOR_IMAGE;
    std::string m_strUserFile;
    CDIB m_UserBitmap;
    CDIBPal m_UserPalette;
    bool m_bLoaded = false;
    bool m_bLoadTried = false;
    bool m_bShown = false;
};

// Dialog 181: the pattern and the user file; "Refer to..." remembers its folder.
class CTestPatternDialog : public CDialogBase {
public:
    CTestPatternDialog(int pattern, const std::string& userFile) : m_nPattern(pattern), m_strFile(userFile) {}
    int GetPattern() const { return m_nPattern; }
    const std::string& GetFile() const { return m_strFile; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void UpdateControls();
    void ReferTo();
    void DrawPreview(const DRAWITEMSTRUCT& item);

    int m_nPattern;
    std::string m_strFile;
    CDIB m_Preview; // the user file scaled into the preview
};

