#!/usr/bin/env bash
# System scenarios of the effects on two monitors: an X server with the dummy driver and two
# outputs, the primary one 1280 x 1024 at (0, 0) and the projector's 1024 x 768 right of it,
# Kestrel4.exe with the real hooks, input from the X server through xdotool, results read
# from screenshots of the whole root (2304 x 1024). Needs root for the X server.
# Usage: monitor_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG

# The display the caller gave has one monitor: Wine has to start again on the two.
xconf=$(mktemp -d /tmp/kestrel-dual.XXXXXX)
cat > "$xconf/dual.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2304 1024
  EndSubSection
EndSection
CONF
# The server takes a free display number itself and writes it once it accepts clients: a
# scenario or another server starting beside this one cannot take the same.
mkfifo "$xconf/display"
Xorg -displayfd 3 -noreset -nolisten tcp -logfile "$xconf/xorg.log" -config "$xconf/dual.conf" \
  3>"$xconf/display" >/dev/null 2>&1 &
xorg=$!
n=
read -r -t 60 n <"$xconf/display" || true
if [ -z "$n" ]; then
  echo "FAIL: the X server did not start"
  kill "$xorg" 2>/dev/null
  rm -rf "$xconf"
  exit 1
fi
wineserver -k 2>/dev/null
export DISPLAY=":$n"
two_outputs() {
  xrandr --newmode m1024 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync 2>/dev/null
  xrandr --addmode DUMMY1 m1024 2>/dev/null
  xrandr --output DUMMY0 --mode 1280x1024 --primary --output DUMMY1 --mode m1024 --right-of DUMMY0 2>/dev/null
  xrandr 2>/dev/null | grep -q '^DUMMY1 connected 1024x768+1280+0'
}
for _ in $(seq 50); do two_outputs && break; sleep 0.2; done
two_outputs || echo "FAIL: the X server did not take the two outputs"
# A prefix made on the one-monitor display keeps that display's monitors: a fresh one. The
# projector stays unused, so its port is not needed there.
export WINEPREFIX="$xconf/prefix"
wineboot -i >/dev/null 2>&1

source "$(dirname "$0")/scenario_lib.sh"
keylog="$work/keys.log"
canvas_pid=
trap 'cleanup; [ -n "$canvas_pid" ] && kill "$canvas_pid" 2>/dev/null; kill "$xorg" 2>/dev/null; rm -rf "$xconf"' EXIT

# The two monitors as the screenshots cut them.
FIRST=1280x1024+0+0
SECOND=1024x768+1280+0
GREEN=00ff00

grab() { import -window root "$work/$1.png"; }
keep() { cp "$work/$1.png" "$shots/$2.png" && echo "screenshot: $2.png"; }
pixel() { convert "$work/$1.png" -format '%[hex:p{'"$2"','"$3"'}]' info: 2>/dev/null | cut -c1-6 | tr 'A-F' 'a-f'; }
differ() {  # differ NAME OTHER REGION: pixels that differ within the region
  convert "$work/$1.png" -crop "$3" +repage "$work/region-a.png"
  convert "$work/$2.png" -crop "$3" +repage "$work/region-b.png"
  compare -metric AE "$work/region-a.png" "$work/region-b.png" null: 2>&1 | cut -d' ' -f1
}
grabbed_pixel_is() { grab "$1" && [ "$(pixel "$1" "$2" "$3")" == "$4" ]; }
grabbed_same() { grab "$1" && [ "$(differ "$1" "$2" "$3")" == 0 ]; }
# point_at X Y: the pointer there, and Wine's programs told so before the next key or click
# (an effect takes its monitor from where the system has the pointer).
point_at() {
  xdotool mousemove "$1" "$2"
  wait_for "$WAIT_SHORT" k_is "$1 $2" pointer - || fail "Wine never saw the pointer at $1, $2: $last_answer"
}
logged() { tr -d '\r' < "$keylog" 2>/dev/null | grep -qx "$1"; }
# Without a window manager the X focus is given to the canvas for each key, as a presenter's
# focused program has it.
canvas_window=
canvas_shown() { canvas_window=$(xdotool search --onlyvisible --name '^Canvas$' 2>/dev/null | head -n 1); [ -n "$canvas_window" ]; }
# Ctrl+Shift+KEY; the modifiers stay down until the canvas has seen a Z typed after KEY.
shortcut() {
  : > "$keylog"
  xdotool windowfocus --sync "$canvas_window" keydown ctrl keydown shift key "$1" key z
  wait_for "$WAIT_SHORT" logged "up 90" || fail "the canvas never saw the Z after Ctrl+Shift+$1"
  xdotool keyup shift keyup ctrl
  wait_for "$WAIT_SHORT" logged "up 17" || fail "the canvas never saw Ctrl released"
}

{
  effects_ini_start
  cat <<'INI'
Effect2=LINE
E2LineEffectColor=255
E2LineEffectLineWidth=3
E2LineEffectClear=0
E2LineEffectGrid=1
[ExecuteEffectKey]
Effect1=Ctrl + Shift + P
Effect2=Ctrl + Shift + L
INI
} > "$ini"

start_canvas_and_app canvas_shown "no canvas window on the X server" "monitor scenarios"
k foreground Canvas
point_at 1800 400
grab before
keep before 01-two-monitors

say "the pointer on the second monitor: the spot light darkens that monitor alone"
shortcut p
wait_for "$WAIT_SHORT" grabbed_pixel_is spot 2290 760 "$GREEN" || fail "no green on the second monitor outside the spot"
keep spot 02-spot-on-second
expect "the first monitor stays pixel for pixel" 0 "$(differ spot before "$FIRST")"
expect "the second monitor's far corner: the surround" "$GREEN" "$(pixel spot 1290 10)"
expect "inside the spot: the screen" "$(pixel before 1800 400)" "$(pixel spot 1800 400)"
say "the pointer stays on the second monitor while the effect runs"
xdotool mousemove 200 400
pointer_x() { xdotool getmouselocation | sed 's/x:\([0-9-]*\).*/\1/'; }
kept_on_second() { [ "$(pointer_x)" -ge 1280 ]; }
wait_for "$WAIT_SHORT" kept_on_second || fail "the pointer left the effect's monitor: x $(pointer_x)"
expect "the first monitor still untouched" 0 "$(grab spot-moved && differ spot-moved before "$FIRST")"
say "a right click restores the second monitor"
xdotool mousemove 1800 400 click 3
wait_for "$WAIT_SHORT" grabbed_same after-spot before "$SECOND" ||
  fail "after the spot light $(differ after-spot before "$SECOND") pixels of the second monitor differ"
keep after-spot 03-after-spot
xdotool mousemove 200 400
free_again() { [ "$(pointer_x)" -lt 1280 ]; }
wait_for "$WAIT_SHORT" free_again || fail "the pointer is still held on the second monitor"

say "a line's rubber band on the second monitor leaves no outline"
point_at 1400 100
shortcut l
xdotool click 1
for x in $(seq 1420 40 2200); do xdotool mousemove "$x" $((100 + (x - 1400) / 2)); done
band_drawn() { grab band && [ "$(differ band before "$SECOND")" != 0 ]; }
wait_for "$WAIT_SHORT" band_drawn || fail "the band was not drawn on the second monitor"
keep band 04-band-on-second
expect "the first monitor untouched by the band" 0 "$(differ band before "$FIRST")"
# A right-button press drops the band, its release ends the effect.
xdotool click 3
wait_for "$WAIT_SHORT" grabbed_same after-band before "$SECOND" ||
  fail "after the band $(differ after-band before "$SECOND") pixels of the second monitor differ"
keep after-band 05-after-band

say "a Test of the spot light shows the surround before the first mouse move"
k show Kestrel restore
wait_iconic 0 || fail "main window not restored"
k tab Kestrel "$(rid IDC_SLOT_TABS)" 0
wait_for "$WAIT_SHORT" k_is 1 visible "Kestrel/Spot light" "$(rid IDC_TEST)" || fail "the Spot light page not shown"
point_at 1800 400
k click "Kestrel/Spot light" "$(rid IDC_TEST)"
wait_for "$WAIT_SHORT" grabbed_pixel_is test 2290 760 "$GREEN" || fail "no surround on the pointer's monitor"
keep test 06-test-spot-light
expect "the test's first frame: the surround at the far corner" "$GREEN" "$(pixel test 1290 10)"
xdotool key Escape
wait_for "$WAIT_SHORT" grabbed_same after-test before "$SECOND" ||
  fail "after the test $(differ after-test before "$SECOND") pixels of the second monitor differ"

say "keys pass through a running spot light: what they type is on the screen once it ends"
minimize_main() { k show Kestrel minimize; wait_iconic 1 || fail "main window not minimized"; }
minimize_main
(cd "$work" && exec wine notepad.exe) >/dev/null 2>&1 &
notepad_pid=$!
editor=
editor_shown() { editor=$(xdotool search --onlyvisible --name 'Notepad' 2>/dev/null | head -n 1); [ -n "$editor" ]; }
wait_for "$WAIT_LONG" editor_shown || fail "no editor window"
read -r ex ey ew eh < <(xdotool getwindowgeometry --shell "$editor" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print x, y, w, h}')
# The spot sits over the editor's first line, the pointer on the primary monitor; the region
# compared lies inside the spot.
cx=$((ex + 60)); cy=$((ey + 30))
text_area="120x40+$((cx - 60))+$((cy - 20))"
xdotool mousemove "$cx" "$cy"
grab editor-before
xdotool windowfocus --sync "$editor" keydown ctrl keydown shift key p keyup shift keyup ctrl
wait_for "$WAIT_SHORT" grabbed_pixel_is spot-editor 5 1000 "$GREEN" || fail "no spot light over the editor"
xdotool windowfocus --sync "$editor" type "WWWWWW"
# More pixels than a blinking caret has: the letters themselves.
typed_in_spot() { grab typed && [ "$(differ typed editor-before "$text_area")" -gt 60 ]; }
wait_for "$WAIT_SHORT" typed_in_spot || fail "the typed text never showed inside the spot"
keep typed 07-typed-inside-spot
xdotool click 3
wait_for "$WAIT_SHORT" grabbed_pixel_is after-typing 5 1000 "$(pixel editor-before 5 1000)" || fail "the surround stayed"
keep after-typing 08-after-typing
expect "the typed text is on the screen after the right click, nothing repainted" 1 \
  "$([ "$(differ after-typing editor-before "$text_area")" -gt 60 ] && echo 1 || echo 0)"
kill "$notepad_pid" 2>/dev/null

close_app
finish "monitor scenarios"
