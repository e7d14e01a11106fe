#include "monitor_layout.h"

#include <algorithm>
#include <climits>

namespace {

bool Contains(const SRect& r, SPoint p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// Squared distance from the point to the rectangle's nearest pixel.
long long DistanceSquared(const SRect& r, SPoint p)
{
    SPoint q = ClampToRect(p, r);
    long long dx = p.x - q.x, dy = p.y - q.y;
    return dx * dx + dy * dy;
}

} // namespace

SPoint ClampToRect(SPoint p, const SRect& r)
{
    if (r.IsEmpty())
        return p;
    return {std::min(std::max(p.x, r.left), r.right - 1), std::min(std::max(p.y, r.top), r.bottom - 1)};
}

int MonitorAt(const std::vector<SMonitor>& monitors, SPoint point)
{
    int nearest = -1;
    long long best = LLONG_MAX;
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (Contains(monitors[i].rect, point))
            return static_cast<int>(i);
        long long d = DistanceSquared(monitors[i].rect, point);
        if (d < best) {
            best = d;
            nearest = static_cast<int>(i);
        }
    }
    return nearest;
}

int PrimaryMonitor(const std::vector<SMonitor>& monitors)
{
    for (size_t i = 0; i < monitors.size(); ++i)
        if (monitors[i].bPrimary)
            return static_cast<int>(i);
    return monitors.empty() ? -1 : 0;
}

SRect EffectMonitorRect(const std::vector<SMonitor>& monitors, SPoint pointer, EEffectMonitor choice)
{
    int index = choice == EFFECT_MONITOR_PRIMARY ? PrimaryMonitor(monitors) : MonitorAt(monitors, pointer);
    return index < 0 ? SRect() : monitors[static_cast<size_t>(index)].rect;
}

SRect VirtualScreen(const std::vector<SMonitor>& monitors)
{
    SRect all;
    for (const SMonitor& m : monitors)
        all = UnionOf(all, m.rect);
    return all;
}

bool NeedsConfinement(const std::vector<SMonitor>& monitors, const SRect& area)
{
    return !area.IsEmpty() && !(VirtualScreen(monitors) == area);
}

EEffectMonitor EffectMonitorFromValue(int value)
{
    return value == EFFECT_MONITOR_PRIMARY ? EFFECT_MONITOR_PRIMARY : EFFECT_MONITOR_POINTER;
}
