#!/usr/bin/env bash
# System scenarios of pictures other than bitmaps on the user-logo screen under Wine: a PNG
# chosen in the open dialog, a picture dropped on the screen, a damaged one refused.
# Usage: picture_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
# Needs what scenario_lib.sh needs, and ImageMagick's convert for the pictures.
source "$(dirname "$0")/scenario_lib.sh"
win() { winepath -w "$1" 2>/dev/null; }

ID_FILE_OPEN=57601
IDC_LOGO_PREVIEW=1162
IDC_FILE_TYPES=1136 # the file dialog's list of file types

# 200 x 150: red, green / blue and a transparent quarter, which shows white.
convert -size 100x75 xc:red -size 100x75 xc:lime +append \
  \( -size 100x75 xc:blue -size 100x75 xc:none +append \) -append "$work/quarters.png"
convert -size 160x120 xc:'#0000FF' -fill yellow -draw 'rectangle 0,0 79,59' "$work/dropped.gif"
head -c $(($(stat -c %s "$work/quarters.png") / 2)) "$work/quarters.png" > "$work/broken.png"

say "the logo screen opens a PNG from the open dialog"
start_connected
k select Kestrel "$(rid IDC_SCREEN_LIST)" 2
expect_k "the logo screen is shown" "Setting User logo" screen Kestrel
read -r px py <<< "$(k center Kestrel $IDC_LOGO_PREVIEW)"
k command Kestrel $ID_FILE_OPEN
wait_box Open || fail "no open dialog"
first_file_type() { k combo Open $IDC_FILE_TYPES | head -n 1; }
expect_soon "pictures are offered first" "*Pictures (*.bmp;*.png;*.jpg;*.jpeg;*.gif;*.tif;*.tiff)" first_file_type
k file-name Open "$(win "$work/quarters.png")" 10000 || fail "no file dialog"
k box-gone Open 10000 || fail "open dialog stayed"
# The picture at its own size, centred: 50 pixels left and 37 above the centre lies its red
# quarter; as far right and below, its transparent one over white.
expect_pixel "the preview shows the PNG's red quarter" "FF0000" $((px - 50)) $((py - 37))
expect_pixel "the transparent quarter is white" "FFFFFF" $((px + 50)) $((py + 37))
shot 61-picture-png

say "a picture dropped on the screen opens"
k drop Kestrel "$(win "$work/dropped.gif")" || fail "nothing on the screen takes a dropped file"
expect_pixel "the dropped GIF's blue" "0000FF" $((px + 40)) $((py + 30))
expect_pixel "the dropped GIF's yellow corner" "FFFF00" $((px - 40)) $((py - 30))
shot 62-picture-dropped

say "a damaged picture dropped gets the file message and changes nothing"
k drop Kestrel "$(win "$work/broken.png")" || fail "the drop was not delivered"
expect_box "damaged file" "This file is not available."
answer_box Kestrel 1 || fail "the message stayed"
expect_pixel "the picture before stays" "0000FF" $((px + 40)) $((py + 30))
shot 63-picture-damaged

close_app
finish "picture scenarios"
