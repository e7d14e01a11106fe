// CLogoAreaDialog: the user chooses the part of the logo picture to use, with a rubber band
// in a scrolling view of the picture at its own size.
#pragma once
#include "dialog_base.h"
#include "dib_logo.h"

class CLogoAreaDialog : public CDialogBase {
public:
    // An empty area starts as the whole picture.
    explicit CLogoAreaDialog(const CDIBLogo& picture);
    const SArea& GetArea() const { return m_Area; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    friend LRESULT CALLBACK AreaViewProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT ViewMessage(HWND view, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnInit();
    void LayoutBars();
    void Scroll(int bar, int code, int thumb);
    POINT Offset() const;
    POINT ToImage(POINT view) const;
    void OnDrag(POINT pointer);
    void PaintView(HDC dc);

    CDIBLogo m_Picture;
    SArea m_Area;
    HWND m_hView = nullptr;
    int m_nPos[2] = {0, 0}; // scroll bars 0..100: SB_HORZ, SB_VERT
    bool m_bBar[2] = {false, false};
    bool m_bDragging = false;
    bool m_bMoved = false;
    POINT m_Anchor = {0, 0}; // image coordinates
    POINT m_End = {0, 0};    // view coordinates
};
