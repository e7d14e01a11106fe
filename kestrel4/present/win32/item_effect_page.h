// The setting pages of the Stamp and Cursor change effects: the item library of that kind,
// whose selected entry is the item the shown effect uses.
#pragma once
#include "effect_pages.h"
#include "item_library_page.h"

#include <string>
#include <vector>

class CItemEffectPage : public CEffectPage, public CItemLibraryPage {
public:
    CItemEffectPage(IEffectPageHost& host, EItemKind kind)
        : CEffectPage(host, TemplateOf(kind)), CItemLibraryPage(kind)
    {
    }
    // Reads the library again, since the editor or another page may have changed it, and
    // selects the effect's item.
    void ShowEffect(CEffect* effect) override;

protected:
    std::string ItemToSelect(const std::string& previous) const override;
    void OnItemChosen(const std::string& name) override;
    void OnItemDeleted(const std::vector<std::string>& before, size_t deleted) override;

private:
    int EffectType() const { return GetKind() == ITEM_STAMP ? EFFECT_STAMP : EFFECT_CUSTOM_CURSOR; }

    CPictureEffect* m_pEffect = nullptr;
};
