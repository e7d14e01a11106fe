#!/usr/bin/env bash
# System scenarios of the cursor/stamp set screen under Wine, driven by kdriver.exe on a
# simulated projector (the item libraries and Glyphpad: item_scenarios.sh).
# Usage: cursor_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
# Glyphpad.exe and item_pages_host.exe are taken from beside Kestrel4.exe. Each scenario
# leaves a PNG of the whole screen in SCREENSHOT_DIR.
source "$(dirname "$0")/scenario_lib.sh"
source "$(dirname "$0")/cursor_lib.sh"

frame3=$((68 + 8 + 774 * 3 + 126))

say "Kestrel4 starts with a fresh 6260-byte Temp.csp"
start_connected
expect_soon "Temp.csp" "6260 RIFF 6260 ACON" check header "$work/Temp.csp"
cp "$work/Temp.csp" "$work/fresh.csp"

say "the Cursor/Stamp Setting screen shows the eight slots and reads the projector's set information once"
m=$(mark)
k select Kestrel "$(rid IDC_SCREEN_LIST)" 3
expect_k "visible screen" "Cursor/Stamp Setting" screen Kestrel
wait_for "$WAIT_SHORT" log_has "$m" "get 0x000D" || fail "the set information was not read"
k select Kestrel "$(rid IDC_SCREEN_LIST)" 0
k select Kestrel "$(rid IDC_SCREEN_LIST)" 3
expect_k "visible again" "Cursor/Stamp Setting" screen Kestrel
expect "read once" 1 "$(since "$m" | grep -c 'get 0x000D')"
expect_k "slots" "$(printf '*0\n 1\n 2\n 3\n 4\n 5\n 6\n 7')" list Kestrel "$(rid IDC_SET_SLOTS)"
expect_k "title" "Untitled" text Kestrel "$(rid IDC_SET_TITLE)"
shot 01-cursor-set-screen

say "editing slot 3: a red stroke and Renewal change only the fourth frame's bits"
k lselect Kestrel "$(rid IDC_SET_SLOTS)" 3
expect_k "slot 3 chosen" "$(printf ' 0\n 1\n 2\n*3\n 4\n 5\n 6\n 7')" list Kestrel "$(rid IDC_SET_SLOTS)"
k click Kestrel "$(rid IDC_SET_EDIT)"
k wait-visible "Cursor/Stamp Edit" 20000 || fail "editor never shown"
expect_k "action button" "Renewal" text "Cursor/Stamp Edit" "$(rid IDC_ACTION)"
expect_k "main window disabled meanwhile" 0 enabled Kestrel 0
# The main window brought forward over the editor, though disabled: the editor comes back on top.
k foreground Kestrel
expect_k "the editor back in front" 1 foreground-is "Cursor/Stamp Edit"
k click "Cursor/Stamp Edit" $(($(gid IDC_COLOR_FIRST) + 7))
stroke "Cursor/Stamp Edit" 0 2 9
# Through the clipboard and back: copied, cleared, pasted.
for command in IDM_SELECT_ALL IDM_COPY IDM_CLEAR_ALL IDM_PASTE; do
  k command "Cursor/Stamp Edit" "$(gid "$command")"
done
shot 02-editor-set-frame
k click "Cursor/Stamp Edit" "$(rid IDC_ACTION)"
expect_box "renewal message" "The item is saved in the list."
answer_box Kestrel 1 || fail "the message stayed"
expect_soon "the stroke, top row" "0 0 7 7 7 7 7 7 7 7 0 0" check nibbles "$work/Temp.csp" $((frame3 + 31 * 16)) 12
expect_soon "only frame 3's colour and mask bits" ok check only-changed "$work/fresh.csp" "$work/Temp.csp" $frame3 640
k close "Cursor/Stamp Edit"
k wait-gone "Cursor/Stamp Edit" 10000 || fail "editor stayed open"
expect_k "main window enabled again" 1 enabled Kestrel 0
shot 03-set-screen-after-renewal

say "sending the set gives four blocks at 0x4F2000 carrying the packed image"
m=$(mark)
k command Kestrel "$(rid ID_SEND_CURSOR)"
expect_box "send question" "$(printf 'When you send a data to the projector, the lamp turns off.\nDo you send the cursor/stamp set to the projector?')"
k answer Kestrel 6
expect_box "success" "Sending the data is finished normally." "$WAIT_LONG"
shot 04-set-sent
answer_box Kestrel 1 || fail "the message stayed"
wait_for "$WAIT_SHORT" log_has "$m" "bulk end" || fail "the projector saw no end of the transfer"
expect "transfer ended once" 1 "$(since "$m" | grep -c 'bulk end')"
expect "blocks" "4 blocks match" "$(check blocks "$simlog" "$m" "$work/Temp.csp")"

say "a set the projector refuses says so after the lamp question"
sim "block-fault 1 refuse"
k command Kestrel "$(rid ID_SEND_CURSOR)"
expect_box "send question again" "$(printf 'When you send a data to the projector, the lamp turns off.\nDo you send the cursor/stamp set to the projector?')"
k answer Kestrel 6
expect_box "failure said" "$(printf 'An error is occurred during communicating with the projector.\nCheck the connection between projector power and the computer power.')" "$WAIT_LONG"
shot 04-set-refused
answer_box Kestrel 1 || fail "the message stayed"

say "a Yes whose Save As is cancelled keeps the changed set: neither the close nor New goes on"
cancel_save_as() {
  k answer Kestrel 6
  wait_box "Save As" || fail "save dialog not shown"
  answer_box "Save As" 2 || fail "save dialog stayed"
}
k close Kestrel
expect_box "close question" "Do you save the change to cursor/stamp set?"
shot 04a-close-question
cancel_save_as
# The program is still there and the set still changed: New asks again.
k command Kestrel "$(rid ID_FILE_NEW)"
expect_box "save question again" "Do you save the change to cursor/stamp set?"
cancel_save_as
expect_soon "the renewed frame kept in Temp.csp" "0 0 7 7 7 7 7 7 7 7 0 0" check nibbles "$work/Temp.csp" $((frame3 + 31 * 16)) 12

say "the renewed set counts as changed: New asks first, then starts a fresh Temp.csp"
k command Kestrel "$(rid ID_FILE_NEW)"
expect_box "save question" "Do you save the change to cursor/stamp set?"
answer_box Kestrel 7 || fail "the message stayed"
wait_for "$WAIT_SHORT" cmp -s "$work/fresh.csp" "$work/Temp.csp" && echo "ok: fresh Temp.csp" || fail "Temp.csp not fresh after New"

say "Save As names the set and the ini keeps it; the next run's Open starts in its folder"
mkdir -p "$work/sets"
talk=$(cd "$work" && winepath -w "$work/sets/talk.csp" 2>/dev/null | tr -d '\r')
k command Kestrel "$(rid ID_FILE_SAVE_AS)"
wait_box "Save As" || fail "save dialog not shown"
xdotool type --delay 30 "$talk" 2>/dev/null
xdotool key Return 2>/dev/null
k box-gone "Save As" 5000 || fail "save dialog stayed"
wait_text Kestrel "$(rid IDC_SET_TITLE)" talk.csp || fail "title after Save As: $(k text Kestrel "$(rid IDC_SET_TITLE)")"
expect "saved set" "6260 RIFF 6260 ACON" "$(check header "$work/sets/talk.csp")"
close_app
expect "CursorStampFile" "$talk" "$(ini_value CurrentDirectry CursorStampFile)"
# The transfer left the lamp off; on again, so no power question comes between.
sim "power on"
start_app
k wait-visible Kestrel 20000 || fail "main window never shown again"
wait_for "$WAIT_SHORT" k_is 1 enabled Kestrel 1040 || fail "not connected again"
restore_main
k select Kestrel "$(rid IDC_SCREEN_LIST)" 3
wait_for "$WAIT_SHORT" k_is "Cursor/Stamp Setting" screen Kestrel || fail "set screen not shown"
expect "a fresh set at the next run" Untitled "$(k text Kestrel "$(rid IDC_SET_TITLE)")"
open_talk() {
  k command Kestrel "$(rid ID_FILE_OPEN)"
  wait_box "Open" || fail "open dialog not shown"
  xdotool type --delay 30 talk.csp 2>/dev/null
  xdotool key Return 2>/dev/null
  k box-gone Open 30000 || fail "open dialog stayed: talk.csp not in the folder it started in"
}
# No Temp.csp can be written (a folder has its name): the open fails, and the page keeps its
# set and name, so a later Save cannot put this set into talk.csp.
rm -f "$work/Temp.csp"
mkdir "$work/Temp.csp"
open_talk
expect_box "copy refused" "Failed to read in the file."
answer_box Kestrel 1 || fail "the message stayed"
rmdir "$work/Temp.csp"
cp "$work/fresh.csp" "$work/Temp.csp"
expect "the name kept" Untitled "$(k text Kestrel "$(rid IDC_SET_TITLE)")"
open_talk
wait_text Kestrel "$(rid IDC_SET_TITLE)" talk.csp || fail "title after Open: $(k text Kestrel "$(rid IDC_SET_TITLE)")"
shot 04b-set-opened-from-remembered-folder
close_app
finish "cursor/stamp set scenarios"
