// Which monitor an effect runs on: the one under the pointer or the primary one, chosen from
// the monitors' rectangles in virtual-screen coordinates (left of or above the primary
// monitor they are negative), and the pointer kept on it while the effect runs.
#pragma once
#include "effect_geometry.h"

#include <vector>

struct SMonitor {
    SRect rect;
    bool bPrimary = false;
};

enum EEffectMonitor {
    EFFECT_MONITOR_POINTER = 0, // the monitor under the pointer
    EFFECT_MONITOR_PRIMARY = 1,
};

// The monitor holding the point, else the nearest one (the pointer sits in a gap between
// monitors of different sizes); -1 for no monitors.
int MonitorAt(const std::vector<SMonitor>& monitors, SPoint point);
// The index of the primary monitor; the first one when none says so, -1 for no monitors.
int PrimaryMonitor(const std::vector<SMonitor>& monitors);
// The rectangle an effect started with the pointer at point runs on; empty for no monitors.
SRect EffectMonitorRect(const std::vector<SMonitor>& monitors, SPoint pointer, EEffectMonitor choice);
// The bounding rectangle of all monitors.
SRect VirtualScreen(const std::vector<SMonitor>& monitors);
// Whether the pointer must be confined to area: not when area is all there is anyway.
bool NeedsConfinement(const std::vector<SMonitor>& monitors, const SRect& area);
// The nearest point of r (r's right and bottom are outside).
SPoint ClampToRect(SPoint p, const SRect& r);
// An ini value of the choice: anything but 1 means the monitor under the pointer.
EEffectMonitor EffectMonitorFromValue(int value);
