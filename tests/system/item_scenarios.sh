#!/usr/bin/env bash
# System scenarios of the item libraries (the cursor and stamp pages in a window of their own)
# and of Glyphpad started by them, under Wine, driven by kdriver.exe.
# Usage: item_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
# Glyphpad.exe and item_pages_host.exe are taken from beside Kestrel4.exe. Each scenario
# leaves a PNG of the whole screen in SCREENSHOT_DIR.
source "$(dirname "$0")/scenario_lib.sh"
source "$(dirname "$0")/cursor_lib.sh"

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

say "a save that fails when leaving the editor keeps the editor open with the drawing"
cp "$work/stamp/00.stp" "$work/stamp-before.stp"
chmod a-w "$work/stamp/00.stp"
(cd "$work" && exec wine Glyphpad.exe /SE 00.stp 00.stp) &
k wait-visible "Stamp Edit" 20000 || fail "stamp editor never shown"
stroke "Stamp Edit" 5 1 20
k close "Stamp Edit"
expect_box "leave question" "Save before exiting?"
k answer Kestrel 6
# The save choice (overwrite) is a box of the same title; its OK (which the question has not)
# is clicked once it is there.
choose_overwrite() { wait_for "$WAIT_SHORT" k answer Kestrel 1 || fail "the save choice never shown"; }
choose_overwrite
expect_box "save refused" "$(printf 'Failed to add the item.\nFailed to save in the disc.')"
answer_box Kestrel 1 || fail "the message stayed"
expect_k "the editor still open" 1 count "Stamp Edit"
cmp -s "$work/stamp/00.stp" "$work/stamp-before.stp" && echo "ok: the read-only item as it was" || fail "the read-only item was replaced"
# Writable again, the drawing still there is saved: it was not discarded.
chmod u+w "$work/stamp/00.stp"
k click "Stamp Edit" "$(rid IDC_ACTION)"
choose_overwrite
expect_box "saved" "The item is saved in the list."
answer_box Kestrel 1 || fail "the message stayed"
cmp -s "$work/stamp/00.stp" "$work/stamp-before.stp" && fail "the drawing was lost" || echo "ok: the drawing saved"
k close "Stamp Edit"
k wait-gone "Stamp Edit" 10000 || fail "stamp editor stayed open"
cp "$work/stamp-before.stp" "$work/stamp/00.stp"

say "logging off with a changed drawing asks first: Cancel keeps the session, Yes saves"
(cd "$work" && exec wine Glyphpad.exe /SE 00.stp 00.stp) &
k wait-visible "Stamp Edit" 20000 || fail "stamp editor never shown"
stroke "Stamp Edit" 7 1 20
# The query is sent, so it waits for the answer: from a kdriver run of its own, in the background.
end_session() { (cd "$work" && wine kdriver.exe end-session "Stamp Edit" >"$work/session.txt" 2>/dev/null); }
end_session &
query=$!
expect_box "leave question at log-off" "Save before exiting?"
answer_box Kestrel 2 || fail "the question stayed"
wait "$query" && [ "$(tr -d '\r' <"$work/session.txt")" == 0 ] && echo "ok: log-off refused" ||
  fail "log-off not refused: [$(cat "$work/session.txt")]"
expect_k "the editor still open" 1 count "Stamp Edit"
cmp -s "$work/stamp/00.stp" "$work/stamp-before.stp" && echo "ok: nothing saved yet" || fail "saved on Cancel"
end_session &
query=$!
expect_box "asked again" "Save before exiting?"
k answer Kestrel 6
choose_overwrite
expect_box "saved" "The item is saved in the list."
answer_box Kestrel 1 || fail "the message stayed"
wait "$query" && [ "$(tr -d '\r' <"$work/session.txt")" == 1 ] && echo "ok: log-off allowed once saved" ||
  fail "log-off not allowed: [$(cat "$work/session.txt")]"
cmp -s "$work/stamp/00.stp" "$work/stamp-before.stp" && fail "the drawing was lost" || echo "ok: the drawing saved"
k close "Stamp Edit"
k wait-gone "Stamp Edit" 10000 || fail "stamp editor asked again after the save"
cp "$work/stamp-before.stp" "$work/stamp/00.stp"

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
finish "item library scenarios"
