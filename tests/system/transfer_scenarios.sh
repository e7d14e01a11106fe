#!/usr/bin/env bash
# System scenarios of the user logo under Wine, driven by kdriver.exe (the test patterns:
# pattern_scenarios.sh).
# Usage: transfer_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
# Needs what scenario_lib.sh needs. Each scenario leaves a PNG of the whole screen.
source "$(dirname "$0")/scenario_lib.sh"
source "$(dirname "$0")/transfer_lib.sh"

ID_FILE_OPEN=57601
ID_FILE_SAVE_AS=57604
ID_SEND_LOGO=32776
IDC_LOGO_PREVIEW=1162
AREA="Selecting User logo Area"

wait_log() { wait_for "$3" log_has "$1" "$2"; }  # wait_log MARK TEXT SECONDS
zoom_chosen() { k combo Kestrel 1062 | grep '^\*'; }

$files lgo "$work/deflogo.lgo" 60 40
$files bmp "$work/photo.bmp" 200 150

say "the logo page starts with the default logo"
start_connected
k select Kestrel 1000 2
expect_k "the logo screen is shown" "Setting User logo" screen Kestrel
expect_k "zoom choices" "$(printf ' 100 %%\n 150 %%\n*200 %%\n 250 %%\n 300 %%')" combo Kestrel 1062
shot 31-logo-default

say "opening a bitmap shows it in the preview"
read -r px py <<< "$(k center Kestrel $IDC_LOGO_PREVIEW)"
k command Kestrel $ID_FILE_OPEN
choose_file Open "$work/photo.bmp"
# The preview shows a picture at its own size, centred: 80 pixels left of the centre and 60
# below it lies the red quadrant of the 200 x 150 bitmap, outside the 60 x 40 default logo.
expect_pixel "the preview shows the bitmap" "FF00??" $((px - 80)) $((py + 60))
shot 32-logo-bitmap

say "selecting an area with the rubber band"
k click Kestrel 1146
wait_box "$AREA" || fail "no area dialog"
# The picture sits at the view's top left at its own size: from (20, 15) to (120, 90).
read -r vl vt _ _ <<< "$(k rect "$AREA" 1164)"
xdotool mousemove $((vl + 20)) $((vt + 15)) mousedown 1 mousemove $((vl + 60)) $((vt + 50)) \
  mousemove $((vl + 120)) $((vt + 90)) mouseup 1 2>/dev/null
# The band's dotted red line (white between the dots) on the picture's green quadrant.
expect_pixel "the rubber band's right edge" "FF????" $((vl + 120)) $((vt + 50))
shot 33-logo-area

say "the area dialog's Help and F1 open the manual at the area's section"
stand_in_browser
area_topic="file:///$(winepath -w "$work/Kestrel4.html" | tr '\\' /)#logo-area"
k click "$AREA" "$(rid IDC_AREA_HELP)"
expect_until "$WAIT_LONG" "Help opens the section" "1 $area_topic" opened_is 1 "$area_topic"
# The modal dialog answers F1 itself: the main window's accelerators do not reach it.
k foreground "$AREA"
xdotool key F1 2>/dev/null
expect_until "$WAIT_LONG" "F1 opens the section" "2 $area_topic" opened_is 2 "$area_topic"
answer_box "$AREA" 1 || fail "area dialog stayed"

say "a zoom of 250 % and Save As a logo file"
k select Kestrel 1062 3
expect_soon "zoom chosen" "*250 %" zoom_chosen
k command Kestrel $ID_FILE_SAVE_AS
choose_file "Save As" "$work/chosen.lgo"
wait_for "$WAIT_SHORT" test -s "$work/chosen.lgo" || fail "no logo file written"
expect "the bitmap is untouched" "$($files bmp "$work/photo2.bmp" 200 150; cmp -s "$work/photo.bmp" "$work/photo2.bmp" && echo same)" same

say "opening the logo file again keeps area and zoom"
# Another zoom first, so that the file's zoom is seen to come back; the change is not saved.
k select Kestrel 1062 0
expect_soon "zoom changed" "*100 %" zoom_chosen
# A Yes whose Save As is cancelled keeps the change: the open does not go on.
k command Kestrel $ID_FILE_OPEN
expect_box "save question" "Save the change to user logo file?"
k answer Kestrel 6
wait_box "Save As" || fail "no save dialog"
answer_box "Save As" 2 || fail "save dialog stayed"
k command Kestrel $ID_FILE_OPEN
expect_box "asked again: the change is kept" "Save the change to user logo file?"
k answer Kestrel 7
choose_file Open "$work/chosen.lgo"
expect_soon "zoom of the file" "*250 %" zoom_chosen
shot 34-logo-reopened

say "reconnecting keeps the logo's own zoom"
k select Kestrel "$(rid IDC_SCREEN_LIST)" 0
wait_for "$WAIT_SHORT" k_is "Presentation Support" screen Kestrel || fail "support screen not shown"
m=$(mark)
k command Kestrel "$(rid ID_PORT_COM1)" # the link is closed and opened again
wait_frames "$m" "1B 07 01 00 00 01 " 1 "$WAIT_LONG" || fail "the link mode was not set again"
logo_screen() { k select Kestrel "$(rid IDC_SCREEN_LIST)" 2 && k_is "Setting User logo" screen Kestrel; }
wait_for "$WAIT_LONG" logo_screen || fail "the logo screen not offered again"
expect_soon "zoom of the logo held" "*250 %" zoom_chosen

say "sending the logo: the projector receives its pixels"
sim "image $work/received.bin"
m=$(mark)
k command Kestrel $ID_SEND_LOGO
send_question=$(printf 'When you send a data to the projector, the lamp turns off.\nIt takes a few minutes to do the operation above.\nWill you send?')
expect_box "send question" "$send_question"
k answer Kestrel 6
k box "Sending Situation" 10000 >/dev/null && shot 35-logo-sending
expect_box "finished" "Sending the data is finished normally." "$WAIT_LONG"
shot 36-logo-sent
answer_box Kestrel 1 || fail "the message stayed"
wait_log "$m" "transfer end:" "$WAIT_SHORT" || fail "the projector saw no end of the transfer"
$files expect "$work/chosen.lgo" "$work/expected.bin"
cmp -s "$work/received.bin" "$work/expected.bin" || fail "received image differs from the logo file's pixels"
expect "the end command closed the transfer" 1 "$(since "$m" | grep -c 'transfer end:')"
wait_frames "$m" "1B 07 01 00 00 00 " 1 || fail "the link mode did not go back"
expect "the link mode went back to 0 once" 1 "$(frames_since "$m" "1B 07 01 00 00 00 ")"
expect_k "the main window is enabled" 1 enabled Kestrel 1000

say "cancelling a transfer sends the abort and no success message"
sim "delay 400"
m=$(mark)
k command Kestrel $ID_SEND_LOGO
expect_box "send question" "$send_question"
k answer Kestrel 6
wait_log "$m" "set 0x0902" 30 || fail "no block sent"
wait_box "Sending Situation" || fail "no progress dialog"
k click "Sending Situation" 2
expect_box "cancel question" "$(printf 'When you cancel, the normal user logo cannot be displayed.\nWill you cancel sending the data?')"
k answer Kestrel 6
wait_log "$m" "transfer aborted" 30 || fail "the projector saw no abort"
sim "delay 0"
expect "abort sent" 1 "$(since "$m" | grep -c 'RX frame  1B 07 01 09 05 01 ')"
expect "no end command" 0 "$(since "$m" | grep -c 'RX frame  1B 07 01 09 05 00 ')"
expect_k "the main window is enabled" 1 enabled Kestrel 1000
if k box Kestrel 3000 >/dev/null; then fail "a message after cancelling"; fi
shot 37-logo-cancelled

say "a transfer the projector does not take says so, never that it finished"
sim "range 0x0000 0 1"
k command Kestrel $ID_SEND_LOGO
expect_box "send question" "$send_question"
k answer Kestrel 6
expect_box "failure said" "$(printf 'An error is occurred during communicating with the projector.\nCheck the connection between projector power and the computer power.')" "$WAIT_LONG"
shot 37-logo-refused
answer_box Kestrel 1 || fail "the message stayed"
expect_k "the main window is enabled" 1 enabled Kestrel 1000
sim "range 0x0000 0 2"

close_app

say "a damaged default logo leaves the logo page empty and says so"
printf 'not a logo' > "$work/deflogo.lgo"
sim "power on"
start_connected
k select Kestrel 1000 2
expect_box "the file's message" "Failed to read in the file."
answer_box Kestrel 1 || fail "the message stays"
expect_k "the logo screen is shown" "Setting User logo" screen Kestrel
if app_gone; then fail "the program ended"; fi
shot 38-logo-damaged-default

close_app
finish "user logo scenarios"
