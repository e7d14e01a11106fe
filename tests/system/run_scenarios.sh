#!/usr/bin/env bash
# System scenarios of Kestrel4.exe under Wine, driven from outside by kdriver.exe.
# Usage: run_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
# Needs DISPLAY and WINEPREFIX (scripts/wine-session.sh) and a simulated projector on COM1
# (scripts/with-simulator.sh, which also gives its control FIFO as ZELQSIM_CONTROL); each
# scenario leaves a PNG of the whole screen in SCREENSHOT_DIR.
set -uo pipefail

exe=$1
driver=$2
shots=$3
simlog=$4
: "${DISPLAY:?needs a display (source scripts/wine-session.sh)}"
: "${WINEPREFIX:?needs a Wine prefix (source scripts/wine-session.sh)}"
: "${ZELQSIM_CONTROL:?needs a simulated projector (scripts/with-simulator.sh)}"

mkdir -p "$shots"
rm -f "$shots"/*.png
work=$(mktemp -d /tmp/kestrel4-scenarios.XXXXXX)
cp "$exe" "$work/Kestrel4.exe"
cp "$(dirname "$exe")"/Serilox.dll "$(dirname "$exe")"/Tapline.dll "$work/"
cp "$driver" "$work/kdriver.exe"
ini="$work/Kestrel4.ini"
app_pid=

failures=0
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

say() { echo "== $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect() {  # expect WHAT EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then echo "ok: $1"; else fail "$1: expected [$2], got [$3]"; fi
}
k() { (cd "$work" && wine kdriver.exe "$@" 2>/dev/null | tr -d '\r'); }
shot() { import -window root "$shots/$1.png" && echo "screenshot: $1.png"; }
ini_value() {  # ini_value SECTION KEY -> value, or <missing>
  awk -v s="[$1]" -v k="$2" 'BEGIN{IGNORECASE=1; v="<missing>"}
    { sub(/\r$/, "") }
    /^\[/ { in_s = (tolower($0) == tolower(s)); next }
    in_s && index($0, "=") { split($0, a, "="); if (tolower(a[1]) == tolower(k)) { v = substr($0, length(a[1]) + 2); exit } }
    END { print v }' "$ini" 2>/dev/null || echo "<missing>"
}
start_app() {
  (cd "$work" && exec wine Kestrel4.exe) &
  app_pid=$!
}
wait_app_exit() {  # wait_app_exit SECONDS
  for _ in $(seq $(($1 * 10))); do
    kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid" 2>/dev/null; app_pid=; return 0; }
    sleep 0.1
  done
  return 1
}
restore_main() {
  k show Kestrel restore
  for _ in $(seq 30); do [ "$(k iconic Kestrel)" = 0 ] && break; sleep 0.2; done
  k foreground Kestrel
  sleep 0.5
}
sim() { echo "$*" > "$ZELQSIM_CONTROL"; sleep 0.2; }
# Frames the projector received that start with these bytes, e.g. the PC link mode set.
received() { grep -c "RX frame  $1" "$simlog" 2>/dev/null || true; }
LINK_MODE_ON="1B 07 01 00 00 01 "
LINK_MODE_OFF="1B 07 01 00 00 00 "
buttons_enabled() {
  local states=
  for id in 1040 1041 1042 1043 1044 1045; do states+=$(k enabled Kestrel $id); done
  echo "$states"
}

say "fresh start: the missing ini is recreated, the splash stays, the window starts minimized"
rm -f "$ini"
# The watcher runs first so that it sees the splash from its first moment.
(cd "$work" && wine kdriver.exe splash-ms Kestrel 30000 2>/dev/null | tr -d '\r' > splash_ms) &
splash_watch=$!
sleep 1
start_app
sleep 1.5
shot 01-splash
wait "$splash_watch"
splash_ms=$(cat "$work/splash_ms" 2>/dev/null)
if [ -n "$splash_ms" ] && [ "$splash_ms" -ge 2800 ]; then echo "ok: splash up for ${splash_ms} ms"
else fail "splash up for [${splash_ms}] ms, expected about 3000 or more"; fi
k wait-visible Kestrel 20000 || fail "main window never shown"
expect "starts minimized" 1 "$(k iconic Kestrel)"
expect "ConnectMode seeded" 0 "$(ini_value ConnectStatus ConnectMode)"
for key in Effect1 Effect2 Effect3 Effect4 Effect5; do
  expect "ExecuteEffectKey $key empty" "" "$(ini_value ExecuteEffectKey $key)"
done
for key in SoundFile ControlFile PatternFile UserlogoFile; do
  expect "CurrentDirectry $key empty" "" "$(ini_value CurrentDirectry $key)"
done
expect "CursorStampFile not seeded" "<missing>" "$(ini_value CurrentDirectry CursorStampFile)"
expect "Support_Defaults seeded" CLEAR_SCREEN "$(ini_value Support_Defaults Effect5)"
restore_main
expect "connected after ConnectMode 0: buttons" 111111 "$(buttons_enabled)"
expect "connected screens" "$(printf '*Presentation Support\n Projector control\n Setting User logo\n Cursor/Stamp Setting')" \
  "$(k combo Kestrel 1000)"
expect "PC link mode set once" 1 "$(received "$LINK_MODE_ON")"
shot 02-fresh-start-connected

say "the Power button asks before switching the projector off"
k click Kestrel 1040
text=$(k box Kestrel 10000)
expect "power question" "Turn the projector power off?" "$text"
shot 02b-power-question
k answer Kestrel 7
k box-gone Kestrel 5000 || fail "power question stayed"
expect "No leaves the projector alone" 0 "$(grep -c 'RX frame  1B 07 01 00 03 00 ' "$simlog")"

k close Kestrel
wait_app_exit 15 || fail "close did not end the program"
expect "last files written at close" "" "$(ini_value CurrentDirectry CursorStampFile)"
expect "PC link mode released at close" 1 "$(received "$LINK_MODE_OFF")"

say "ConnectMode 1: only Presentation Support, buttons disabled"
sed -i -e 's/^ConnectMode=0/ConnectMode=1/' -e 's/^SoundFile=.*/SoundFile=C:\\chime.wav/' "$ini"
frames_before=$(grep -c 'RX frame' "$simlog")
start_app
k wait-visible Kestrel 20000 || fail "main window never shown"
restore_main
expect "screen list" "*Presentation Support" "$(k combo Kestrel 1000)"
expect "visible screen" "Presentation Support" "$(k screen Kestrel)"
expect "projector buttons" 000000 "$(buttons_enabled)"
shot 03-connectmode-1
xdotool key alt+f 2>/dev/null; sleep 0.7
shot 04-file-menu-on-screen-0
xdotool key Escape Escape 2>/dev/null; sleep 0.3
xdotool key alt+o 2>/dev/null; sleep 0.7
shot 05-options-menu-unconnected-checked
xdotool key Escape Escape 2>/dev/null; sleep 0.5

say "Enter and Escape do not close the main window"
k foreground Kestrel; sleep 0.3
xdotool key Return Escape 2>/dev/null
k key Kestrel 0x0D
k key Kestrel 0x1B
sleep 1
expect "still running" 1 "$(k count Kestrel)"
kill -0 "$app_pid" 2>/dev/null || fail "process ended after Enter/Escape"
shot 06-after-enter-escape

say "Tab goes from the screen list into the screen and back"
expect "focus on the screen list" 1000 "$(k focus Kestrel)"
xdotool key Tab 2>/dev/null; sleep 0.3
expect "focus after Tab: the Entry Name list" 1001 "$(k focus Kestrel)"
xdotool key shift+Tab 2>/dev/null; sleep 0.3
expect "focus after Shift+Tab" 1000 "$(k focus Kestrel)"

say "Ctrl+G minimizes the main window"
# Without a window manager the X focus can lag behind the foreground call: try again then.
for _attempt in 1 2 3; do
  k foreground Kestrel; sleep 0.5
  xdotool key ctrl+g 2>/dev/null
  for _ in $(seq 20); do [ "$(k iconic Kestrel)" = 1 ] && break; sleep 0.2; done
  [ "$(k iconic Kestrel)" = 1 ] && break
done
expect "minimized by Ctrl+G" 1 "$(k iconic Kestrel)"
restore_main

say "end of session: nothing unsaved, so log-off is allowed"
expect "WM_QUERYENDSESSION answer" 1 "$(k end-session Kestrel)"
expect "still running after the query" 1 "$(k count Kestrel)"

say "second start restores a minimized copy"
k show Kestrel minimize
for _ in $(seq 30); do [ "$(k iconic Kestrel)" = 1 ] && break; sleep 0.2; done
expect "minimized before" 1 "$(k iconic Kestrel)"
(cd "$work" && timeout 30 wine Kestrel4.exe) || fail "second copy did not end by itself"
sleep 0.5
expect "restored by the second start" 0 "$(k iconic Kestrel)"
expect "one main window" 1 "$(k count Kestrel)"
shot 07-second-instance-restored
(cd "$work" && timeout 30 wine Kestrel4.exe) || fail "second copy did not end by itself"
expect "a second start beside a shown copy changes nothing" "0 1" "$(k iconic Kestrel) $(k count Kestrel)"

say "Always Unconnected and Execute toggles ConnectMode"
k command Kestrel 32772
text=$(k box Kestrel 10000)
expect "next start-up message" "The setting is available at the next start-up Kestrel." "$text"
shot 08-connectmode-toggled
k answer Kestrel 1
k box-gone Kestrel 5000 || fail "message box stayed"
expect "ConnectMode written at once" 0 "$(ini_value ConnectStatus ConnectMode)"
k command Kestrel 32772
k box Kestrel 10000 >/dev/null || fail "no message on the second toggle"
k answer Kestrel 1
k box-gone Kestrel 5000
expect "ConnectMode toggled back" 1 "$(ini_value ConnectStatus ConnectMode)"

say "About from the system menu"
k syscommand Kestrel 16
text=$(k box "About Kestrel" 10000)
case "$text" in *"Kestrel Version 4.0"*) echo "ok: version box";; *) fail "version box text [$text]";; esac
shot 09-about
k answer "About Kestrel" 1
k box-gone "About Kestrel" 5000 || fail "version box stayed"

say "the end of the session writes the last-used files"
sed -i 's/^SoundFile=.*/SoundFile=C:\\changed-outside.wav/' "$ini"
k session-ends Kestrel || fail "WM_ENDSESSION not answered"
expect "files written at the end of the session" 'C:\chime.wav' "$(ini_value CurrentDirectry SoundFile)"

say "Exit closes the program and keeps the ini"
k command Kestrel 57665
wait_app_exit 15 || fail "Exit did not end the program"
expect "last files read at start are written back at close" 'C:\chime.wav' "$(ini_value CurrentDirectry SoundFile)"
shot 10-after-exit
expect "ConnectMode 1 opened no port" "$frames_before" "$(grep -c 'RX frame' "$simlog")"

say "no response: the port choice, then Unconnected and execute"
sed -i 's/^ConnectMode=.*/ConnectMode=0/' "$ini"
sim "fault no-ack*3"
start_app
text=$(k box Kestrel 30000)
case "$text" in "No response from the projector."*) echo "ok: no-response dialog";;
  *) fail "no-response dialog text [$text]";; esac
shot 11-no-response
k answer Kestrel 2
text=$(k box Kestrel 10000)
case "$text" in "Unconnected and execute."*) echo "ok: unconnected message";;
  *) fail "unconnected message [$text]";; esac
shot 12-unconnected-message
k answer Kestrel 1
k wait-visible Kestrel 20000 || fail "main window never shown"
restore_main
expect "unconnected: buttons" 000000 "$(buttons_enabled)"
expect "unconnected: screens" "*Presentation Support" "$(k combo Kestrel 1000)"
shot 13-unconnected
k close Kestrel
wait_app_exit 15 || fail "close did not end the program"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all scenarios passed"
