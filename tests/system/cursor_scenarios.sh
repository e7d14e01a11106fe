#!/usr/bin/env bash
# System scenarios of the cursor/stamp set screen, Glyphpad and the item libraries under
# Wine, driven by kdriver.exe on a simulated projector.
# Usage: cursor_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
# Glyphpad.exe and item_pages_host.exe are taken from beside Kestrel4.exe. Each scenario
# leaves a PNG of the whole screen in SCREENSHOT_DIR.
source "$(dirname "$0")/scenario_lib.sh"

here=$(cd "$(dirname "$0")" && pwd)
bin=$(dirname "$exe")
cp "$bin/Glyphpad.exe" "$bin/Glyphpad.html" "$bin/item_pages_host.exe" "$work/"
check() { python3 "$here/cursor_check.py" "$@"; }
# Control and string IDs by their names in the resource headers; gid for the editor's own.
rid() {
  awk -v name="$1" '$1 == "#define" && $2 == name { print $3; exit }' \
    "$here/../../resources/kestrel4/resource.h" "$here/../../resources/glyphpad/glyphpad_resource.h"
}
gid() {
  awk -v name="$1" '$1 == "#define" && $2 == name { print $3; exit }' "$here/../../resources/glyphpad/glyphpad_resource.h"
}
# A pencil stroke along a row of the editor's grid, from cell X1 to cell X2.
stroke() {  # stroke TITLE ROW X1 X2
  read -r w _ < <(k size "$1" "$(rid IDC_GRID)")
  local cell=$((w / 32)) half=$((w / 64))
  # Posted like the clicks that follow, so the editor takes them in this order.
  k drag "$1" "$(rid IDC_GRID)" $(($3 * cell + half)) $(($2 * cell + half)) $(($4 * cell + half)) $(($2 * cell + half))
}
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
  k box-gone Open 5000 || fail "open dialog stayed: talk.csp not in the folder it started in"
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

say "the cursor library: New... adds 06.crs after 05.crs and the page lists it"
mkdir -p "$work/cursor" "$work/stamp"
for n in 00 01 02 03 04 05; do check make-item "$work/cursor/$n.crs" 32; done
check make-item "$work/stamp/00.stp" 48
printf 'x' >> "$work/cursor/04.crs" # told apart after renumbering
(cd "$work" && exec wine item_pages_host.exe) &
host_pid=$!
k wait-visible Kestrel 20000 || fail "item pages never shown"
expect_k "cursor list" "$(printf '*00.crs\n 01.crs\n 02.crs\n 03.crs\n 04.crs\n 05.crs')" list "Kestrel/Cursor change" "$(rid IDC_ITEM_LIST)"
expect_k "a single stamp cannot be deleted" 0 enabled "Kestrel/Stamp" "$(rid IDC_ITEM_DELETE)"
k click "Kestrel/Cursor change" "$(rid IDC_ITEM_NEW)"
k wait-visible "Cursor Edit" 20000 || fail "editor never shown"
expect_k "action button" "Add" text "Cursor Edit" "$(rid IDC_ACTION)"
stroke "Cursor Edit" 5 1 20
shot 05-editor-new-cursor
k click "Cursor Edit" "$(rid IDC_ACTION)"
expect_box "added" "The item is added to the list."
answer_box Kestrel 1 || fail "the message stayed"
expect_soon "cursor/06.crs" 766 stat -c %s "$work/cursor/06.crs"
expect_k "button after adding" "Save" text "Cursor Edit" "$(rid IDC_ACTION)"
k close "Cursor Edit"
k wait-gone "Cursor Edit" 10000 || fail "editor stayed open"
wait_text Kestrel 100 0x52F 10 || fail "no exit notice"
cursor_items() { k list "Kestrel/Cursor change" "$(rid IDC_ITEM_LIST)" | cut -c2-; }
expect_soon "listed" "$(printf '%s.crs\n' 00 01 02 03 04 05 06)" cursor_items
shot 06-cursor-library

say "deleting 03.crs renumbers the later items"
k lselect "Kestrel/Cursor change" "$(rid IDC_ITEM_LIST)" 3
k click "Kestrel/Cursor change" "$(rid IDC_ITEM_DELETE)"
expect_box "delete question" "The selected item will be deleted, OK?"
answer_box Kestrel 6 || fail "the message stayed"
expect_k "six left" "$(printf ' 00.crs\n 01.crs\n 02.crs\n*03.crs\n 04.crs\n 05.crs')" list "Kestrel/Cursor change" "$(rid IDC_ITEM_LIST)"
expect_soon "former 04 is 03" 767 stat -c %s "$work/cursor/03.crs"
wait_for "$WAIT_SHORT" test ! -e "$work/cursor/06.crs" && echo "ok: no 06.crs" || fail "06.crs still there"
shot 07-after-delete

say "an item whose file cannot be deleted stays, and the page says so"
chmod a-w "$work/cursor/01.crs"
k lselect "Kestrel/Cursor change" "$(rid IDC_ITEM_LIST)" 1
k click "Kestrel/Cursor change" "$(rid IDC_ITEM_DELETE)"
expect_box "delete question" "The selected item will be deleted, OK?"
k answer Kestrel 6
expect_box "delete refused" "The selected item could not be deleted."
shot 07b-delete-refused
answer_box Kestrel 1 || fail "the message stayed"
chmod u+w "$work/cursor/01.crs"
expect_k "nothing renumbered" "$(printf ' 00.crs\n*01.crs\n 02.crs\n 03.crs\n 04.crs\n 05.crs')" list "Kestrel/Cursor change" "$(rid IDC_ITEM_LIST)"
expect_soon "former 04 still 03" 767 stat -c %s "$work/cursor/03.crs"

say "closing the editor without edits asks nothing and posts the exit notice"
k post Kestrel 0x52D
wait_text Kestrel 100 0x52D 10 || fail "notice not reset"
(cd "$work" && exec wine Glyphpad.exe /SE 00.stp 00.stp) &
k wait-visible "Stamp Edit" 20000 || fail "stamp editor never shown"
shot 08-stamp-editor
k close "Stamp Edit"
k wait-gone "Stamp Edit" 10000 || fail "stamp editor asked something"
wait_text Kestrel 100 0x52F 10 && echo "ok: exit notice" || fail "no exit notice"

say "an unknown switch ends Glyphpad without a window"
(cd "$work" && timeout 60 wine Glyphpad.exe /XX 05.crs) && echo "ok: ended by itself" || fail "Glyphpad /XX did not end"
expect_k "no editor window" 0 count "Cursor Edit"
k close Kestrel
host_gone() { ! kill -0 "$host_pid" 2>/dev/null; }
wait_for "$WAIT_SHORT" host_gone || { fail "item pages did not close"; kill "$host_pid"; }
finish "cursor/stamp scenarios"
