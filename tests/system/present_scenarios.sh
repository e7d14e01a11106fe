#!/usr/bin/env bash
# The Presentation Support screen: its eleven setting pages, type changes and the values
# they store, the range check of a width, the Key page's entry limit, the Sound page,
# registering, choosing and deleting function settings, a shortcut typed with real key
# presses, and changes the ini cannot take. Arguments as scenario_lib.sh; the program starts
# unconnected.
source "$(dirname "$0")/scenario_lib.sh"

here=$(cd "$(dirname "$0")" && pwd)
ITEM_LIST=$(rid IDC_ITEM_LIST)

has_section() { grep -qi "^\[$1\]" "$ini"; }

SP="Kestrel/Presentation Support"
# Visible pages below the screen, the screen itself left out.
shown_page() { k pages Kestrel | grep -v '^Presentation Support$' | paste -sd, -; }
page_is() { [ "$(shown_page)" == "$1" ]; }
choose_type() {  # choose_type INDEX PAGE-CAPTION
  k lselect "$SP" 1000 "$1"
  wait_for "$WAIT_SHORT" page_is "$2"
}
select_slot() {  # select_slot INDEX PAGE-CAPTION: a slot tab, and the page of its type
  k tab "$SP" 1004 "$1"
  wait_for "$WAIT_SHORT" page_is "$2" || fail "slot $(($1 + 1)) shows [$(shown_page)], expected [$2]"
}
click_at() {  # click_at TITLE ID: a real click on the control's centre, which takes the focus
  local xy
  xy=$(k center "$1" "$2")
  xdotool mousemove ${xy% *} ${xy#* } click 1 2>/dev/null
  wait_focus "$2" || fail "control $2 did not take the focus"
}
value_is() { [ "$(ini_value "$1" "$2")" == "$3" ]; }
wait_value() { wait_for "${4:-$WAIT_SHORT}" value_is "$1" "$2" "$3"; }  # SECTION KEY VALUE [SECONDS]

say "start unconnected on the Presentation Support screen"
printf '[ConnectStatus]\r\nConnectMode=1\r\n' > "$ini"
mkdir -p "$work/stamp" "$work/cursor"
for n in 00 01 02 03; do python3 "$here/cursor_check.py" make-item "$work/stamp/$n.stp" 48; done
for n in 00 01; do python3 "$here/cursor_check.py" make-item "$work/cursor/$n.crs" 32; done
start_app
k wait-visible Kestrel 20000 || fail "main window never shown"
restore_main
expect_k "visible screen" "Presentation Support" screen Kestrel
expect_k "name list" "*Initial Setting" combo "$SP" 1001
expect_k "Delete disabled for Initial Setting" 0 enabled "$SP" 1003
select_slot 2 "Bar"
expect_k "its width" 4 text "Kestrel/Bar" 1010
shot initial-setting-slot3

say "every type's page on slot 1"
select_slot 0 "Cursor change"
expect_k "the seeded cursor item selected" "$(printf '*00.crs\n 01.crs')" list "Kestrel/Cursor change" "$ITEM_LIST"
pages=("Free Line" "Line" "Ellipse" "Square" "Bar" "Stamp" "Cursor change" "Sound" "Spot light" "Clear Screen" "Key")
files=(free_line line ellipse square bar stamp cursor_change sound spot_light clear_screen key)
for t in $(seq 0 10); do
  choose_type "$t" "${pages[$t]}" || fail "type $t shows page [$(shown_page)], expected [${pages[$t]}]"
  shot "page-$(printf %02d $t)-${files[$t]}"
done
expect_k "Present Setting made by the changes" "$(printf '*Present Setting\n Initial Setting')" combo "$SP" 1001
expect "Key type stored" KEY "$(ini_value Support_Temporary Effect1)"

say "the Stamp page: the item chosen in the library is the effect's, and follows a delete"
stamps_are() { k_is "$1" list "Kestrel/Stamp" "$ITEM_LIST"; }
choose_type 5 "Stamp" || fail "stamp page"
wait_for "$WAIT_SHORT" stamps_are "$(printf '*00.stp\n 01.stp\n 02.stp\n 03.stp')" || fail "stamp list: $(k list "Kestrel/Stamp" "$ITEM_LIST")"
wait_value Support_Temporary Effect1 STAMP 5 || fail "stamp token: $(ini_value Support_Temporary Effect1)"
expect "new stamp's item" 00.stp "$(ini_value Support_Temporary E1StampEffectFileName)"
k lselect "Kestrel/Stamp" "$ITEM_LIST" 2
wait_value Support_Temporary E1StampEffectFileName 02.stp 5 || fail "chosen stamp: $(ini_value Support_Temporary E1StampEffectFileName)"
shot stamp-item-chosen
select_slot 4 "Clear Screen"
select_slot 0 "Stamp"
wait_for "$WAIT_SHORT" stamps_are "$(printf ' 00.stp\n 01.stp\n*02.stp\n 03.stp')" || fail "shown again: $(k list "Kestrel/Stamp" "$ITEM_LIST")"
k lselect "Kestrel/Stamp" "$ITEM_LIST" 3
wait_value Support_Temporary E1StampEffectFileName 03.stp 5 || fail "last stamp: $(ini_value Support_Temporary E1StampEffectFileName)"
k click "Kestrel/Stamp" "$(rid IDC_ITEM_DELETE)"
expect_k "delete question" "The selected item will be deleted, OK?" box Kestrel 10000
answer_box Kestrel 6
# The deleted last item leaves the effect on the new last one.
wait_for "$WAIT_SHORT" stamps_are "$(printf ' 00.stp\n 01.stp\n*02.stp')" || fail "after delete: $(k list "Kestrel/Stamp" "$ITEM_LIST")"
wait_value Support_Temporary E1StampEffectFileName 02.stp 5 || fail "after delete: $(ini_value Support_Temporary E1StampEffectFileName)"
[ -e "$work/stamp/03.stp" ] && fail "03.stp still there"
shot stamp-after-delete
# The editor's notice of a saved stamp lists the library again; the effect's item stays selected.
python3 "$here/cursor_check.py" make-item "$work/stamp/03.stp" 48
k post Kestrel 0x52D
wait_for "$WAIT_SHORT" stamps_are "$(printf ' 00.stp\n 01.stp\n*02.stp\n 03.stp')" || fail "after 0x52D: $(k list "Kestrel/Stamp" "$ITEM_LIST")"
expect "item kept" 02.stp "$(ini_value Support_Temporary E1StampEffectFileName)"

say "a free line becomes a bar with the bar's defaults"
choose_type 0 "Free Line" || fail "free line page"
expect_k "free line width" 5 text "Kestrel/Free Line" 1010
choose_type 4 "Bar" || fail "bar page"
expect_k "bar width" 4 text "Kestrel/Bar" 1010
expect_k "bar transparent" 1 checked "Kestrel/Bar" 1014
expect_k "bar horizontal" 1 checked "Kestrel/Bar" 1018
expect_k "bar not vertical" 0 checked "Kestrel/Bar" 1019
wait_value Support_Temporary Effect1 BAR 5 || fail "ini token: $(ini_value Support_Temporary Effect1)"
expect "ini bar colour yellow" 65535 "$(ini_value Support_Temporary E1BarEffectColor)"
expect "ini bar width" 4 "$(ini_value Support_Temporary E1BarEffectLineWidth)"
expect "ini bar transparent" 1 "$(ini_value Support_Temporary E1BarEffectClear)"
expect "ini bar horizontal" 0 "$(ini_value Support_Temporary E1BarEffectVertical)"
shot bar-after-free-line
k click "Kestrel/Bar" 1019
wait_value Support_Temporary E1BarEffectVertical 1 5 || fail "vertical not stored"
# Blue is softened on this display of more than 8 bits per pixel.
k click "Kestrel/Bar" 1025
wait_value Support_Temporary E1BarEffectColor 16728128 5 || fail "blue: $(ini_value Support_Temporary E1BarEffectColor)"

say "33 typed into a free line width reports the range"
choose_type 0 "Free Line" || fail "free line page"
click_at "Kestrel/Free Line" 1010
xdotool key End BackSpace BackSpace BackSpace 2>/dev/null
xdotool type 33 2>/dev/null
wait_text "Kestrel/Free Line" 1010 33 || fail "33 not typed"
xdotool key Tab 2>/dev/null
expect_k "range message" "Please enter an integer between 1 and 32." box Kestrel 10000
shot free-line-range
answer_box Kestrel 1 || fail "range message stayed"
expect "width kept" 5 "$(ini_value Support_Temporary E1FreeLineEffectLineWidth)"
expect_k "field back to the stored width" 5 text "Kestrel/Free Line" 1010
click_at "Kestrel/Free Line" 1010
xdotool key End BackSpace BackSpace BackSpace 2>/dev/null
xdotool type 12 2>/dev/null
wait_text "Kestrel/Free Line" 1010 12 || fail "12 not typed"
xdotool key Tab 2>/dev/null
wait_value Support_Temporary E1FreeLineEffectLineWidth 12 5 || fail "width 12 not stored"

say "the Key page takes sixteen entries"
choose_type 10 "Key" || fail "key page"
expect "default event" "*Page Up" "$(k list "Kestrel/Key" 1032 | sed 's/^ /*/')"
click_at "Kestrel/Key" 1031
xdotool key Tab 2>/dev/null
wait_text "Kestrel/Key" 1031 Tab || fail "Tab not captured: [$(k text "Kestrel/Key" 1031)]"
k click "Kestrel/Key" 1002
entries_are() { [ "$(k list "Kestrel/Key" 1032 | wc -l)" -eq "$1" ]; }
wait_for "$WAIT_SHORT" entries_are 2 || fail "Tab not entered"
for i in $(seq 3 16); do
  wait_focus 1031 || fail "capture field lost the focus"
  k key Kestrel $((64 + i))
  wait_text "Kestrel/Key" 1031 "$(printf "\\$(printf %o $((64 + i)))")" || fail "key $i not captured"
  k click "Kestrel/Key" 1002
  wait_for "$WAIT_SHORT" entries_are "$i" || fail "entry $i not added"
done
expect "sixteen entries" 16 "$(k list "Kestrel/Key" 1032 | wc -l)"
wait_focus 1031
k key Kestrel 90
wait_text "Kestrel/Key" 1031 Z || fail "Z not captured"
k click "Kestrel/Key" 1002
expect_k "the seventeenth is refused" "You cannot register anymore keys." box Kestrel 10000
shot key-seventeenth
answer_box Kestrel 1 || fail "key message stayed"
expect "still sixteen" 16 "$(k list "Kestrel/Key" 1032 | wc -l)"
expect "ini last event" "P" "$(ini_value Support_Temporary E1KeyEffectKeyEventString15)"
expect "ini no seventeenth" "<missing>" "$(ini_value Support_Temporary E1KeyEffectKeyEventString16)"
expect "ini Tab event" 9 "$(ini_value Support_Temporary_Struct11 VirtualKeyCode0)"
shot key-sixteen

say "the Sound page takes a file and remembers it"
python3 -c "import wave; w = wave.open('$work/chime.wav', 'wb'); w.setnchannels(1); w.setsampwidth(1); w.setframerate(8000); w.writeframes(bytes([128]) * 32000); w.close()"
chime=$(cd "$work" && winepath -w "$work/chime.wav" 2>/dev/null | tr -d '\r')
select_slot 3 "Square"
choose_type 7 "Sound" || fail "sound page"
expect_k "play disabled without a file" 0 enabled "Kestrel/Sound" 1027
k click "Kestrel/Sound" 1026
wait_box "Open" || fail "file dialog not shown"
xdotool type --delay 30 "$chime" 2>/dev/null
xdotool key Return 2>/dev/null
k box-gone Open 30000 || fail "file dialog stayed"
expect_k "sound name" chime.wav text "Kestrel/Sound" 1038
wait_value Support_Temporary E4SoundEffectFileName "$chime" 5 || fail "sound path: $(ini_value Support_Temporary E4SoundEffectFileName)"
expect_k "play enabled" 1 enabled "Kestrel/Sound" 1027
shot sound-chosen
k click "Kestrel/Sound" 1027
# Playing needs a sound device: it plays (stop enabled until the end), the library's error
# is shown, or, on a display without sound output, the end is reported at once.
for _ in $(seq 10); do
  [ "$(k enabled "Kestrel/Sound" 1029)" = 1 ] && { echo "playing"; break; }
  text=$(k box Kestrel 100)
  [ -n "$text" ] && { echo "sound error shown: $text"; k answer Kestrel 1; k box-gone Kestrel 5000; break; }
done
wait_for "$WAIT_SHORT" k_is 1 enabled "Kestrel/Sound" 1027
expect_k "play enabled again after the end" 1 enabled "Kestrel/Sound" 1027

say "a sound still playing when its slot changes type stops with its definition"
k click "Kestrel/Sound" 1027
if wait_for 5 k_is 1 enabled "Kestrel/Sound" 1029; then
  choose_type 9 "Clear Screen" || fail "clear screen page"
  expect_k "stop disabled on the hidden page" 0 enabled "Kestrel/Sound" 1029
  choose_type 7 "Sound" || fail "sound page again"
  expect_k "a fresh sound: nothing to play" 0 enabled "Kestrel/Sound" 1027
  expect_k "nothing playing" 0 enabled "Kestrel/Sound" 1029
else
  # Without sound output the sound ends at once (or its error was shown above).
  k answer Kestrel 1 2>/dev/null
  echo "no sound output: the type change while playing is not exercised"
fi
select_slot 0 "Key"

say "registering, choosing and deleting function settings"
k click "$SP" 1002
wait_box "Registering Function Settings" || fail "register dialog not shown"
xdotool type --delay 80 "  Lec[tu;re=] " 2>/dev/null
wait_text "Registering Function Settings" 1001 "  Lecture " || fail "name typed: [$(k text "Registering Function Settings" 1001)]"
shot register-dialog
answer_box "Registering Function Settings" 1 || fail "register dialog stayed"
wait_value Support_CurrentSection Support_Lecture 1
expect_k "list after registering" "$(printf '*Lecture\n Initial Setting')" combo "$SP" 1001
expect_k "Delete enabled" 1 enabled "$SP" 1003
expect "SectionNum" 2 "$(ini_value Support_SectionName SectionNum)"
expect "SectionName1" Support_Lecture "$(ini_value Support_SectionName SectionName1)"
expect "current Lecture" 1 "$(ini_value Support_CurrentSection Support_Lecture)"
expect "Initial not current" 0 "$(ini_value Support_CurrentSection Support_Defaults)"
expect "Lecture slot 1" KEY "$(ini_value Support_Lecture Effect1)"
has_section Support_Temporary && fail "Present Setting left in the ini"
has_section Support_Temporary_Struct10 && fail "Present Setting's key sub-sections left in the ini"

k click "$SP" 1002
wait_box "Registering Function Settings" || fail "register dialog not shown"
xdotool type "Defaults" 2>/dev/null
wait_text "Registering Function Settings" 1001 Defaults || fail "Defaults not typed"
k answer "Registering Function Settings" 1
expect_k "reserved name" "You cannot use the register name." box Kestrel 10000
answer_box Kestrel 1

say "';', '=', '[' and ']' neither pasted nor put in otherwise make a name"
k click "$SP" 1002
wait_box "Registering Function Settings" || fail "register dialog not shown"
k paste "Registering Function Settings" 1001 "Te[a=m];"
wait_text "Registering Function Settings" 1001 Team || fail "pasted: [$(k text "Registering Function Settings" 1001)]"
k settext "Registering Function Settings" 1001 "Talk=1"
answer_box "Registering Function Settings" 1 || fail "register dialog stayed"
expect_k "nothing registered" "$(printf '*Lecture\n Initial Setting')" combo "$SP" 1001

k select "$SP" 1001 1
wait_value Support_CurrentSection Support_Defaults 1
grep -q 'Talk' "$ini" && fail "the refused name reached the ini"
expect "Initial Setting chosen" 1 "$(ini_value Support_CurrentSection Support_Defaults)"
expect "Lecture no longer current" 0 "$(ini_value Support_CurrentSection Support_Lecture)"
wait_for "$WAIT_SHORT" page_is "Cursor change" || fail "slot 1 of Initial Setting shows [$(shown_page)]"

k select "$SP" 1001 0
wait_for "$WAIT_SHORT" page_is Key || fail "Lecture not loaded again: [$(shown_page)]"
k click "$SP" 1003
expect "delete question" 'The "Lecture" function setting will be deleted, OK?' "$(k box Kestrel 10000)"
shot delete-question
answer_box Kestrel 6
no_section() { ! has_section "$1"; }
wait_for "$WAIT_SHORT" no_section Support_Lecture
has_section Support_Lecture && fail "Support_Lecture left in the ini"
has_section Support_Lecture_Struct10 && fail "Lecture's key sub-sections left in the ini"
expect_k "list after deleting" "*Initial Setting" combo "$SP" 1001
expect "SectionNum after deleting" 1 "$(ini_value Support_SectionName SectionNum)"
expect "Initial Setting current again" 1 "$(ini_value Support_CurrentSection Support_Defaults)"

say "a shortcut typed with real key presses"
select_slot 1 "Stamp"
click_at "$SP" 1039
xdotool key ctrl+shift+p 2>/dev/null
wait_text "$SP" 1039 "Ctrl + Shift + P" || fail "shortcut field: [$(k text "$SP" 1039)]"
wait_value ExecuteEffectKey Effect2 "Ctrl + Shift + P" 5 || fail "ExecuteEffectKey Effect2: $(ini_value ExecuteEffectKey Effect2)"
select_slot 2 "Bar"
click_at "$SP" 1039
xdotool key ctrl+shift+p 2>/dev/null
input_done() { k_is "" text "$SP" 1039 && [ "$(ini_value ExecuteEffectKey Effect2)" == "Ctrl + Shift + P" ]; }
wait_for "$WAIT_SHORT" input_done
expect_k "duplicate refused" "" text "$SP" 1039
expect "slot 3 shortcut unset" "" "$(ini_value ExecuteEffectKey Effect3)"
xdotool key F6 2>/dev/null
wait_text "$SP" 1039 "F6 " || fail "F6: [$(k text "$SP" 1039)]"
# The profile functions may or may not keep the blank of "F6 ".
slot3_key() { ini_value ExecuteEffectKey Effect3 | sed 's/ *$//'; }
slot3_key_is() { [ "$(slot3_key)" == "$1" ]; }
wait_for "$WAIT_SHORT" slot3_key_is F6 || fail "ExecuteEffectKey Effect3: [$(slot3_key)]"
shot shortcut

say "changes the ini cannot take are reported, and the page shows what it holds"
# The copy each change is written to cannot be made while a folder has its name.
mkdir -p "$work/Kestrel4.ini.new/blocked"
stored=$(ini_value Support_Defaults E3BarEffectClear)
k click "Kestrel/Bar" 1014
expect_box "write failure" "Failed to write Kestrel4.ini. The function settings are shown as they are stored."
shot write-failure
answer_box Kestrel 1
expect_k "the stored transparency shown again" "$stored" checked "Kestrel/Bar" 1014
expect_k "Initial Setting still current" "*Initial Setting" combo "$SP" 1001
has_section Support_Temporary && fail "Present Setting written"
click_at "$SP" 1039
xdotool key F8 2>/dev/null
expect_box "shortcut write failure" "Failed to write Kestrel4.ini. The function settings are shown as they are stored."
answer_box Kestrel 1
expect_k "the stored shortcut shown again" "F6 " text "$SP" 1039
expect "shortcut in the ini" F6 "$(slot3_key)"
rm -r "$work/Kestrel4.ini.new"

close_app
expect "sound file remembered" "$chime" "$(ini_value CurrentDirectry SoundFile)"
finish "presentation support scenarios"
