#!/usr/bin/env bash
# Projector control scenarios on a projector with a single 3D Sound control and without
# Black/White Level (KT-B212), started on a video input.
# Usage: control_variants.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
source "$(dirname "$0")/scenario_lib.sh"

say "a video input with a PAL signal found automatically"
sim "set 0x0100 33"
sim "set 0x0101 226"
sim "set 0x0405 0"
sim "set 0x0205 3"
sim "set 0x0009 1500"
start_connected
m=$(mark)
k select Kestrel 1000 1
# The reading dialog comes and goes; the page shows once every item has been read.
wait_pages "Video(Video)" "$WAIT_LONG" || fail "settings not read"
k box-gone Kestrel 60000 || fail "reading dialog stayed"
gets=$(since "$m" | grep "RX frame" | grep -c "get 0x")
expect "the items of this model, without locks" 43 "$gets"
expect "no SRS pair and no Black/White Level asked" 0 "$(since "$m" | grep -cE 'get 0x(0208|0209|0508|0509)')"
wait_pages "Video(Video)" 5
expect_k "the Video tab shows the video page" "Video(Video)" pages Kestrel
expect_k "no Tint for PAL" 0 enabled "$VV" 1068
expect_k "Saturation usable" 1 enabled "$VV" 1060
shot 41-video-video-pal

say "the About page names the video signal"
tab 4
expect_k "video signal" "(PAL)" text Kestrel 1190
expect_k "AUTO label" 1 visible Kestrel 1189
expect "no frequencies for video" "0 1" "$(k visible Kestrel 1185) $(k visible Kestrel 1190)"
expect_k "1500 hours are red on this model" 1 red Kestrel 1104
shot 42-about-video-signal
sim "change 0x0009 1499"
wait_text Kestrel 1104 1499 5 || fail "lamp hours report not shown"
wait_for "$WAIT_SHORT" k_is 0 red Kestrel 1104
expect_k "1499 hours in the normal colour" 0 red Kestrel 1104

say "choosing NTSC on the Advanced page makes Tint usable"
tab 3
expect "no Black/White Level rows" "0 0" "$(k visible Kestrel 1092) $(k visible Kestrel 1093)"
expect "the Video Signal list" "*Auto NTSC NTSC4.43 PAL N·PAL M·PAL PAL60 SECAM NTSC50" \
  "$(k combo Kestrel 1099 | sed 's/^ //' | tr '\n' ' ' | sed 's/ $//')"
m=$(mark)
k select Kestrel 1099 1
wait_frames "$m" "1B 07 01 04 05 01 " 1 5 || fail "Video Signal NTSC not sent"
wait_for "$WAIT_SHORT" k_is 1 enabled "$VV" 1068 || fail "Tint not usable with NTSC"
shot 43-advanced-ntsc
expect_k "Tint usable with NTSC" 1 enabled "$VV" 1068
tab 4
expect "video signal after the choice" "(NTSC) 0" "$(k text Kestrel 1190) $(k visible Kestrel 1189)"

say "a single 3D Sound control instead of the SRS pair"
tab 1
expect "3D Sound shown, the surround group hidden" "1 0" "$(k visible Kestrel 1144) $(k visible Kestrel 1172)"
expect_k "3D Sound value" 3 text Kestrel 1145
shot 44-audio-3d-sound

say "a computer input brings the computer page back"
sim "input 16"
wait_pages "Audio" 5
tab 0
wait_pages "Video(Computer)" 10 || fail "computer page not shown"
shot 45-video-computer-again

close_app
finish "projector control variants"
