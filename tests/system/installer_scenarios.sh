#!/usr/bin/env bash
# The installer-only mode on a chain of three projectors: Ctrl+I in the version box, the
# password, set points, the stack, Change Password, a lock that reaches the panel, Setting
# Complete; the panel adjusting projector 2 of the stack; the reset of the Setting page,
# setting files and Reset All with its "Wait...".
# Usage: installer_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
source "$(dirname "$0")/scenario_lib.sh"

INST="Setting installer-only"

# The keys go to the X window that has the focus: the version box's.
x_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" == "$(xdotool search --name "$1" 2>/dev/null | head -1)" ]; }
focus_box() {
  xdotool search --name "$1" windowfocus --sync 2>/dev/null
  wait_for "$WAIT_SHORT" x_focused "$1" || fail "no keyboard focus on $1"
}
# Frames the projector received since MARK whose log text matches PATTERN (grep -E).
received_since() { since "$1" | grep 'RX frame' | grep -cE "$2" || true; }
has_received() { [ "$(received_since "$1" "$2")" -ge "$3" ]; }
wait_received() { wait_for "${4:-$WAIT_SHORT}" has_received "$1" "$2" "$3"; }  # MARK PATTERN COUNT [SECONDS]
# A box of TITLE showing TEXT; gone when no such box shows it any more.
box_says() { k box "$1" 300 | grep -qF "$2"; }
box_not_saying() { ! box_says "$1" "$2"; }
list_has() { k list "$1" "$2" | grep -qF "$3"; }  # TITLE ID TEXT
# choose_value FUNCTION ITEM-TEXT ITEM CHOICE-TEXT CHOICE: a value-list choice, ready to send.
choose_value() {
  k lselect "$INST" 1000 "$1"
  wait_for "$WAIT_SHORT" list_has "$INST" 1234 "$2" || fail "no $2 among the items"
  k lselect "$INST" 1234 "$3"
  wait_for "$WAIT_SHORT" list_has "$INST" 1235 "$4" || fail "no $4 among the choices"
  k lselect "$INST" 1235 "$5"
  wait_for "$WAIT_SHORT" k_is 1 enabled "$INST" 1238 || fail "Sending stayed disabled for $4"
}

start_connected
k select Kestrel 1000 1
wait_for "$WAIT_LONG" video_page_shown || fail "projector control never shown"
k box-gone Kestrel 60000 || fail "reading dialog stayed"

say "Ctrl+Shift+I in the version box does nothing special; Ctrl+I asks for the password"
k command Kestrel 57664
wait_box "About Kestrel" || fail "no version box"
focus_box "About Kestrel"
xdotool key ctrl+shift+i 2>/dev/null
expect "no password after Ctrl+Shift+I" 1 "$(k box 'Password input' 2000 >/dev/null || echo 1)"
expect "the version box stays" 0 "$(k box 'About Kestrel' 500 >/dev/null; echo $?)"
focus_box "About Kestrel"
xdotool key ctrl+i 2>/dev/null
wait_box "Password input" || fail "Ctrl+I did not ask for the password"
k box-gone "About Kestrel" 5000 || fail "the version box stayed"
k settext "Password input" 1171 wrong
wait_text "Password input" 1171 wrong || fail "password not typed"
shot 01-password
m=$(mark)
k answer "Password input" 1
wait_received "$m" 'set 0x0013' 1 || fail "password not checked"
wait_text "Password input" 1171 "" || fail "a wrong password did not empty the edit"
expect "a wrong password leaves the dialog" 0 "$(k box 'Password input' 500 >/dev/null; echo $?)"
k answer "Password input" 1
wait_box "$INST" || fail "the right password did not open the installer dialog"
wait_for "$WAIT_SHORT" list_has "$INST" 1000 "Video(Computer)" || fail "no function list"
shot 02-installer

say "a set point and a value-list choice reach the projector"
k lselect "$INST" 1000 2
wait_for "$WAIT_SHORT" list_has "$INST" 1234 Volume || fail "no Audio items"
k lselect "$INST" 1234 0
k settext "$INST" 1233 17
wait_for "$WAIT_SHORT" k_is 1 enabled "$INST" 1238 || fail "Sending stayed disabled"
m=$(mark)
k click "$INST" 1238
wait_frames "$m" "1B 07 01 02 00 11 " 1 || fail "no set of Volume 17"

say "Enter in the set-point edit sends it; Enter elsewhere does nothing"
k settext "$INST" 1233 9
wait_for "$WAIT_SHORT" k_is 1 enabled "$INST" 1238 || fail "Sending stayed disabled for 9"
k setfocus "$INST" 1233
wait_focus 1233 || fail "no focus in the set-point edit"
m=$(mark)
k key "$INST" 0x0D
wait_frames "$m" "1B 07 01 02 00 09 " 1 || fail "Enter in the edit did not send Volume 9"
k setfocus "$INST" 1000
wait_focus 1000 || fail "no focus in the function list"
m=$(mark)
k key "$INST" 0x0D
# Handled in order: once the list shows the new function, the Enter before it is done.
k lselect "$INST" 1000 1
wait_for "$WAIT_SHORT" list_has "$INST" 1234 Saturation || fail "no Video(Video) items"
expect "Enter in the list sends nothing" 0 "$(received_since "$m" ' set 0x')"
expect "the dialog stays after Enter" 0 "$(k box "$INST" 500 >/dev/null; echo $?)"

say "a refused set point puts the value list back"
choose_value 0 Resolution 7 Preset3 35
m=$(mark)
k click "$INST" 1238
wait_frames "$m" "1B 07 01 03 0E 82 " 1 || fail "no set of Resolution = Preset3"
first_selected() { [ "$(k list "$INST" 1235 | head -n 1 | cut -c1)" == "*" ]; }
wait_for "$WAIT_SHORT" first_selected || fail "the empty preset stayed chosen after its refusal"

k lselect "$INST" 1000 2
wait_for "$WAIT_SHORT" list_has "$INST" 1234 Volume || fail "no Audio items"
k lselect "$INST" 1234 0
k settext "$INST" 1233 32
wait_text "$INST" 1233 "" || fail "a volume of 32 stayed in the edit"
expect_k "Sending disabled after an empty edit" 0 enabled "$INST" 1238
choose_value 4 "A/V Mute" 4 Logo 2
m=$(mark)
k click "$INST" 1238
wait_frames "$m" "1B 07 01 06 04 02 " 1 || fail "no set of A/V Mute = Logo"
shot 03-set-points

say "Establish Stack on three projectors"
k click "$INST" 1228
k box Kestrel 10000 | grep -q "Stack is established." || fail "no stack message"
m=$(mark)
k answer Kestrel 1
# The settings of all three are read again, their locks first.
wait_received "$m" 'get 0x1004 to 3' 56 "$WAIT_LONG" || fail "locks of projector 3 not read"
k box-gone Kestrel 60000
wait_quiet "$WAIT_LONG"
expect "projector buttons 1-3" "1 1 1 0" "$(k enabled "$INST" 1219) $(k enabled "$INST" 1220) $(k enabled "$INST" 1222) $(k enabled "$INST" 1223)"
expect_k "source switching usable" 1 enabled "$INST" 1280
m=$(mark)
k click "$INST" 1280
wait_received "$m" 'set 0x1006' 1 || fail "Linked control not sent while the projector's choice was unknown"
shot 04-stack

say "Change Password: a wrong old one is refused, the right one changes it"
k click "$INST" 1230
wait_box "Change Password" || fail "no Change Password dialog"
# submit_password OLD NEW: the three edits filled, then OK.
submit_password() {
  [ -z "$1" ] || k settext "Change Password" 1225 "$1"
  k settext "Change Password" 1226 "$2"
  k settext "Change Password" 1227 "$2"
  wait_text "Change Password" 1227 "$2" || fail "confirmation not typed"
  m=$(mark)
  k answer "Change Password" 1
}
submit_password nope room7
wait_for "$WAIT_SHORT" box_says Kestrel "Wrong Password." || fail "no Wrong Password."
shot 05-wrong-password
k answer Kestrel 1
wait_for "$WAIT_SHORT" box_not_saying Kestrel "Wrong Password." || fail "the message stayed"
expect "the edits are emptied" "||" "$(k text 'Change Password' 1225)|$(k text 'Change Password' 1226)|$(k text 'Change Password' 1227)"
expect "nothing changed on a wrong old password" 0 "$(received_since "$m" 'set 0x0011')"
submit_password "" room7
wait_for "$WAIT_SHORT" box_says Kestrel "Password is changed." || fail "no Password is changed."
expect "the new password went out" 1 "$(received_since "$m" 'set 0x0011')"
k box-gone "Change Password" 5000 || fail "the Change Password dialog stayed"
shot 06-password-changed
k answer Kestrel 1
wait_for "$WAIT_SHORT" box_not_saying Kestrel "Password is changed." || fail "the message stayed"

say "Big Key on Audio for projector 2"
k click "$INST" 1220
k lselect "$INST" 1000 2
wait_for "$WAIT_SHORT" list_has "$INST" 1234 Volume || fail "no Audio items"
m=$(mark)
k click "$INST" 1239
wait_received "$m" 'set 0x1004 to 2' 6 || fail "lock entries not sent"
expect "six lock entries, all to projector 2" 6 "$(received_since "$m" 'set 0x1004')"
wait_for "$WAIT_SHORT" k_is 0 enabled "$INST" 1234 || fail "the item list stayed open"
expect_k "Big Key stays checked" 1 checked "$INST" 1239
shot 07-big-key

say "Escape completes the setting as Setting Complete does: the locks of every projector read back"
m=$(mark)
k key "$INST" 0x1B
k box-gone "$INST" 60000 || fail "the installer dialog stayed"
wait_received "$m" 'set 0x0014' 1 "$WAIT_LONG" || fail "setting complete not sent"
for p in 1 2 3; do
  expect "lock entries of projector $p read" 56 "$(received_since "$m" "get 0x1004 to $p ")"
done

say "the panel follows the locks of the projector it shows"
k click Kestrel 1220
tab 1
wait_for "$WAIT_SHORT" k_is 0 enabled Kestrel 1054 || fail "Reset... not locked on projector 2's Audio"
expect_k "page lock icon on projector 2" 1 visible Kestrel/Audio 1272
expect_k "Volume disabled on projector 2" 0 enabled Kestrel/Audio 1134
shot 08-audio-locked
k click Kestrel 1219
wait_for "$WAIT_SHORT" k_is 1 enabled Kestrel 1054 || fail "projector 1 lost its Audio reset"
expect_k "no page lock icon on projector 1" 0 visible Kestrel/Audio 1272
expect_k "Volume enabled on projector 1" 1 enabled Kestrel/Audio 1134

say "the panel adjusts projector 2 of the stack"
k click Kestrel 1220
tab 2
wait_for "$WAIT_SHORT" k_is 0 visible Kestrel/Setting 1272 || fail "Setting page not shown"
m=$(mark)
k scroll Kestrel/Setting 1131 1
wait_received "$m" 'stack set 0x060F to 2 ' 1 || fail "Keystone not sent to projector 2"
expect "nothing to the other projectors" 0 "$(received_since "$m" 'set 0x060F to [13] ')"
shot 09-projector2-keystone
k click Kestrel 1219
wait_for "$WAIT_SHORT" k_is 1 enabled Kestrel/Audio 1134 || fail "projector 1 not shown again"

say "Reset of the Setting page never sends BNC"
tab 2
m=$(mark)
k click Kestrel 1054
wait_box "Kestrel" || fail "no reset dialog"
shot 10-reset-dialog
k answer Kestrel 1
wait_for "$WAIT_SHORT" box_says Kestrel "Execute?" || fail "no Execute? question"
k answer Kestrel 6
wait_received "$m" 'reset 0x0604' 1 || fail "no reset of A/V Mute"
expect "Setting items reset" 1 "$([ "$(received_since "$m" 'reset 0x06')" -ge 5 ] && echo 1)"
expect "no BNC reset" 0 "$(received_since "$m" 'reset 0x0609')"

say "File > Save As, then Open of a changed file puts the value back"
tab 0
file_win=$(winepath -w "$work/room.kst" 2>/dev/null)
saved() { [ -f "$work/room.kst" ] || { k answer "Save As" 6 >/dev/null 2>&1; false; }; }  # "create the file?"
k command Kestrel 57604
wait_box "Save As" || fail "no save dialog"
k file-name "Save As" "$file_win"
wait_for "$WAIT_SHORT" saved || fail "no file saved"
expect "a whole table saved" 16384 "$(stat -c %s "$work/room.kst" 2>/dev/null)"
shot 11-saved
sim "set 0x0300 5"
m=$(mark)
k command Kestrel 57601
wait_box "Open" || fail "no open dialog"
k file-name "Open" "$file_win"
wait_received "$m" 'get 0x0100' 3 "$WAIT_LONG" || fail "the projectors were not read back"
expect "Brightness sent from the file to each of the three projectors" 3 "$(received_since "$m" ' set 0x0300 ')"
expect "locks never sent by File > Open" 0 "$(received_since "$m" 'set 0x1004')"
shot 12-opened

say "Reset All waits for the projector behind \"Wait...\""
sim "power-ms 100:100:3000"
tab 1
m=$(mark)
k click Kestrel 1054
wait_box "Kestrel" || fail "no reset dialog"
k answer Kestrel 1170
k answer Kestrel 1
wait_for "$WAIT_SHORT" box_says Kestrel "Execute?" || fail "no Execute? question"
k answer Kestrel 6
wait_received "$m" 'set 0x0007 ' 1 || fail "no Reset All sent"
wait_for "$WAIT_SHORT" box_says "" "Wait..." || fail "no Wait... while the projector is busy"
shot 13-reset-all-wait
# The projector is busy for 3 s; its report of 1 closes the box well before the 30 s timer.
wait_for 20 box_not_saying "" "Wait..." || fail "Wait... stayed after the projector was done"

close_app
expect "the last setting file kept in the ini" "$file_win" "$(ini_value CurrentDirectry ControlFile)"
finish "installer scenarios"
