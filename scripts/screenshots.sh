#!/usr/bin/env bash
# Takes the manuals' pictures afresh: Kestrel4 (on a simulated projector) and Glyphpad run
# under Wine, each screen and dialog is shown, cut out of the screen in 256 colours and saved
# beside its manual (resources/kestrel4/kestrel4-*.png, resources/glyphpad/glyphpad-*.png).
# Run it after scripts/build.sh when a screen has changed, then look at the pictures and
# commit them:
#
#   scripts/screenshots.sh
#
# It drives the programs with the system scenarios' library (tests/system/scenario_lib.sh);
# started without arguments it makes the display, prefix and projector that library needs
# and runs itself again inside them.
set -uo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
bin=$repo/build/win/bin

if [ $# -eq 0 ]; then
  set -e
  driver=$(find "$repo/build/win" -name kdriver.exe -print -quit)
  [ -x "$bin/Kestrel4.exe" ] && [ -x "$bin/Glyphpad.exe" ] && [ -n "$driver" ] ||
    { echo "$0: build the Windows programs first (scripts/build.sh)" >&2; exit 1; }
  export KESTREL_FORCE_XVFB=1 # the pictures' size and colours must not depend on the desktop
  source "$repo/scripts/wine-session.sh"
  # Without a window manager nobody draws the title bars; Wine then draws them itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  log=$KESTREL_WINE_TMP/simulator.log
  "$repo/scripts/with-simulator.sh" --model KT-C310 --log "$log" -- \
    bash "$0" "$bin/Kestrel4.exe" "$driver" "$KESTREL_WINE_TMP/shots" "$log"
  exit
fi

source "$repo/tests/system/scenario_lib.sh"
cp "$bin/Glyphpad.exe" "$bin/deflogo.lgo" "$bin/Sample.csp" "$work/"
cp -r "$bin/cursor" "$bin/stamp" "$work/"
manual_k4=$repo/resources/kestrel4
manual_gp=$repo/resources/glyphpad
gid() { awk -v name="$1" '$1 == "#define" && $2 == name { print $3; exit }' "$manual_gp/glyphpad_resource.h"; }

# What the screen shows inside L T R B, as raw pixels.
grab() { import -window root -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" +repage "rgb:$1"; }
# The window's rectangle; true once two grabs of it in a row are the same, that is, once the
# program has finished painting it.
settled() {  # settled window-rect|box-rect TITLE
  local rect
  rect=$(k "$1" "$2") || return 1
  [ "$rect" == "${settled_rect-}" ] && grab "$work/next.rgb" $rect && cmp -s "$work/next.rgb" "$work/last.rgb" &&
    return 0
  settled_rect=$rect
  grab "$work/last.rgb" $rect
  return 1
}
# picture FILE window-rect|box-rect TITLE: the window, once painted, as an 8-bit palette PNG.
picture() {
  settled_rect=
  if ! wait_for "$WAIT_SHORT" settled "$2" "$3"; then
    fail "$3 never settled for $(basename "$1")"
    return
  fi
  # shellcheck disable=SC2086
  import -window root -crop "$(rect_size $settled_rect)" +repage -strip -colors 256 \
    -define png:compression-level=9 -define png:exclude-chunks=date,time "PNG8:$1"
  echo "picture: $(basename "$1") $(stat -c %s "$1") bytes"
}
rect_size() { echo "$(($3 - $1))x$(($4 - $2))+$1+$2"; }
main_picture() { picture "$manual_k4/kestrel4-$1.png" window-rect Kestrel; }
box_picture() { picture "$manual_k4/kestrel4-$1.png" box-rect "$2"; }
screen_is() { k_is "$1" screen Kestrel; }
show_screen() {  # show_screen INDEX CAPTION
  k select Kestrel "$(rid IDC_SCREEN_LIST)" "$1"
  wait_for "$WAIT_LONG" screen_is "$2" || fail "screen $2 not shown (saw [$last_answer])"
  k box-gone Kestrel 60000 || fail "a box stayed over $2"
}
close_box() { answer_box "$1" "${2:-2}" || fail "$1 stayed open"; }

say "Kestrel4: the four screens"
start_connected
show_screen 0 "Presentation Support"
main_picture presentation-support
show_screen 2 "Setting User logo"
main_picture user-logo
show_screen 3 "Cursor/Stamp Setting"
k command Kestrel "$(rid ID_FILE_OPEN)"
wait_box Open || fail "no open dialog"
k file-name Open "$(winepath -w "$work/Sample.csp")"
k box-gone Open 5000 || fail "the open dialog stayed"
wait_text Kestrel "$(rid IDC_SET_TITLE)" Sample.csp || fail "Sample.csp not opened"
main_picture cursor-stamp
show_screen 1 "Projector control"
wait_for "$WAIT_LONG" video_page_shown || fail "no video page"
main_picture projector-control

say "Kestrel4: the pages of Projector control"
pages=("" audio setting advanced about gamma)
for index in 1 2 3 4 5; do
  tab "$index" || fail "page ${pages[$index]} not shown"
  main_picture "page-${pages[$index]}"
done
tab 0 || fail "video page not shown again"

say "Kestrel4: the dialogs"
k click "$VC" "$(rid IDC_PRESET_BUTTON)"
wait_box Preset || fail "no preset dialog"
box_picture preset Preset
close_box Preset
k click Kestrel "$(rid IDC_RESET)"
wait_box Kestrel || fail "no reset dialog"
box_picture reset Kestrel
close_box Kestrel
k command Kestrel "$(rid ID_TEST_PATTERN)"
wait_box "Setting Test Pattern" || fail "no test pattern dialog"
box_picture test-pattern "Setting Test Pattern"
close_box "Setting Test Pattern"
show_screen 2 "Setting User logo"
k click Kestrel "$(rid IDC_SELECT_AREA)"
wait_box "Selecting User logo Area" || fail "no area dialog"
box_picture logo-area "Selecting User logo Area"
close_box "Selecting User logo Area"
show_screen 0 "Presentation Support"
k click Kestrel "$(rid IDC_ENTER)"
wait_box "Registering Function Settings" || fail "no register dialog"
box_picture register "Registering Function Settings"
close_box "Registering Function Settings"

say "Kestrel4: the version box and the installer-only mode"
x_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" == "$(xdotool search --name "$1" 2>/dev/null | head -1)" ]; }
k command Kestrel "$(rid ID_APP_ABOUT)"
wait_box "About Kestrel" || fail "no version box"
box_picture about "About Kestrel"
xdotool search --name "About Kestrel" windowfocus --sync 2>/dev/null
wait_for "$WAIT_SHORT" x_focused "About Kestrel" || fail "no keyboard focus on the version box"
xdotool key ctrl+i 2>/dev/null
wait_box "Password input" || fail "Ctrl+I did not ask for the password"
box_picture password "Password input"
k answer "Password input" 1
wait_box "Setting installer-only" || fail "no installer dialog"
functions_listed() { k list "Setting installer-only" "$(rid IDC_FUNCTION_LIST)" | grep -qF "Video(Computer)"; }
wait_for "$WAIT_SHORT" functions_listed || fail "no function list"
box_picture installer "Setting installer-only"
close_box "Setting installer-only" 1 # Setting Complete
close_app

say "Glyphpad"
start_glyphpad() {
  (cd "$work" && exec wine Glyphpad.exe "$@") &
  glyphpad_pid=$!
}
glyphpad_gone() { ! kill -0 "$glyphpad_pid" 2>/dev/null; }
gp_picture() { picture "$manual_gp/glyphpad-$1.png" "$2" "$3"; }
STAMP="Stamp Edit"
start_glyphpad /SE 02.stp 05.stp
k wait-visible "$STAMP" 20000 || fail "no stamp editor"
gp_picture stamp-edit window-rect "$STAMP"
k click "$STAMP" "$(gid IDC_TOOL_FIRST)" # Pencil
k click "$STAMP" $(($(gid IDC_COLOR_FIRST) + 6)) # red, the seventh colour of the shipped items' table
read -r w _ < <(k size "$STAMP" "$(gid IDC_GRID)")
cell=$((w / 48))
k drag "$STAMP" "$(gid IDC_GRID)" $((4 * cell)) $((40 * cell)) $((20 * cell)) $((44 * cell))
wait_for "$WAIT_SHORT" answer_is 1 k red "$STAMP" "$(gid IDC_GRID)" || fail "the stroke was not drawn"
k click "$STAMP" $(($(gid IDC_TOOL_FIRST) + 2)) # Selecting Area
k drag "$STAMP" "$(gid IDC_GRID)" $((2 * cell)) $((36 * cell)) $((22 * cell)) $((46 * cell))
gp_picture drawing window-rect "$STAMP"
k close "$STAMP"
wait_box Kestrel || fail "no question on leaving"
gp_picture leave-question box-rect Kestrel
k answer Kestrel 6
wait_box Kestrel || fail "no save choice"
# The choice has no text of its own beside its buttons; the question before it had.
choice_up() { local text; text=$(k box Kestrel 300) && [ -z "$text" ]; }
wait_for "$WAIT_SHORT" choice_up || fail "no save choice"
gp_picture save-choice box-rect Kestrel
close_box Kestrel
k close "$STAMP"
wait_box Kestrel || fail "no question on leaving"
answer_box Kestrel 7 || fail "the question stayed"
wait_for "$WAIT_SHORT" glyphpad_gone || fail "the stamp editor did not end"

cp "$work/Sample.csp" "$work/Temp.csp"
start_glyphpad /CS 1 Temp.csp
k wait-visible "Cursor/Stamp Edit" 20000 || fail "no set frame editor"
gp_picture set-frame window-rect "Cursor/Stamp Edit"
k close "Cursor/Stamp Edit"
wait_for "$WAIT_SHORT" glyphpad_gone || fail "the set frame editor did not end"

total=$(cat "$manual_k4"/kestrel4-*.png "$manual_gp"/glyphpad-*.png | wc -c)
echo "pictures: $(ls "$manual_k4"/kestrel4-*.png "$manual_gp"/glyphpad-*.png | wc -l) files, $total bytes"
finish "pictures"
