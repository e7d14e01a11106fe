// The library of cursor items (page 145) or stamp items (page 146): the items drawn in a
// list, and New..., Edit... and Delete through Glyphpad. A self-contained child page: the
// Presentation Support screen derives its Stamp and Cursor change pages from it (the dialog
// base is shared, so one window serves both roles) and passes the editor's notice (0x52C
// for cursors, 0x52D for stamps) on to it.
#pragma once
#include <string>
#include <vector>

#include "cursor_info.h"
#include "dialog_base.h"
#include "item_library.h"

constexpr UINT UM_EDITOR_CURSOR_SAVED = 0x52C;
constexpr UINT UM_EDITOR_STAMP_SAVED = 0x52D;

class CItemLibraryPage : public virtual CDialogBase {
public:
    explicit CItemLibraryPage(EItemKind kind);

    // A child of parent over area (parent's client coordinates), shown.
    HWND Create(HWND parent, const RECT& area);
    // The selected item; "" when none is.
    std::string GetSelectedName() const;
    // Selects the item of that name exactly (any case); none when it is not listed.
    void SelectName(const std::string& name);
    // The editor saved an item: read the library again.
    void Relist();
    EItemKind GetKind() const { return m_Library.GetKind(); }
    static UINT TemplateOf(EItemKind kind);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The item to select once the library is read again, given the one selected before
    // (after a delete, the one now in its place): that one, or the first.
    virtual std::string ItemToSelect(const std::string& previous) const;
    // The user selected an entry of the list.
    virtual void OnItemChosen(const std::string&) {}
    // Item deleted of before is gone and the later files have moved one name down.
    virtual void OnItemDeleted(const std::vector<std::string>& /*before*/, size_t /*deleted*/) {}

private:
    void Fill(const std::string& previous);
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
