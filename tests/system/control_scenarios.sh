#!/usr/bin/env bash
# System scenarios of the "Projector control" screen under Wine, driven by kdriver.exe, on a
# projector with the SRS pair and Black/White Level (KT-C310).
# Usage: control_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
# Needs DISPLAY and WINEPREFIX (scripts/wine-session.sh) and a simulated projector on COM1
# (scripts/with-simulator.sh, which gives its control FIFO as ZELQSIM_CONTROL). Each scenario
# leaves a PNG of the whole screen in SCREENSHOT_DIR.
source "$(dirname "$0")/scenario_lib.sh"

preset_selected() { [ "$(k combo "$VC" 1116 | grep '^\*')" == "$1" ]; }

say "start connected: the projector's values before the first read"
sim "set 0x0300 7"
sim "set 0x0009 2100"
sim "set 0x0208 3"
sim "set 0x0209 4"
sim "set 0x0310 0x000100"
sim "set 0x0302 63"
start_connected

say "switching to Projector control reads all settings behind the reading dialog"
# Slow answers keep the reading dialog up long enough to be seen.
sim "delay 60"
m=$(mark)
k select Kestrel 1000 1
text=$(k box Kestrel 10000)
expect "reading dialog" "$(printf 'Reading in the projector setting. \nPlease wait.')" "$text"
shot 21-reading-dialog
k box-gone Kestrel 60000 || fail "reading dialog stayed"
sim "delay 0"
gets=$(since "$m" | grep "RX frame" | grep "get 0x" | grep -vc "get 0x1004")
expect "every item of the model asked once" 46 "$gets"
expect "the SRS model is not asked for 3D Sound" 0 "$(since "$m" | grep -c 'get 0x0205')"
expect "nothing set while reading" 0 "$(since "$m" | grep 'RX frame' | grep -c ' set 0x')"
expect_k "the Video tab shows the computer page" "Video(Computer)" pages Kestrel
expect_k "Brightness text from the projector" 7 text "$VC" 1125
expect_k "Brightness slider from the projector" 7 pos "$VC" 1118
expect_k "Tracking shows the base" 1344 text "$VC" 1123
expect_k "Sync." 63 text "$VC" 1124
expect "only the connected projector can be chosen" "1000" \
  "$(k enabled Kestrel 1219)$(k enabled Kestrel 1220)$(k enabled Kestrel 1222)$(k enabled Kestrel 1223)"
shot 22-video-computer

say "Shift+Tab from the screen list goes to the last control of the page shown"
expect_k "focus on the screen list" 1000 focus Kestrel
for _attempt in 1 2 3; do
  wait_for "$WAIT_SHORT" is_foreground
  xdotool key shift+Tab 2>/dev/null
  wait_focus 1117 && break
done
expect_k "focus on Preset..." 1117 focus Kestrel

say "Brightness one step sends one set frame and the projector's value follows"
m=$(mark)
k scroll "$VC" 1118 1
wait_frames "$m" "1B 07 01 03 00 08 " 1 5 || fail "no set of Brightness 8"
wait_text "$VC" 1125 8 5
expect "one set frame" 1 "$(since "$m" | grep 'RX frame' | grep -c ' set 0x')"
expect_k "Brightness text" 8 text "$VC" 1125
expect_k "Brightness slider" 8 pos "$VC" 1118
shot 23-brightness-step

say "dragging the thumb sends nothing until it is released"
m=$(mark)
k scroll "$VC" 1118 5 12
wait_quiet
expect "nothing while dragging" 0 "$(since "$m" | grep -c 'RX frame')"
k scroll "$VC" 1118 4 8
wait_quiet
expect "released where it was: nothing" 0 "$(since "$m" | grep -c 'RX frame')"

say "a refusal from the projector puts the slider back"
sim "range 0x0300 -30 8"
m=$(mark)
k scroll "$VC" 1118 1
wait_frames "$m" "1B 07 01 03 00 09 " 1 5 || fail "no set of Brightness 9"
wait_for "$WAIT_SHORT" log_has "$m" refusal || fail "no refusal"
wait_text "$VC" 1125 8
expect "refused answer" 1 "$(since "$m" | grep -c 'refusal')"
expect_k "Brightness text after the refusal" 8 text "$VC" 1125
expect_k "Brightness slider after the refusal" 8 pos "$VC" 1118
shot 24-brightness-refused
sim "range 0x0300 -30 30"

say "a position arrow held down repeats its step"
m=$(mark)
k click "$VC" 1067
wait_frames "$m" "1B 08 01 05 00 00 01 " 1 5 || fail "one click: 0x0500 = 1"
read -r ax ay <<< "$(k center "$VC" 1067)"
position_steps() { since "$1" | grep -c 'RX frame  1B 08 01 05 00' || true; }
m=$(mark)
xdotool mousemove "$ax" "$ay" mousedown 1 2>/dev/null
# The click's own step comes on release; held, the repeat steps every 200 ms.
wait_frames "$m" "1B 08 01 05 00" 4 || fail "held arrow does not repeat"
xdotool mouseup 1 2>/dev/null
wait_quiet
steps=$(position_steps "$m")
if [ "$steps" -ge 5 ]; then echo "ok: $steps steps while held"; else fail "held arrow: $steps steps"; fi
expect "the last step" 1 "$(since "$m" | grep 'RX frame  1B 08 01 05 00' | tail -n 1 | grep -c "00 $(printf '%02X' $((1 + steps))) ")"

say "a double click on a position arrow is two steps"
m=$(mark)
xdotool mousemove "$ax" "$ay" click --repeat 2 --delay 80 1 2>/dev/null
wait_frames "$m" "1B 08 01 05 00" 2 || fail "a double click sent fewer than two steps"
wait_quiet
expect "two steps for a double click" 2 "$(position_steps "$m")"

say "double click, drag off the arrow and release elsewhere: the repeat stops"
m=$(mark)
xdotool mousemove "$ax" "$ay" click 1 mousedown 1 2>/dev/null
wait_frames "$m" "1B 08 01 05 00" 3 || fail "the held second press does not repeat"
xdotool mousemove $((ax + 120)) $((ay + 120)) mouseup 1 2>/dev/null
wait_quiet
echo "ok: $(position_steps "$m") steps until the release off the arrow"
m=$(mark)
wait_quiet
expect "no step after the release off the arrow" 0 "$(position_steps "$m")"

say "the up-down arrows: Sync. wraps at its ends, Tracking steps by two"
read -r sx sy <<< "$(k center "$VC" 1061)"
m0=$(mark)
m=$m0
xdotool mousemove $((sx + 8)) "$sy" click 1 2>/dev/null
wait_frames "$m" "1B 07 01 03 02 00 " 1 5 || fail "Sync. 63 one step up did not send 0"
wait_text "$VC" 1124 0 5
expect "Sync. after the wrap" "0 0" "$(k text "$VC" 1124) $(k pos "$VC" 1061)"
m=$(mark)
xdotool mousemove $((sx - 8)) "$sy" click 1 2>/dev/null
wait_frames "$m" "1B 07 01 03 02 3F " 1 5 || fail "Sync. 0 one step down did not send 63"
wait_text "$VC" 1124 63 5
expect_k "Sync. back at 63" 63 text "$VC" 1124
read -r tx ty <<< "$(k center "$VC" 1057)"
m=$(mark)
xdotool mousemove $((tx + 8)) "$ty" click 1 2>/dev/null
wait_frames "$m" "1B 08 01 03 03 00 02 " 1 5 || fail "Tracking did not send 2"
wait_text "$VC" 1123 1346 5
expect_k "Tracking shows base + value" 1346 text "$VC" 1123
expect "one set frame per click" 3 "$(since "$m0" | grep 'RX frame' | grep -c ' set 0x')"
shot 24b-sync-tracking

say "a projector report of a new input switches the Video tab between its pages"
m=$(mark)
sim "input 33"
wait_pages "Video(Video)" 10 || fail "video page not shown"
expect_k "the Video tab shows the video page" "Video(Video)" pages Kestrel
expect "the video items were asked again" 1 "$(since "$m" | grep -c 'get 0x0400')"
expect_k "Tint disabled without a colour system that has it" 0 enabled "$VV" 1068
shot 25-video-video
m=$(mark)
sim "input 16"
wait_pages "Video(Computer)" 10 || fail "computer page not shown again"
expect "the projector answered Brightness 8 when asked again" 1 "$(since "$m" | grep -c 'TX  1B 07 82 03 00 08 ')"
expect_k "Brightness text after the re-read" 8 text "$VC" 1125

say "a set refused while a signal report waits is not shown as taken; the report is read again after it"
sim "range 0x0300 -30 8"
sim "delay 2000"
m=$(mark)
k scroll "$VC" 1118 1
wait_frames "$m" "1B 07 01 03 00 09 " 1 5 || fail "no set of Brightness 9"
sim "delay 0"
sim "report 0x0101 01"
wait_for "$WAIT_LONG" log_has "$m" refusal || fail "no refusal"
wait_for "$WAIT_LONG" log_has "$m" "get 0x0500" || fail "the signal report was not read again"
wait_quiet
expect_k "Brightness text after the refusal" 8 text "$VC" 1125
expect_k "Brightness slider after the refusal" 8 pos "$VC" 1118
sim "range 0x0300 -30 30"

say "the About page paints the lamp hours in red from the model's threshold"
tab 4
expect_k "About page" "About" pages Kestrel
expect_k "lamp hours" 2100 text Kestrel 1104
expect_k "horizontal frequency" 48.36 text Kestrel 1185
expect_k "vertical frequency" 60.0 text Kestrel 1186
expect_k "resolution" "1024 x 768" text Kestrel 1202
expect "sync" " - | + |Separate Sync" "$(k text Kestrel 1196)|$(k text Kestrel 1197)|$(k text Kestrel 1200)"
expect_k "painted in red" 1 red Kestrel 1104
shot 26-about-lamp-warning
sim "change 0x0009 1999"
wait_text Kestrel 1104 1999 5 || fail "lamp hours report not shown"
wait_for "$WAIT_SHORT" k_is 0 red Kestrel 1104
expect_k "1999 hours in the normal colour" 0 red Kestrel 1104
shot 27-about-lamp-normal

say "registering a preset"
tab 0
m=$(mark)
k click "$VC" 1117
wait_box Preset || fail "no preset dialog"
expect_k "preset dialog resolution" "1024 x 768" text Preset 1202
expect_k "preset dialog refresh" "60.0" text Preset 1204
k select Preset 1160 2
shot 28-preset-dialog
k answer Preset 1
wait_frames "$m" "1B 07 01 03 0F 02 " 1 5 || fail "no registration of preset 3"
wait_for "$WAIT_SHORT" log_has "$m" 'get 0x0311'
expect "the presets read again" 1 "$(since "$m" | grep -c 'get 0x0311')"
m=$(mark)
k select "$VC" 1116 35
wait_frames "$m" "1B 07 01 03 0E 82 " 1 5 || fail "Preset3 not chosen"
wait_for "$WAIT_SHORT" preset_selected "*Preset3"
expect "Preset3 selected" "*Preset3" "$(k combo "$VC" 1116 | grep '^\*')"
shot 29-preset3-selected
# The projector re-synchronises to the new resolution and reports its signal; the program reads
# it again (ending with the power state) and puts the list back to what the projector holds, so
# a choice made before that read ends would be undone.
wait_for "$WAIT_SHORT" log_has "$m" "report 0x0101" || fail "no signal report after the preset change"
wait_frames "$m" "1B 06 02 01 01 " 1 || fail "the projector was not read again"
wait_quiet
m=$(mark)
k select "$VC" 1116 34
expect_box "unregistered preset question" \
  "Preset2 is not registered yet. Do you save the present setting in the preset2?" "$WAIT_LONG"
shot 30-preset2-question
answer_box Kestrel 7
wait_for "$WAIT_SHORT" preset_selected "*Preset3"
expect "No restores the previous entry" "*Preset3" "$(k combo "$VC" 1116 | grep '^\*')"
# The projector re-synchronises after the Resolution change and reports its signal, so the
# program may be asking; it must not be setting.
expect "No sends nothing" 0 "$(since "$m" | grep 'RX frame' | grep -c ' set 0x')"
k click "$VC" 1117
wait_box Preset || fail "no preset dialog"
k select Preset 1160 2
k answer Preset 1
expect_box "overwrite question" "Preset3 will be overwritten, OK?" "$WAIT_LONG"
shot 31-preset3-overwrite
answer_box Kestrel 7

say "the other pages"
tab 1
expect_k "Audio page" "Audio" pages Kestrel
expect "SRS SPACE and CENTER" "3 4" "$(k text Kestrel 1142) $(k text Kestrel 1143)"
expect_k "3D Sound hidden for this model" 0 visible Kestrel 1144
shot 32-audio
k scroll Kestrel 1137 6
wait_text Kestrel 1143 OFF
expect "SRS SPACE off" "OFF OFF" "$(k text Kestrel 1142) $(k text Kestrel 1143)"
expect_k "SRS CENTER disabled" 0 enabled Kestrel 1138
shot 33-audio-srs-off
k scroll Kestrel 1137 1
wait_text Kestrel 1143 4
expect "SRS CENTER back to its value" "1 4 1" "$(k text Kestrel 1142) $(k text Kestrel 1143) $(k enabled Kestrel 1138)"
tab 2
expect_k "Setting page" "Setting" pages Kestrel
sim "range 0x0611 0 1"
m=$(mark)
k click Kestrel 1080
wait_frames "$m" "1B 07 01 06 11 03 " 1 5 || fail "Message Logo not sent"
wait_for "$WAIT_SHORT" log_has "$m" refusal || fail "no refusal"
wait_for "$WAIT_SHORT" k_is 0 checked Kestrel 1080
expect "a refused choice goes back" "1 0" "$(k checked Kestrel 1079) $(k checked Kestrel 1080)"
sim "range 0x0611 0 3"
k click Kestrel 1082
wait_frames "$m" "1B 07 01 06 11 02 " 1 5 || fail "Message Blue not sent"
wait_for "$WAIT_SHORT" k_is 1 checked Kestrel 1082
expect "a taken choice stays" "0 1" "$(k checked Kestrel 1079) $(k checked Kestrel 1082)"
shot 34-setting
tab 3
expect_k "Advanced page" "Advanced" pages Kestrel
expect_k "Color Temp. usable in Manual only" 0 enabled Kestrel 1091
m=$(mark)
k click Kestrel 1090
wait_frames "$m" "1B 07 01 05 0A 01 " 1 5 || fail "Manual not sent"
wait_for "$WAIT_SHORT" k_is 1 enabled Kestrel 1091
expect_k "Color Temp. enabled after Manual" 1 enabled Kestrel 1091
k click Kestrel 1078
wait_frames "$m" "1B 07 01 05 03 01 " 1 5 || fail "Ceiling not sent"
wait_for "$WAIT_SHORT" k_is 1 checked Kestrel 1078
shot 35-advanced
tab 5
expect_k "Gamma page" "Gamma" pages Kestrel
m=$(mark)
k click Kestrel 1103
wait_frames "$m" "1B 08 01 06 0E " 3 5 || fail "gamma parameters not sent"
expect "Gamma3 with its parameters" "set 0x0608 set 0x060C set 0x060D set 0x060E set 0x060E set 0x060E" \
  "$(since "$m" | grep 'RX frame' | grep -o 'set 0x[0-9A-F]*' | tr '\n' ' ' | sed 's/ $//')"
expect_k "Gamma3 checked" 1 checked Kestrel 1103
shot 36-gamma

close_app
finish "projector control scenarios"
