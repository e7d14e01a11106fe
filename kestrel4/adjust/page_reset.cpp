#include "page_reset.h"

#include "setting_model.h"
#include "zelq_items.h"

namespace {
const int kInputNoSignalAdjust = 64; // an input whose signal items the projector keeps fixed

// Whether the walk of a page leaves an item out, before the lock test.
bool IsSkipped(const CSettingModel& model, EResetPage page, uint16_t code)
{
    switch (page) {
    case RESET_VIDEO_COMPUTER:
        // Presets are registered and kept, never reset from here.
        if (code == kItemRegisterPreset || code == kItemPresets)
            return true;
        return model.GetInputCode() == kInputNoSignalAdjust &&
               (code == kItemResolution || code == kItemTracking || code == kItemBlue);
    case RESET_VIDEO_VIDEO:
        return code == kItemTint && !model.IsTintAvailable();
    case RESET_SETTING:
        return code == kItemBnc;
    default:
        return false;
    }
}
} // namespace

void CResolutionWait::OnItemChanged(uint16_t item, bool fromProjector)
{
    // The projector reports the signal once it has locked onto it again.
    if (fromProjector && item == kItemSignal)
        m_bWaiting = false;
}

int ResetPageOfTab(int tab, bool computerInput)
{
    switch (tab) {
    case TAB_VIDEO:
        return computerInput ? RESET_VIDEO_COMPUTER : RESET_VIDEO_VIDEO;
    case TAB_AUDIO:
        return RESET_AUDIO;
    case TAB_SETTING:
        return RESET_SETTING;
    case TAB_ADVANCED:
        return RESET_ADVANCED;
    case TAB_GAMMA:
        return RESET_GAMMA;
    default:
        return -1;
    }
}

bool IsResetEnabled(const CSettingModel& model, int tab)
{
    auto locked = [&](uint16_t code) { return model.IsItemLocked(code, 0, -1) == 1; };
    switch (tab) {
    case TAB_VIDEO:
        return !locked(kLockResetVideo) && model.IsSignalValid();
    case TAB_AUDIO:
        return !locked(kLockResetAudio);
    case TAB_SETTING:
        return !locked(kLockResetSetting);
    case TAB_ADVANCED:
        return !(locked(kLockResetAdvanced) && locked(kLockResetEffect));
    case TAB_GAMMA:
        return !locked(kItemGamma);
    default:
        return false;
    }
}

int ResetPage(CSettingModel& model, EResetPage page, CResolutionWait& wait, unsigned long waitMs)
{
    CConnection& connection = model.Connection();
    int stack = connection.IsStackMode();
    if (page == RESET_GAMMA) {
        // The choice alone: the projector restores the parameters that belong to it.
        model.ResetItem(stack, -1, kItemGamma);
        return 1;
    }
    unsigned int count;
    const uint16_t* list = ResetList(page, count);
    for (unsigned int i = 0; i < count; ++i) {
        uint16_t code = list[i];
        if (IsSkipped(model, page, code) || !IsItemOfModel(code, connection.Model()) ||
            model.IsItemLocked(code, 0, -1) == 1)
            continue;
        // Raised before the command: the report may come with its answer.
        if (code == kItemResolution)
            wait.Raise();
        int reset = model.ResetItem(stack, -1, code);
        if (code == kItemResolution) {
            if (reset)
                connection.Link().WaitUntil([&] { return !wait.IsWaiting(); }, waitMs);
            wait.Lower();
        }
        if (!reset && connection.Receiver().ReplyState() != REPLY_ANSWERED)
            return 0;
    }
    return 1;
}

int ResetAll(CSettingModel& model)
{
    const unsigned char start = 0;
    return model.SetItem(model.Connection().IsStackMode(), -1, kItemResetAll, &start, 1);
}
