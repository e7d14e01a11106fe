#!/usr/bin/env bash
# The drawers' time per mouse move under Wine, on displays of their own of 1920 x 1080 and
# 3840 x 2160 (or the sizes given).
# Usage: scripts/effect_bench.sh [BUILD_DIR [WxH...]]   (default build/win 1920x1080 3840x2160)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1920x1080 3840x2160)
cmake --build "$build" --target kestrel4_effect_bench -j2 >/dev/null
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
for size in "${sizes[@]}"; do
  for n in $(seq 121 150); do
    [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] || break
  done
  Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=":$n"
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d /tmp/kestrel-bench.XXXXXX)/prefix
  trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null; rm -rf "$(dirname "$WINEPREFIX")"' EXIT
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${n}" ] && break; sleep 0.1; done
  wineboot -i >/dev/null 2>&1
  wine "$build/bin/kestrel4_effect_bench.exe" | tr -d '\r'
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$(dirname "$WINEPREFIX")"
  trap - EXIT
done
