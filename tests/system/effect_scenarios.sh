#!/usr/bin/env bash
# System scenarios of the presentation effects: Kestrel4.exe under Wine with the real
# Tapline hooks, input from the X server through xdotool, results read from screenshots.
# Usage: effect_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
set -uo pipefail

exe=$1
driver=$2
shots=$3
: "${DISPLAY:?needs a display (source scripts/wine-session.sh)}"
: "${WINEPREFIX:?needs a Wine prefix (source scripts/wine-session.sh)}"

mkdir -p "$shots"
rm -f "$shots"/*.png
work=$(mktemp -d /tmp/kestrel4-effects.XXXXXX)
cp "$exe" "$work/Kestrel4.exe"
cp "$(dirname "$exe")"/Serilox.dll "$(dirname "$exe")"/Tapline.dll "$work/"
cp "$driver" "$work/kdriver.exe"
keylog="$work/keys.log"
app_pid=
canvas_pid=
failures=0
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$canvas_pid" ] && kill "$canvas_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

say() { echo "== $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect() {  # expect WHAT EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then echo "ok: $1"; else fail "$1: expected [$2], got [$3]"; fi
}
k() { (cd "$work" && wine kdriver.exe "$@" 2>/dev/null | tr -d '\r'); }
grab() { import -window root "$work/$1.png"; }
shot() { cp "$work/$1.png" "$shots/$2.png" && echo "screenshot: $2.png"; }  # shot GRABBED NAME
# The colour of one pixel of a grabbed screen as rrggbb.
pixel() {  # pixel NAME X Y
  convert "$work/$1.png" -format '%[hex:p{'"$2"','"$3"'}]' info: 2>/dev/null | cut -c1-6 | tr 'A-F' 'a-f'
}
# Pixels that differ between two grabbed screens, or within a region WxH+X+Y of them.
differ() {  # differ NAME OTHER [REGION]
  if [ $# -gt 2 ]; then
    convert "$work/$1.png" -crop "$3" +repage "$work/region-a.png"
    convert "$work/$2.png" -crop "$3" +repage "$work/region-b.png"
    compare -metric AE "$work/region-a.png" "$work/region-b.png" null: 2>&1 | cut -d' ' -f1
  else
    compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1
  fi
}
# Grabs the screen into NAME until pixel X Y is (or with "not", is not) COLOUR.
wait_pixel() {  # wait_pixel NAME X Y [not] COLOUR SECONDS
  local negate=0
  if [ "$4" == not ]; then negate=1; shift; fi
  for _ in $(seq $(($5 * 4))); do
    grab "$1"
    local p
    p=$(pixel "$1" "$2" "$3")
    if [ $negate == 0 ] && [ "$p" == "$4" ]; then return 0; fi
    if [ $negate == 1 ] && [ "$p" != "$4" ]; then return 0; fi
    sleep 0.25
  done
  return 1
}
wait_same() {  # wait_same NAME REFERENCE SECONDS [REGION]: grab NAME until it equals REFERENCE
  for _ in $(seq $(($3 * 4))); do
    grab "$1"
    [ "$(differ "$1" "$2" "${@:4}")" == 0 ] && return 0
    sleep 0.25
  done
  return 1
}
wait_log() {  # wait_log LINE SECONDS
  for _ in $(seq $(($2 * 10))); do
    grep -qx "$1" "$keylog" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
start_app() {
  (cd "$work" && exec wine Kestrel4.exe) &
  app_pid=$!
  k wait-visible Kestrel 30000 || fail "main window never shown"
  for _ in $(seq 150); do [ "$(k iconic Kestrel)" == 1 ] && break; sleep 0.2; done
}
wait_app_exit() {  # wait_app_exit SECONDS
  for _ in $(seq $(($1 * 10))); do
    kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid" 2>/dev/null; app_pid=; return 0; }
    sleep 0.1
  done
  return 1
}
# A click on the canvas (where no window of Kestrel is) activates it; without a window
# manager the X server's keyboard focus is given to it by hand.
canvas_front() {
  xdotool mousemove 100 100 click 1
  xdotool search --name '^Canvas$' windowfocus 2>/dev/null
  sleep 0.5
}

# Slot 1 a spot light on green, 2 a red free line, 3 Clear screen, 4 Page Up, 5 a cursor change.
cat > "$work/Kestrel4.ini" <<'INI'
[ConnectStatus]
ConnectMode=1
[Support_SectionName]
SectionNum=1
SectionName0=Support_Defaults
[Support_CurrentSection]
Support_Defaults=1
[Support_Defaults]
Effect1=SPOT_LIGHT
E1SpotLightEffectColor=65280
E1SpotLightEffectDiameter=200
E1SpotLightEffectClear=0
Effect2=FREE_LINE
E2FreeLineEffectColor=255
E2FreeLineEffectLineWidth=5
E2FreeLineEffectClear=0
Effect3=CLEAR_SCREEN
Effect4=KEY
E4KeyEffectVKeyArrayString0=Support_Defaults_Struct40
E4KeyEffectKeyEventString0=Page Up
Effect5=CUSTOM_CURSOR
E5CustomCursorEffectFileName=00.crs
[Support_Defaults_Struct40]
VirtualKeyCodeSize=1
VirtualKeyCode0=33
[ExecuteEffectKey]
Effect1=Ctrl + Shift + P
Effect2=Ctrl + Shift + F
Effect3=Ctrl + Shift + C
Effect4=Ctrl + Shift + K
Effect5=Ctrl + Shift + U
INI

(cd "$work" && exec wine kdriver.exe canvas Canvas "$keylog") >/dev/null 2>&1 &
canvas_pid=$!
k wait-visible Canvas 30000 || fail "canvas never shown"
start_app
canvas_front
xdotool mousemove 900 700
sleep 0.5
grab before
shot before 01-canvas

GREEN=00ff00
RED=ff0000

say "minimized: Ctrl+Shift+P starts the spot light"
xdotool mousemove 640 512
xdotool key ctrl+shift+p
wait_pixel spot 20 20 "$GREEN" 10 || fail "no green outside the spot"
shot spot 02-spot-light
expect "outside the spot: the background colour" "$GREEN" "$(pixel spot 1200 1000)"
expect "inside the spot: the old picture" "$(pixel before 640 512)" "$(pixel spot 640 512)"
expect "edge of the spot still inside" "$(pixel before 560 512)" "$(pixel spot 560 512)"
expect "just beyond the spot" "$GREEN" "$(pixel spot 640 630)"
xdotool mousemove 300 300
wait_pixel spot-moved 640 512 "$GREEN" 10 || fail "the spot did not leave its first place"
shot spot-moved 03-spot-light-moved
expect "the spot followed the mouse" "$(pixel before 300 300)" "$(pixel spot-moved 300 300)"
say "a right click ends it and leaves the screen as it was"
xdotool click 3
wait_same after-spot before 10 || fail "screen after the spot light differs in $(differ after-spot before) pixels"
shot after-spot 04-after-spot-light

say "a Key effect plays Page Up into the active program"
canvas_front
: > "$keylog"
xdotool key ctrl+shift+k
wait_log "down 33" 10 || fail "Page Up never arrived"
wait_log "up 33" 10 || fail "Page Up never came up"
expect "the shortcut's key itself was swallowed" 0 "$(grep -c ' 75$' "$keylog")"

say "restored: the same shortcut reaches the active program and nothing runs"
k show Kestrel restore
for _ in $(seq 30); do [ "$(k iconic Kestrel)" == 0 ] && break; sleep 0.2; done
canvas_front
grab restored-before
: > "$keylog"
xdotool key ctrl+shift+k
wait_log "down 75" 10 || fail "K did not reach the canvas"
expect "no Page Up played" 0 "$(grep -c ' 33$' "$keylog")"
xdotool mousemove 640 512
xdotool key ctrl+shift+p
sleep 1
grab restored-after
expect "no spot light while restored" "$(pixel restored-before 20 20)" "$(pixel restored-after 20 20)"

say "Test: the overlay takes the drawing and Esc closes it without a trace"
k foreground Kestrel
sleep 0.5
k tab Kestrel 1004 1
sleep 0.5
grab test-before
k click "Kestrel/Free Line" 1015
sleep 1
# Below the main window, whose focused control the test moves to the Test button.
below=1280x260+0+764
xdotool mousemove 700 900 mousedown 1
for x in $(seq 700 20 900); do xdotool mousemove "$x" 900; done
xdotool mouseup 1
wait_pixel test-drawn 800 900 "$RED" 10 || fail "the test drew nothing"
shot test-drawn 07-test-overlay
expect "the overlay shows the screen as it was" "$(pixel test-before 100 100)" "$(pixel test-drawn 100 100)"
xdotool key Escape
wait_same test-after test-before 10 "$below" || fail "after the test $(differ test-after test-before "$below") pixels differ"
shot test-after 08-after-test

say "a free line drawn with the mouse, gone after Clear screen"
k show Kestrel minimize
for _ in $(seq 30); do [ "$(k iconic Kestrel)" == 1 ] && break; sleep 0.2; done
canvas_front
grab before-line
xdotool mousemove 200 200
xdotool key ctrl+shift+f
sleep 1
xdotool mousedown 1
for x in $(seq 210 20 600); do xdotool mousemove "$x" $((200 + (x - 200) / 4)); done
xdotool mouseup 1
wait_pixel line 400 250 "$RED" 10 || fail "no red line on the screen"
shot line 05-free-line
expect "the line ends where the mouse went" "$RED" "$(pixel line 590 297)"
xdotool click 3
canvas_front
xdotool key ctrl+shift+c
wait_same after-clear before-line 10 || fail "after Clear screen $(differ after-clear before-line) pixels differ"
shot after-clear 06-after-clear-screen

say "closing the program while a Cursor change runs"
k show Kestrel minimize
for _ in $(seq 30); do [ "$(k iconic Kestrel)" == 1 ] && break; sleep 0.2; done
canvas_front
xdotool key ctrl+shift+u
sleep 1
k close Kestrel
wait_app_exit 20 || fail "the program did not end"
# The mouse hook went with the effect: clicks reach the canvas again.
canvas_front
: > "$keylog"
xdotool key z
wait_log "down 90" 10 || fail "the desktop's input did not come back"

echo "effect scenarios: $failures failure(s)"
[ "$failures" == 0 ]
