#!/usr/bin/env bash
# The installer-only mode on a chain of three projectors: Ctrl+I in the version box, the
# password, the stack, a lock that reaches the panel, Setting Complete; and the
# panel's reset of the Setting page.
# Usage: installer_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
source "$(dirname "$0")/scenario_lib.sh"

INST="Setting installer-only"
start_connected
k select Kestrel 1000 1
sleep 1
k box-gone Kestrel 60000 || fail "reading dialog stayed"

say "Ctrl+Shift+I in the version box does nothing special; Ctrl+I asks for the password"
k command Kestrel 57664
k box "About Kestrel" 5000 >/dev/null || fail "no version box"
# The keys go to the X window that has the focus: the version box's.
focus_box() { xdotool search --name "$1" windowfocus --sync 2>/dev/null; sleep 0.3; }
focus_box "About Kestrel"
xdotool key ctrl+shift+i 2>/dev/null; sleep 1
expect "no password after Ctrl+Shift+I" 1 "$(k box 'Password input' 500 >/dev/null || echo 1)"
focus_box "About Kestrel"
xdotool key ctrl+i 2>/dev/null
k box "Password input" 5000 >/dev/null || fail "Ctrl+I did not ask for the password"
k box-gone "About Kestrel" 5000 || fail "the version box stayed"
focus_box "Password input"
xdotool type wrong 2>/dev/null; sleep 0.3
shot 01-password
m=$(mark)
k answer "Password input" 1
for _ in $(seq 50); do since "$m" | grep 'RX frame' | grep -q 'set 0x0013' && break; sleep 0.1; done
sleep 1
expect "a wrong password leaves the dialog" 1 "$(k box 'Password input' 500 >/dev/null && echo 1)"
expect "and empties it" "" "$(k text 'Password input' 1171)"
k answer "Password input" 1
k box "$INST" 10000 >/dev/null || fail "the right password did not open the installer dialog"
sleep 1
shot 02-installer

say "Establish Stack on three projectors"
k click "$INST" 1228
k box Kestrel 10000 | grep -q "Stack is established." || fail "no stack message"
k answer Kestrel 1
k box-gone Kestrel 60000
sleep 1
expect "projector buttons 1-3" "1 1 1 0" "$(k enabled "$INST" 1219) $(k enabled "$INST" 1220) $(k enabled "$INST" 1222) $(k enabled "$INST" 1223)"
expect "source switching usable" 1 "$(k enabled "$INST" 1280)"
shot 03-stack

say "Big Key on Audio for projector 2"
k click "$INST" 1220; sleep 0.5
k lselect "$INST" 1000 2; sleep 0.5
m=$(mark)
k click "$INST" 1239
wait_frames "$m" "" 6 10 || fail "lock entries not sent"
expect "six lock entries" 6 "$(since "$m" | grep 'RX frame' | grep -c 'set 0x1004')"
expect "Big Key stays checked" 1 "$(k checked "$INST" 1239)"
expect "the item list is closed" 0 "$(k enabled "$INST" 1234)"
shot 04-big-key

say "Setting Complete reads the locks back and marks the projector"
m=$(mark)
k answer "$INST" 1
k box-gone "$INST" 60000 || fail "the installer dialog stayed"
expect "lock entries read" 1 "$([ "$(since "$m" | grep 'RX frame' | grep -c 'get 0x1004')" -ge 49 ] && echo 1)"
expect "setting complete sent" 1 "$(since "$m" | grep 'RX frame' | grep -c 'set 0x0014')"
sleep 1

say "the panel shows projector 2 with the Audio page locked"
k click Kestrel 1220; sleep 1
tab 1
expect "Reset... locked on Audio" 0 "$(k enabled Kestrel 1054)"
shot 06-audio-locked
k click Kestrel 1219; sleep 1
expect "projector 1 keeps Audio open" 1 "$(k enabled Kestrel 1054)"

say "Reset of the Setting page never sends BNC"
tab 2
m=$(mark)
k click Kestrel 1054
k box Kestrel 5000 >/dev/null || fail "no reset dialog"
shot 07-reset-dialog
k answer Kestrel 1
for _ in $(seq 50); do k box Kestrel 500 | grep -q "Execute?" && break; sleep 0.1; done
k answer Kestrel 6
for _ in $(seq 100); do [ "$(since "$m" | grep 'RX frame' | grep -c 'reset 0x0604')" -ge 1 ] && break; sleep 0.1; done
resets=$(since "$m" | grep 'RX frame' | grep -c 'reset 0x06')
expect "Setting items reset" 1 "$([ "$resets" -ge 5 ] && echo 1)"
expect "no BNC reset" 0 "$(since "$m" | grep 'RX frame' | grep -c 'reset 0x0609')"

say "File > Save As, then Open of a changed file puts the value back"
tab 0
file_win=$(winepath -w "$work/room.kst" 2>/dev/null)
k command Kestrel 57604
k box "Save As" 10000 >/dev/null || fail "no save dialog"
focus_box "Save As"
xdotool type --delay 20 "$file_win" 2>/dev/null; xdotool key Return 2>/dev/null
for _ in $(seq 100); do
  [ -f "$work/room.kst" ] && break
  k answer "Save As" 6 >/dev/null 2>&1  # "create the file?"
  sleep 0.2
done
expect "a whole table saved" 16384 "$(stat -c %s "$work/room.kst" 2>/dev/null)"
shot 08-saved
sim "set 0x0300 5"
m=$(mark)
k command Kestrel 57601
k box "Open" 10000 >/dev/null || fail "no open dialog"
focus_box "Open"
xdotool type --delay 20 "$file_win" 2>/dev/null; xdotool key Return 2>/dev/null
for _ in $(seq 300); do since "$m" | grep 'RX frame' | grep -q 'get 0x0100' && break; sleep 0.1; done
expect "Brightness sent from the file to each of the three projectors" 3 "$(since "$m" | grep 'RX frame' | grep -c ' set 0x0300 ')"
expect "locks never sent by File > Open" 0 "$(since "$m" | grep 'RX frame' | grep -c 'set 0x1004')"
shot 09-opened

close_app
finish "installer scenarios"
