#!/usr/bin/env bash
# System scenarios of the test patterns under Wine, driven by kdriver.exe.
# Usage: pattern_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
# Needs what scenario_lib.sh needs. Each scenario leaves a PNG of the whole screen.
source "$(dirname "$0")/scenario_lib.sh"
source "$(dirname "$0")/transfer_lib.sh"

ID_TEST_PATTERN=32773
PATTERN="Setting Test Pattern"
# The pattern window is the main window's one caption-less pop-up.
pattern_shown() { k_is "$1" splash-shown Kestrel; }  # pattern_shown 0|1

$files bmp "$work/photo.bmp" 200 150
printf 'not a picture' > "$work/text.bmp"

say "test patterns full screen"
start_connected
k select Kestrel 1000 1
k box-gone Kestrel 60000
read -r sw sh <<< "$(k screen-size Kestrel)"
open_pattern_dialog() {
  k command Kestrel $ID_TEST_PATTERN
  wait_box "$PATTERN" || fail "no pattern dialog"
}
choose_radio() {  # choose_radio ID: click a radio button of the pattern dialog, until it shows checked
  k click "$PATTERN" "$1"
  wait_for "$WAIT_SHORT" k_is 1 checked "$PATTERN" "$1" || fail "radio button $1 not checked"
}
close_pattern_dialog() {
  answer_box "$PATTERN" 1 || fail "the pattern dialog stayed"
}
pattern() {  # pattern RADIO_ID
  open_pattern_dialog
  choose_radio "$1"
  close_pattern_dialog
}
expect_k "Pattern Display is enabled" 1 enabled Kestrel 1055
pattern 1108
k click Kestrel 1055
wait_for "$WAIT_SHORT" pattern_shown 1 || fail "no pattern window"
# Each pixel is read until it shows; a colour the screen had before comes after those it did
# not have, which prove the pattern painted.
bar=$(((sw + 8) / 16))
expect_pixel "second grey bar" 202020 $((bar + bar / 2)) 100
expect_pixel "eighth grey bar" 808080 $((7 * bar + bar / 2)) 100
expect_pixel "last grey bar" FFFFFF $((sw - 2)) 100
expect_pixel "first grey bar" 000000 $((bar / 2)) 100
shot 41-pattern-gray

pattern 1109
expect_pixel "focus: left grid line" FFFFFF 0 $((sh / 2 + 7))
expect_pixel "focus: black inside a cell" 000000 7 $((sh / 2 + 7))
shot 42-pattern-focus

pattern 1107
expect_pixel "colour image: red at the top left" FF0000 0 0
shot 43-pattern-color
# Changed while the pattern covers the screen, the dialog must not open behind it.
open_pattern_dialog
expect_k "the pattern dialog above the pattern" 1 topmost "Setting Test Pattern"
close_pattern_dialog

say "the user file pattern: a text file is refused, a missing file shows the grey screen"
k click Kestrel 1055
wait_for "$WAIT_SHORT" pattern_shown 0 || fail "the pattern window stayed"
open_pattern_dialog
choose_radio 1110
expect_k "OK waits for a file" 0 enabled "$PATTERN" 1
k click "$PATTERN" 1112
choose_file Open "$work/text.bmp"
expect_box "a text file is not a bitmap" "This file is not available."
answer_box Kestrel 1 || fail "the message stayed"
k click "$PATTERN" 1112
cp "$work/photo.bmp" "$work/pattern.bmp"
choose_file Open "$work/pattern.bmp"
expect_k "file name shown" pattern.bmp text "$PATTERN" 1111
expect_k "OK takes the file" 1 enabled "$PATTERN" 1
shot 44-pattern-dialog
close_pattern_dialog
k click Kestrel 1055
# The 200 x 150 picture centred on black: left of the centre and below it, its red quadrant.
expect_pixel "user file: the picture's red quadrant" "FF00??" $((sw / 2 - 50)) $((sh / 2 + 20))
expect_pixel "user file: black around the picture" 000000 2 2
shot 45-pattern-user
k click Kestrel 1055
wait_for "$WAIT_SHORT" pattern_shown 0 || fail "the pattern window stayed"
rm -f "$work/pattern.bmp"
# Another file name resets the loaded picture; a missing one ends on the grey screen.
open_pattern_dialog
k click "$PATTERN" 1112
mkdir -p "$work/patterns"
cp "$work/photo.bmp" "$work/patterns/gone.bmp"
choose_file Open "$work/patterns/gone.bmp"
expect_k "file name shown" gone.bmp text "$PATTERN" 1111
close_pattern_dialog
rm -f "$work/patterns/gone.bmp"
k click Kestrel 1055
expect_box "missing file" "Failed to read in the file."
answer_box Kestrel 1 || fail "the message stayed"
expect_pixel "the grey screen after the message" C0C0C0 5 $((sh / 2))
shot 46-pattern-missing
k click Kestrel 1055
wait_for "$WAIT_SHORT" pattern_shown 0 || fail "the pattern window stayed"

close_app

say "the next run's Refer to... starts in the folder of the remembered pattern file"
expect "PatternFile" "$(win "$work/patterns/gone.bmp")" "$(ini_value CurrentDirectry PatternFile)"
# Remembered in a folder that no file dialog of the last run visited.
mkdir -p "$work/remembered"
cp "$work/photo.bmp" "$work/remembered/inside.bmp"
sed -i 's/\\patterns\\gone\.bmp/\\remembered\\old.bmp/' "$ini"
expect "PatternFile changed" "$(win "$work/remembered/old.bmp")" "$(ini_value CurrentDirectry PatternFile)"
# The transfers left the lamp off; on again, so no power question comes between.
sim "power on"
start_app
k wait-visible Kestrel 20000 || fail "main window never shown again"
wait_for "$WAIT_SHORT" k_is 1 enabled Kestrel "$(rid IDC_POWER)" || fail "not connected again"
restore_main
k select Kestrel "$(rid IDC_SCREEN_LIST)" 1
wait_for "$WAIT_SHORT" k_is 1 enabled Kestrel "$(rid IDC_PATTERN_DISPLAY)" || fail "Pattern Display not enabled"
open_pattern_dialog
choose_radio "$(rid IDC_PATTERN_USER)"
k click "$PATTERN" "$(rid IDC_PATTERN_REFER)"
# A bare name: found only in the folder the dialog started in.
k file-name Open inside.bmp 10000 || fail "no file dialog"
k box-gone Open 10000 || fail "open dialog stayed: inside.bmp not in the folder it started in"
expect_k "file name shown" inside.bmp text "$PATTERN" "$(rid IDC_PATTERN_FILE_NAME)"
shot 47-pattern-refer-folder
close_pattern_dialog
close_app
finish "test pattern scenarios"
