#!/usr/bin/env bash
# Draws Kestrel4's icons and the start-up picture with ImageMagick. The results are
# committed beside the resource script; run this again only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")/.."
. art/art_lib.sh

badge=(-fill '#1d4e6b' -stroke none -draw "roundrectangle 8,8 119,119 22,22")

# Program icon: a projector throwing its beam.
icon kestrel "${badge[@]}" \
  -fill '#ffe9a8' -stroke none -draw "polygon 70,52 118,24 118,104 70,76" \
  -fill '#f4f6f8' -draw "roundrectangle 14,42 82,88 10,10" \
  -fill '#1d4e6b' -draw "circle 62,65 62,52" \
  -fill '#8fd3ff' -draw "circle 62,65 62,57" \
  -fill '#1d4e6b' -draw "rectangle 22,52 38,56" -draw "rectangle 22,62 38,66"

# The six button glyphs stand on the button face without a badge, so a disabled button
# shows each glyph's outline instead of six identical squares.

# Power: the ring and bar of a power switch.
icon power -fill none -stroke '#d2382b' -strokewidth 14 -draw "arc 22,22 106,106 -55,235" \
  -draw "line 64,12 64,60"

# A/V Mute: a screen and a speaker, crossed out.
icon avmute -fill "$ink" -stroke none -draw "roundrectangle 12,16 116,80 8,8" \
  -fill '#8fd3ff' -draw "rectangle 22,26 106,70" \
  -fill "$ink" -draw "polygon 38,94 52,94 70,82 70,122 52,110 38,110" \
  -fill none -stroke '#d2382b' -strokewidth 12 -draw "line 14,120 114,12"

# Freeze: a snow crystal.
icon freeze -stroke '#2a7fc0' -strokewidth 11 -fill none \
  -draw "line 64,10 64,118" -draw "line 17,37 111,91" -draw "line 17,91 111,37" \
  -draw "polyline 48,18 64,34 80,18" -draw "polyline 48,110 64,94 80,110"

# Resize: a frame with a diagonal arrow through it.
icon resize -fill none -stroke "$ink" -strokewidth 9 -draw "rectangle 12,20 116,108" \
  -stroke '#e09a00' -strokewidth 11 -draw "line 36,92 92,36" \
  -stroke none -fill '#e09a00' -draw "polygon 102,26 102,64 64,26" -draw "polygon 26,102 26,64 64,102"

# Input source (Video): a video camera.
icon video -fill "$ink" -stroke none -draw "roundrectangle 6,32 88,100 10,10" \
  -draw "polygon 92,56 122,36 122,96 92,76" \
  -fill '#8fd3ff' -draw "circle 28,52 28,44" -draw "circle 54,52 54,44" \
  -fill '#d2382b' -draw "circle 74,48 74,43"

# Input source (Computer): a monitor on its stand.
icon computer -fill "$ink" -stroke none -draw "roundrectangle 8,12 120,88 8,8" \
  -fill '#8fd3ff' -draw "rectangle 18,22 110,78" \
  -fill "$ink" -draw "polygon 52,88 76,88 84,108 44,108" -draw "roundrectangle 30,106 98,116 4,4"

# Start-up picture: 480 x 350 pixels fills the 320 x 215 unit splash at the usual dialog font.
convert -size 480x350 gradient:'#0f2f44'-'#1d4e6b' \
  -fill 'rgba(255,236,170,0.55)' -stroke none -draw "polygon 216,205 476,130 476,292 216,221" \
  -fill '#f4f6f8' -draw "roundrectangle 40,152 230,262 22,22" \
  -fill '#1d4e6b' -draw "circle 196,207 196,177" \
  -fill '#8fd3ff' -draw "circle 196,207 196,189" \
  -fill '#1d4e6b' -draw "rectangle 62,178 132,186" -draw "rectangle 62,198 132,206" -draw "rectangle 62,218 132,226" \
  -fill '#3a6f8f' -draw "rectangle 70,262 88,272" -draw "rectangle 182,262 200,272" \
  -font DejaVu-Sans-Bold -pointsize 54 -fill '#ffffff' -draw "text 40,82 'Kestrel'" \
  -font DejaVu-Sans -pointsize 17 -fill '#cfe3ef' -draw "text 42,114 'Projector control and presentation support'" \
  -fill '#143a52' -draw "rectangle 0,304 480,350" \
  -font DejaVu-Sans -pointsize 13 -fill '#9fbfd3' -draw "text 42,332 'Starting...'" \
  -type TrueColor BMP3:splash.bmp
