#!/usr/bin/env bash
# System scenarios of the presentation effects: Kestrel4.exe under Wine with the real
# Tapline hooks, input from the X server through xdotool, results read from screenshots and
# from the key log of a full-screen test window (kdriver canvas). The projector stays unused.
# Usage: effect_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
source "$(dirname "$0")/scenario_lib.sh"

keylog="$work/keys.log"
canvas_pid=
trap 'cleanup; [ -n "$canvas_pid" ] && kill "$canvas_pid" 2>/dev/null' EXIT

# Every window of the prefix lives inside one Wine desktop window. Without it, and without a
# window manager, Wine hands the X focus on with time stamps the X server may refuse: the
# focus then stays on a window that is no longer the foreground one (the minimized main
# window), and keys typed there are lost. Inside the desktop the foreground window is Wine's
# alone, and keys that reach the desktop window go to it: each key press below first gives
# the desktop window the X focus, which the X server always accepts from xdotool.
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
# A desktop of its own name: the prefix's "Default" one may exist already, without a window.
desktop_set() {
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Effects /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Effects /t REG_SZ /d "${screen_w}x${screen_h}" /f >/dev/null 2>&1
  wine reg query 'HKCU\Software\Wine\Explorer\Desktops' /v Effects 2>/dev/null | grep -q "${screen_w}x${screen_h}"
}
wait_for "$WAIT_LONG" desktop_set || fail "the Wine desktop could not be set"
desk=
desktop_shown() { desk=$(xdotool search --onlyvisible --name '^Effects - Wine desktop$' 2>/dev/null | head -n 1); [ -n "$desk" ]; }
press() { xdotool windowfocus --sync "$desk" key "$@"; }

grab() { import -window root "$work/$1.png"; }
keep() { cp "$work/$1.png" "$shots/$2.png" && echo "screenshot: $2.png"; }  # keep GRABBED NAME
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
# The first pixel of row Y whose colour an AND with c8c8c8 changes: its x and that AND.
and_changed() {  # and_changed NAME Y
  local line x value
  while read -r line; do
    x=${line%%,*}
    value=$((16#$(echo "$line" | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p')))
    if [ $((value & 0xc8c8c8)) -ne "$value" ]; then
      printf '%s %06x\n' "$x" $((value & 0xc8c8c8))
      return 0
    fi
  done < <(convert "$work/$1.png" -crop "${screen_w}x1+0+$2" +repage txt:- 2>/dev/null | tail -n +2)
  return 1
}
grabbed_pixel_is() { grab "$1" && [ "$(pixel "$1" "$2" "$3")" == "$4" ]; }  # NAME X Y COLOUR
grabbed_pixel_not() { grab "$1" && [ "$(pixel "$1" "$2" "$3")" != "$4" ]; }
grabbed_same() { grab "$1" && [ "$(differ "$1" "$2" "${@:3}")" == 0 ]; }  # NAME REFERENCE [REGION]
wait_grab_pixel() { wait_for "$WAIT_SHORT" grabbed_pixel_is "$@"; }
wait_grab_same() { wait_for "$WAIT_SHORT" grabbed_same "$@"; }

# The canvas writes its log with CR LF.
logged() { tr -d '\r' < "$keylog" 2>/dev/null | grep -qx "$1"; }
wait_log() { wait_for "$WAIT_SHORT" logged "$1"; }
count_log() { tr -d '\r' < "$keylog" 2>/dev/null | grep -cx "$1" || true; }
# In the foreground, as Wine sees it, before anything is typed.
fronted() { k foreground "$1"; k_is 1 foreground-is "$1"; }
activate() { wait_for "$WAIT_SHORT" fronted "$1" || fail "$1 not in the foreground"; }
# Ctrl+Shift+KEY over the canvas. The modifiers stay down until the canvas has seen a Z
# typed after KEY: the shortcut is matched with the modifiers' state of that moment, and the
# canvas sees the Z only once KEY went through the keyboard hook, whose answer waits for the
# effect's start.
shortcut() {  # shortcut KEY
  activate Canvas
  : > "$keylog"
  xdotool windowfocus --sync "$desk" keydown ctrl keydown shift key "$1" key z
  wait_log "up 90" || fail "the canvas never saw the Z after Ctrl+Shift+$1"
  xdotool keyup shift keyup ctrl
  wait_log "up 17" || fail "the canvas never saw Ctrl released"
}
minimize_main() {
  k show Kestrel minimize
  wait_iconic 1 || fail "main window not minimized"
}

# Slot 1 a spot light on green, 2 a red free line, 3 Clear screen, 4 Page Up, 5 a cursor change.
{
  effects_ini_start
  cat <<'INI'
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
} > "$ini"

# Without the desktop window no key would arrive anywhere: nothing more to check.
start_canvas_and_app desktop_shown "no Wine desktop window" "effect scenarios"
activate Canvas
xdotool mousemove 900 700
grab before
keep before 01-canvas

GREEN=00ff00
RED=ff0000

say "minimized: Ctrl+Shift+P starts the spot light"
xdotool mousemove 640 512
shortcut p
wait_grab_pixel spot 20 20 "$GREEN" || fail "no green outside the spot"
keep spot 02-spot-light
expect "outside the spot: the background colour" "$GREEN" "$(pixel spot 1200 1000)"
expect "inside the spot: the old picture" "$(pixel before 640 512)" "$(pixel spot 640 512)"
expect "edge of the spot still inside" "$(pixel before 560 512)" "$(pixel spot 560 512)"
expect "just beyond the spot" "$GREEN" "$(pixel spot 640 630)"
expect "the shortcut's key was swallowed" 0 "$(count_log 'down 80')"
xdotool mousemove 300 300
wait_grab_pixel spot-moved 640 512 "$GREEN" || fail "the spot did not leave its first place"
keep spot-moved 03-spot-light-moved
expect "the spot followed the mouse" "$(pixel before 300 300)" "$(pixel spot-moved 300 300)"
say "the effect swallows the mouse; a right click ends it and leaves the screen as it was"
xdotool click 1
xdotool click 3
wait_grab_same after-spot before || fail "screen after the spot light differs in $(differ after-spot before) pixels"
keep after-spot 04-after-spot-light
expect "the left click during the effect never reached the canvas" 0 "$(tr -d '\r' < "$keylog" | grep -c '^click')"
xdotool mousemove 100 100 click 1
wait_log "click 100 100" || fail "clicks did not reach the canvas after the effect"

say "a Key effect plays Page Up into the active program"
shortcut k
wait_log "down 33" || fail "Page Up never arrived"
wait_log "up 33" || fail "Page Up never came up"
expect "the shortcut's key was swallowed" 0 "$(count_log 'down 75')"
# The first Key effect since the main window was minimized plays no Ctrl or Shift releases.
expect "only Page Up played, no modifier releases" "1 1" "$(count_log 'down 17') $(count_log 'down 16')"

say "restored: the same shortcut reaches the active program and nothing runs"
# Restored and in the foreground before the canvas takes it back: an activation of the
# restore still on its way would take the keys typed below.
restore_main
activate Canvas
grab restored-before
: > "$keylog"
press ctrl+shift+k
wait_log "down 75" || fail "K did not reach the canvas"
expect "no Page Up played" 0 "$(count_log 'down 33')"
xdotool mousemove 640 512
: > "$keylog"
press ctrl+shift+p
wait_log "down 80" || fail "P did not reach the canvas"
grab restored-after
expect "no spot light while restored" "$(pixel restored-before 20 20)" "$(pixel restored-after 20 20)"

say "Test: the overlay takes the drawing and Esc closes it without a trace"
activate Kestrel
k tab Kestrel 1004 1
wait_for "$WAIT_SHORT" k_is 1 visible "Kestrel/Free Line" 1015 || fail "the Free Line page not shown"
grab test-before
k click "Kestrel/Free Line" 1015
wait_for "$WAIT_SHORT" k_is 1 overlay Kestrel || fail "no test overlay"
# Below the main window, whose focused control the test moves to the Test button.
below=1280x260+0+764
xdotool mousemove 700 900 mousedown 1
for x in $(seq 700 20 900); do xdotool mousemove "$x" 900; done
xdotool mouseup 1
wait_grab_pixel test-drawn 800 900 "$RED" || fail "the test drew nothing"
keep test-drawn 07-test-overlay
expect "the overlay shows the screen as it was" "$(pixel test-before 100 100)" "$(pixel test-drawn 100 100)"
press Escape
wait_for "$WAIT_SHORT" k_is 0 overlay Kestrel || fail "Esc left the overlay open"
wait_grab_same test-after test-before "$below" || fail "after the test $(differ test-after test-before "$below") pixels differ"
keep test-after 08-after-test

say "a transparent white bar is ANDed with the screen in c8c8c8"
k tab Kestrel 1004 0
k lselect "Kestrel/Presentation Support" 1000 4
wait_for "$WAIT_SHORT" k_is 1 visible "Kestrel/Bar" 1015 || fail "the Bar page not shown"
k click "Kestrel/Bar" 1032
bar_white() { [ "$(ini_value Support_Temporary E1BarEffectColor)" == 16777215 ]; }
wait_for "$WAIT_SHORT" bar_white || fail "white not chosen: $(ini_value Support_Temporary E1BarEffectColor)"
expect_k "the bar is transparent" 1 checked "Kestrel/Bar" 1014
xdotool mousemove 640 900
k click "Kestrel/Bar" 1015
wait_for "$WAIT_SHORT" k_is 1 overlay Kestrel || fail "no test overlay"
grab bar-before
xdotool mousemove 640 400
if read -r bar_x bar_colour < <(and_changed bar-before 401); then
  wait_grab_pixel bar "$bar_x" 401 "$bar_colour" ||
    fail "at ($bar_x, 401) the bar shows $(pixel bar "$bar_x" 401), expected $bar_colour"
  keep bar 08a-test-bar
else
  fail "no pixel in row 401 that an AND would change"
fi
press Escape
wait_for "$WAIT_SHORT" k_is 0 overlay Kestrel || fail "Esc left the overlay open"
wait_grab_same bar-after test-before "$below" || fail "after the bar $(differ bar-after test-before "$below") pixels differ"

say "a Test run whose overlay is disabled ends when the main window shows its screen again"
k click "Kestrel/Bar" 1015
wait_for "$WAIT_SHORT" k_is 1 overlay Kestrel || fail "no test overlay"
k disable-overlay Kestrel || fail "the overlay could not be disabled"
k select Kestrel "$(rid IDC_SCREEN_LIST)" 0
wait_for "$WAIT_SHORT" k_is 0 overlay Kestrel || fail "the test still runs over its disabled overlay"
wait_grab_same after-disabled test-before "$below" || fail "after it $(differ after-disabled test-before "$below") pixels differ"

say "a free line drawn with the mouse, gone after Clear screen"
minimize_main
activate Canvas
grab before-line
xdotool mousemove 200 200
shortcut f
xdotool mousedown 1
for x in $(seq 210 20 600); do xdotool mousemove "$x" $((200 + (x - 200) / 4)); done
xdotool mouseup 1
wait_grab_pixel line 400 250 "$RED" || fail "no red line on the screen"
keep line 05-free-line
expect "the line ends where the mouse went" "$RED" "$(pixel line 590 297)"
xdotool click 3
shortcut c
wait_grab_same after-clear before-line || fail "after Clear screen $(differ after-clear before-line) pixels differ"
keep after-clear 06-after-clear-screen

say "closing the program while a Cursor change runs, a free line left on the screen"
shortcut f
xdotool mousemove 300 600 mousedown 1
for x in $(seq 310 20 700); do xdotool mousemove "$x" 600; done
xdotool mouseup 1
wait_grab_pixel line-left 500 600 "$RED" || fail "no red line on the screen"
shortcut u
k close Kestrel
wait_app_exit 20 || fail "the program did not end"
wait_grab_same after-close before-line || fail "after closing $(differ after-close before-line) pixels differ"
keep after-close 09-after-close
# The mouse hook went with the program: clicks and keys reach the canvas again.
xdotool mousemove 120 120 click 1
wait_log "click 120 120" || fail "the desktop's mouse input did not come back"
activate Canvas
press z
wait_log "down 90" || fail "the desktop's keyboard input did not come back"

finish "effect scenarios"
