// The panel's page reset: the items of the visible page back to their factory values, one
// reset command each, with each page's exceptions. The Resolution reset makes the projector
// lock onto the signal anew; the walk waits for its report before going on.
#pragma once
#include <cstdint>

#include "setting_items.h"

class CSettingModel;

// The resolution-wait flag: raised before the wait, lowered by the projector's report that the
// signal was found again.
class CResolutionWait {
public:
    void Raise() { m_bWaiting = true; }
    void Lower() { m_bWaiting = false; }
    bool IsWaiting() const { return m_bWaiting; }
    // Every item change the projector reports passes here.
    void OnItemChanged(uint16_t item, bool fromProjector);

private:
    bool m_bWaiting = false;
};

const unsigned long kResolutionWaitMs = 60000;

// The page a tab resets: the Video tab by the input; -1 for the About tab.
int ResetPageOfTab(int tab, bool computerInput);
// Whether "Reset..." is enabled on a tab, from the reset locks of the current projector.
bool IsResetEnabled(const CSettingModel& model, int tab);

// Walks the page's list for the current projector; 1 when it went to the end, 0 when a reset
// went unanswered and the walk stopped.
int ResetPage(CSettingModel& model, EResetPage page, CResolutionWait& wait, unsigned long waitMs = kResolutionWaitMs);
// "Reset All" of the current projector: the projector's reports drive the rest.
int ResetAll(CSettingModel& model);
