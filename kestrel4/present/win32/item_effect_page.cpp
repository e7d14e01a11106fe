#include "item_effect_page.h"

void CItemEffectPage::ShowEffect(CEffect* effect)
{
    m_pEffect = effect && effect->GetType() == EffectType() ? static_cast<CPictureEffect*>(effect) : nullptr;
    Relist();
}

std::string CItemEffectPage::ItemToSelect(const std::string&) const
{
    // The list shows what the effect uses, even when that file is missing: then nothing.
    return m_pEffect ? m_pEffect->GetItemName() : std::string();
}

void CItemEffectPage::OnItemChosen(const std::string& name)
{
    if (!m_pEffect || name == m_pEffect->GetItemName())
        return;
    m_pEffect->SetItemName(name);
    m_Host.OnEffectChanged();
}

void CItemEffectPage::OnItemDeleted(const std::vector<std::string>& before, size_t deleted)
{
    m_Host.OnItemsRenumbered(EffectType(), before, deleted);
}
