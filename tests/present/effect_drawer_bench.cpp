// Times the drawers' work per mouse move on the real display: the spot light, the sprites
// (bar, line pointer), the free line's segments and the rubber bands of the ellipse and the
// square. Each figure is over a few hundred moves along a path across the screen, each until
// the display has done the drawing. Run by scripts/effect_bench.sh on 1920 x 1080 and
// 3840 x 2160 displays.
#include "effect_drawers.h"
#include "effects.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const int kMoves = 400;

double Now()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// A path of kMoves points over the screen, a few pixels apart as a hand moves a mouse.
std::vector<SPoint> Path(int width, int height)
{
    std::vector<SPoint> points;
    for (int i = 0; i < kMoves; ++i) {
        double t = static_cast<double>(i) / kMoves;
        points.push_back(
            {static_cast<int>(width * (0.1 + 0.8 * t)), static_cast<int>(height * (0.5 + 0.35 * std::sin(t * 6.283)))});
    }
    return points;
}

void Report(const char* name, std::vector<double>& ms, double limit, double beginMs)
{
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    double mean = sum / static_cast<double>(ms.size());
    double p95 = ms[ms.size() * 95 / 100];
    std::printf("%-34s begin %6.1f ms  moves %4zu  mean %6.3f ms  p95 %6.3f ms  max %6.3f ms  (limit %.0f ms) %s\n",
                name, beginMs, ms.size(), mean, p95, ms.back(), limit, mean <= limit ? "ok" : "SLOW");
}

// pressed: the left button goes down at the path's start (a stroke); anchored: a click there
// first (a two-click shape's band follows the moves).
void Bench(const char* name, const CEffect& effect, double limit, bool pressed, bool anchored = false)
{
    CDisplayDC display;
    std::unique_ptr<IEffectDrawer> drawer =
        StartEffectDrawer(effect, nullptr, SRect{0, 0, display.Width(), display.Height()});
    std::vector<SPoint> path = Path(display.Width(), display.Height());
    // The start as the presenter sees it: until the display has the effect's first picture.
    double started = Now();
    if (!drawer || !drawer->Begin()) {
        std::printf("%-34s could not start\n", name);
        return;
    }
    GetPixel(display.Get(), path[0].x, path[0].y);
    double beginMs = Now() - started;
    if (pressed || anchored)
        drawer->LButtonDown(path[0]);
    if (anchored)
        drawer->LButtonUp(path[0]);
    std::vector<double> ms;
    for (const SPoint& p : path) {
        double start = Now();
        drawer->MouseMove(p);
        // Windows over the screen paint what a move uncovered, as the program's loop would.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        // Drawing reaches the X server asynchronously: reading a pixel waits for it.
        GetPixel(display.Get(), p.x, p.y);
        ms.push_back(Now() - start);
    }
    if (pressed)
        drawer->LButtonUp(path.back());
    drawer->End();
    Report(name, ms, limit, beginMs);
}

} // namespace

int main()
{
    CDisplayDC display;
    std::printf("display %d x %d, %d bits per pixel\n", display.Width(), display.Height(), display.BitsPerPixel());
    SEffectContext context;

    std::unique_ptr<CEffect> spot = CreateEffect(EFFECT_SPOT_LIGHT, context);
    auto& shape = static_cast<CShapeEffect&>(*spot);
    shape.SetParam(PARAM_TRANSPARENT, 0);
    Bench("spot light 200, background colour", *spot, 4, false);
    shape.SetParam(PARAM_TRANSPARENT, 1);
    shape.SetParam(PARAM_COLOR, 0x808080);
    Bench("spot light 200, transparent", *spot, 4, false);
    shape.SetParam(PARAM_WIDTH, 400);
    Bench("spot light 400, transparent", *spot, 4, false);

    std::unique_ptr<CEffect> bar = CreateEffect(EFFECT_BAR, context);
    static_cast<CShapeEffect&>(*bar).SetParam(PARAM_VERTICAL, 1);
    Bench("bar sprite, vertical", *bar, 4, false);
    static_cast<CShapeEffect&>(*bar).SetParam(PARAM_VERTICAL, 0);
    Bench("bar sprite, horizontal", *bar, 4, false);

    std::unique_ptr<CEffect> line = CreateEffect(EFFECT_LINE, context);
    Bench("line pointer sprite", *line, 4, false);

    std::unique_ptr<CEffect> freeLine = CreateEffect(EFFECT_FREE_LINE, context);
    Bench("free line segment, opaque", *freeLine, 2, true);
    static_cast<CShapeEffect&>(*freeLine).SetParam(PARAM_TRANSPARENT, 1);
    Bench("free line segment, transparent", *freeLine, 2, true);

    // The band from the path's start to each point: it grows over most of the screen.
    std::unique_ptr<CEffect> ellipse = CreateEffect(EFFECT_ELLIPSE, context);
    Bench("band, ellipse", *ellipse, 4, false, true);
    std::unique_ptr<CEffect> square = CreateEffect(EFFECT_RECT, context);
    Bench("band, square", *square, 4, false, true);
    return 0;
}
