// The library of cursor items (page 145) or stamp items (page 146): the items drawn in a
// list, and New..., Edit... and Delete through Glyphpad. A self-contained child page: the
// Presentation Support screen creates it over an area of its own and passes the editor's
// notice (0x52C for cursors, 0x52D for stamps) on to it.
#pragma once
#include <string>
#include <vector>

#include "cursor_info.h"
#include "dialog_base.h"
#include "item_library.h"

constexpr UINT UM_EDITOR_CURSOR_SAVED = 0x52C;
constexpr UINT UM_EDITOR_STAMP_SAVED = 0x52D;

class CItemLibraryPage : public CDialogBase {
public:
    explicit CItemLibraryPage(EItemKind kind);

    // A child of parent over area (parent's client coordinates), shown.
    HWND Create(HWND parent, const RECT& area);
    // The item the effect uses; "" when the library is empty.
    std::string GetSelectedName() const;
    void SelectName(const std::string& name);
    // The editor saved an item: read the library again.
    void Relist();

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnNew();
    void OnEdit();
    void OnDelete();
    void DrawItem(const DRAWITEMSTRUCT& item);
    void RunEditorWith(const std::string& arguments);
    int Message(UINT textId, UINT flags);
    int Selected() const;

    CItemLibrary m_Library;
    std::vector<CCursorInfo> m_Images; // in list order; blank when a file cannot be read
};
