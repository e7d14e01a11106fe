#!/usr/bin/env bash
# The drawers' time per mouse move under Wine on a 1920 x 1080 display of its own.
# Usage: scripts/effect_bench.sh [BUILD_DIR]   (default build/win)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win}
cmake --build "$build" --target kestrel4_effect_bench -j2 >/dev/null
for n in $(seq 121 150); do
  [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] || break
done
Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/kestrel-bench.XXXXXX)/prefix
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null; rm -rf "$(dirname "$WINEPREFIX")"' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${n}" ] && break; sleep 0.1; done
wineboot -i >/dev/null 2>&1
wine "$build/bin/kestrel4_effect_bench.exe" | tr -d '\r'
