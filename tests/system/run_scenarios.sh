#!/usr/bin/env bash
# System scenarios of Kestrel4.exe's start-up, main window and close, under Wine, driven from
# outside by kdriver.exe; each leaves a PNG of the whole screen in SCREENSHOT_DIR.
# Usage: run_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
source "$(dirname "$0")/scenario_lib.sh"

LINK_MODE_ON="1B 07 01 00 00 01 "
LINK_MODE_OFF="1B 07 01 00 00 00 "
connected() { [ "$(buttons_enabled)" == 111111 ]; }
# Opening the File menu and closing it again: keyboard input typed before it has been
# handled once the menu shows.
input_barrier() {
  xdotool key alt+f 2>/dev/null
  wait_menu 1 || fail "File menu did not open"
  xdotool key Escape Escape 2>/dev/null
  wait_menu 0 || fail "File menu stayed open"
}

say "fresh start: the missing ini is recreated, the splash stays, the window starts minimized"
rm -f "$ini"
# The watcher runs first so that it sees the splash from its first moment.
(cd "$work" && wine kdriver.exe splash-ms Kestrel 30000 2>splash_watching | tr -d '\r' > splash_ms) &
splash_watch=$!
wait_for "$WAIT_LONG" grep -q watching "$work/splash_watching" || fail "splash watch did not start"
start_app
wait_for "$WAIT_LONG" k_is 1 splash-shown Kestrel || fail "no splash"
shot 01-splash
wait "$splash_watch"
splash_ms=$(cat "$work/splash_ms" 2>/dev/null)
if [ -n "$splash_ms" ] && [ "$splash_ms" -ge 2800 ]; then echo "ok: splash up for ${splash_ms} ms"
else fail "splash up for [${splash_ms}] ms, expected about 3000 or more"; fi
k wait-visible Kestrel 20000 || fail "main window never shown"
expect_k "starts minimized" 1 iconic Kestrel
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
answer_box Kestrel 7 || fail "power question stayed"
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
expect_k "screen list" "*Presentation Support" combo Kestrel 1000
expect_k "visible screen" "Presentation Support" screen Kestrel
expect "projector buttons" 000000 "$(buttons_enabled)"
shot 03-connectmode-1
xdotool key alt+f 2>/dev/null
wait_menu 1 || fail "File menu did not open"
shot 04-file-menu-on-screen-0
xdotool key Escape Escape 2>/dev/null
wait_menu 0 || fail "File menu stayed open"
xdotool key alt+o 2>/dev/null
wait_menu 1 || fail "Options menu did not open"
shot 05-options-menu-unconnected-checked
xdotool key Escape Escape 2>/dev/null
wait_menu 0 || fail "Options menu stayed open"

say "Enter and Escape do not close the main window"
restore_main
xdotool key Return Escape 2>/dev/null
k key Kestrel 0x0D
k key Kestrel 0x1B
# Both kinds of keys are behind these in their queues.
input_barrier
k command Kestrel 32771
wait_iconic 1 || fail "the command behind the keys was not handled"
expect_k "still running" 1 count Kestrel
kill -0 "$app_pid" 2>/dev/null || fail "process ended after Enter/Escape"
restore_main
shot 06-after-enter-escape

say "Tab goes from the screen list into the screen and back"
expect_k "focus on the screen list" 1000 focus Kestrel
xdotool key Tab 2>/dev/null
input_barrier
expect_k "focus after Tab: the Entry Name list" 1001 focus Kestrel
xdotool key shift+Tab 2>/dev/null
input_barrier
expect_k "focus after Shift+Tab" 1000 focus Kestrel

say "Ctrl+G minimizes the main window"
# Without a window manager the X focus can lag behind the foreground call: try again then.
for _attempt in 1 2 3; do
  wait_for "$WAIT_SHORT" is_foreground
  xdotool key ctrl+g 2>/dev/null
  wait_iconic 1 && break
done
expect_k "minimized by Ctrl+G" 1 iconic Kestrel
restore_main

say "end of session: nothing unsaved, so log-off is allowed"
expect_k "WM_QUERYENDSESSION answer" 1 end-session Kestrel
expect_k "still running after the query" 1 count Kestrel

say "second start restores a minimized copy"
k show Kestrel minimize
wait_iconic 1
expect_k "minimized before" 1 iconic Kestrel
(cd "$work" && timeout 30 wine Kestrel4.exe) || fail "second copy did not end by itself"
wait_iconic 0
expect_k "restored by the second start" 0 iconic Kestrel
expect_k "one main window" 1 count Kestrel
shot 07-second-instance-restored
(cd "$work" && timeout 30 wine Kestrel4.exe) || fail "second copy did not end by itself"
expect "a second start beside a shown copy changes nothing" "0 1" "$(k iconic Kestrel) $(k count Kestrel)"

say "Always Unconnected and Execute toggles ConnectMode"
k command Kestrel 32772
text=$(k box Kestrel 10000)
expect "next start-up message" "The setting is available at the next start-up Kestrel." "$text"
shot 08-connectmode-toggled
answer_box Kestrel 1 || fail "message box stayed"
expect "ConnectMode written at once" 0 "$(ini_value ConnectStatus ConnectMode)"
k command Kestrel 32772
wait_box "Kestrel" || fail "no message on the second toggle"
answer_box Kestrel 1
expect "ConnectMode toggled back" 1 "$(ini_value ConnectStatus ConnectMode)"

say "About from the system menu"
k syscommand Kestrel 16
text=$(k box "About Kestrel" 10000)
case "$text" in *"Kestrel Version 4.0"*) echo "ok: version box";; *) fail "version box text [$text]";; esac
shot 09-about
answer_box "About Kestrel" 1 || fail "version box stayed"

say "without a program for web pages, Help Topics says that the page could not be opened"
wine reg delete 'HKCR\.html' /f >/dev/null 2>&1
page=$(winepath -w "$work/Kestrel4.html")
# F1 reaches the program through the accelerator of Help Topics, which the system does not
# send while that menu item is grey: an answer to F1 shows the item enabled.
restore_main
input_barrier
xdotool key F1 2>/dev/null
expect_box "no browser" "The help page $page could not be opened."
answer_box Kestrel 1 || fail "message box stayed"

say "Help Topics and F1 open the manual beside the program"
stand_in_browser
restore_main
input_barrier
xdotool key F1 2>/dev/null
expect_until "$WAIT_LONG" "F1 opens the page" "1 $page" opened_is 1 "$page"
k command Kestrel "$(rid ID_HELP_FINDER)"
expect_until "$WAIT_LONG" "Help Topics opens the page" "2 $page" opened_is 2 "$page"

say "a manual removed while the program runs is reported, not ignored"
mv "$work/Kestrel4.html" "$work/Kestrel4.away"
# An opened page takes the foreground, as a browser does.
restore_main
input_barrier
xdotool key F1 2>/dev/null
expect_box "missing page after F1" "The help page $page is missing."
shot 09b-help-page-missing
answer_box Kestrel 1 || fail "message box stayed"
k command Kestrel "$(rid ID_HELP_FINDER)"
expect_box "missing page after Help Topics" "The help page $page is missing."
answer_box Kestrel 1 || fail "message box stayed"
expect "nothing handed to a browser" 2 "$(grep -c . "$opened")"
mv "$work/Kestrel4.away" "$work/Kestrel4.html"

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
expect_k "unconnected: screens" "*Presentation Support" combo Kestrel 1000
shot 13-unconnected
k close Kestrel
wait_app_exit 15 || fail "close did not end the program"

say "no response at start-up, then the port chosen again: the program connects and keeps running"
# The dialogs outlast the splash, so the splash wait has nothing left to do.
sim "fault no-ack*3"
start_app
text=$(k box Kestrel 30000)
case "$text" in "No response from the projector."*) echo "ok: no-response dialog";;
  *) fail "no-response dialog text [$text]";; esac
k answer Kestrel 1
wait_box "Selecting Port" || fail "no port choice"
expect_k "the link's port preselected" 1 checked "Selecting Port" 1080
shot 14-port-choice
k answer "Selecting Port" 1
k wait-visible Kestrel 20000 || fail "main window never shown"
wait_for "$WAIT_LONG" connected || fail "not connected after the port choice"
# The main loop runs: a posted command is handled, a question comes up and is answered.
restore_main
kill -0 "$app_pid" 2>/dev/null || fail "the program ended after the connection dialogs"
k click Kestrel 1040
expect_k "power question after the dialogs" "Turn the projector power off?" box Kestrel 10000
answer_box Kestrel 7 || fail "power question stayed"
expect "connected screens after the dialogs" "$(printf '*Presentation Support\n Projector control\n Setting User logo\n Cursor/Stamp Setting')" \
  "$(k combo Kestrel 1000)"
shot 15-connected-after-port-choice
close_app

finish "scenarios"
