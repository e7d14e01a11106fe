#!/usr/bin/env bash
# Draws the icons of presentation support with ImageMagick: one per effect type (250..260)
# and the play and stop buttons of the Sound page. The results are committed beside the
# resource script; run this again only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")/.."
. art/art_lib.sh

icon fx_free_line -fill none -stroke "$red" -strokewidth 12 \
  -draw "path 'M 14,90 C 34,20 54,20 64,64 S 94,108 114,38'"
icon fx_line -stroke "$sky" -strokewidth 4 -draw "line 16,40 112,40" -draw "line 16,88 112,88" \
  -draw "line 40,16 40,112" -draw "line 88,16 88,112" -stroke "$red" -strokewidth 12 -draw "line 20,108 108,20"
icon fx_ellipse -fill none -stroke "$ink" -strokewidth 12 -draw "ellipse 64,64 52,34 0,360"
icon fx_square -fill none -stroke "$ink" -strokewidth 12 -draw "rectangle 18,26 110,102"
icon fx_bar -fill "$warm" -stroke "$ink" -strokewidth 4 -draw "rectangle 8,48 120,80"
icon fx_stamp -fill "$red" -stroke "$ink" -strokewidth 4 \
  -draw "polygon 64,8 80,46 120,48 88,74 100,116 64,92 28,116 40,74 8,48 48,46"
icon fx_cursor -fill white -stroke "$ink" -strokewidth 8 \
  -draw "polygon 30,10 30,104 54,82 72,120 88,112 70,76 102,76"
icon fx_sound -fill "$ink" -stroke "$ink" -strokewidth 4 -draw "polygon 14,48 38,48 70,18 70,110 38,80 14,80" \
  -fill none -strokewidth 8 -draw "arc 60,34 100,94 -60,60" -draw "arc 60,14 124,114 -60,60"
icon fx_spot_light -fill "$ink" -draw "rectangle 4,4 124,124" -fill '#fff6c0' -draw "circle 64,64 64,22"
icon fx_clear -fill "$sky" -stroke "$ink" -strokewidth 6 -draw "polygon 20,84 70,24 112,60 62,120" \
  -fill "$red" -draw "polygon 20,84 44,56 86,92 62,120"
icon fx_key -fill '#f2f2f2' -stroke "$ink" -strokewidth 8 -draw "roundrectangle 12,20 116,108 16,16" \
  -fill "$ink" -stroke none -draw "polygon 40,80 64,40 88,80 74,80 74,96 54,96 54,80"
icon sound_stop -fill "$ink" -draw "rectangle 32,32 96,96"
icon sound_play -fill "$ink" -draw "polygon 36,24 36,104 104,64"
