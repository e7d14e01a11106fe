#!/usr/bin/env bash
# Draws the pictures of the projector control pages with ImageMagick: the slider end marks,
# the lock icon and lock mark, the surround and lamp icons, and the four projection
# pictures. The results are committed beside the resource script; run this again only to
# change the artwork.
set -euo pipefail
cd "$(dirname "$0")/.."
. art/art_lib.sh

# Slider marks: the low end, the middle and the high end of a setting.
icon slider_low -fill none -stroke "$ink" -strokewidth 12 -draw "circle 64,64 64,14" \
  -stroke "$ink" -strokewidth 16 -draw "line 34,64 94,64"
icon slider_mid -fill none -stroke "$ink" -strokewidth 12 -draw "circle 64,64 64,14" \
  -stroke none -fill "$ink" -draw "circle 64,64 64,44"
icon slider_high -fill none -stroke "$ink" -strokewidth 12 -draw "circle 64,64 64,14" \
  -stroke "$ink" -strokewidth 16 -draw "line 34,64 94,64" -draw "line 64,34 64,94"

# Page lock: a closed padlock.
icon page_lock -fill none -stroke '#5b6770' -strokewidth 16 -draw "roundrectangle 36,10 92,80 26,26" \
  -stroke none -fill "$warm" -draw "roundrectangle 16,54 112,120 12,12" \
  -fill "$ink" -draw "circle 64,80 64,70" -draw "rectangle 59,82 69,104"

# Surround sound: a speaker between two pairs of waves.
icon surround -fill "$ink" -stroke none -draw "polygon 46,48 62,48 82,28 82,100 62,80 46,80" \
  -fill none -stroke "$sky" -strokewidth 8 \
  -draw "arc 74,34 110,94 -50,50" -draw "arc 78,18 126,110 -50,50" \
  -draw "arc 18,34 54,94 130,230" -draw "arc 2,18 50,110 130,230"

# Lamp: a bulb with its base.
icon lamp -fill '#ffe9a8' -stroke "$warm" -strokewidth 8 -draw "circle 64,52 64,12" \
  -stroke none -fill '#5b6770' -draw "rectangle 46,88 82,112" \
  -fill "$ink" -draw "rectangle 46,96 82,100" -draw "rectangle 52,112 76,120"

# Lock mark: a padlock of 12 x 10 pixels on the dialog face, drawn pixel by pixel.
convert -size 12x10 xc:'#f0f0f0' -fill none -stroke '#5b6770' -strokewidth 1 \
  -draw "line 4,0 7,0" -draw "line 3,1 3,3" -draw "line 8,1 8,3" \
  -stroke none -fill "$warm" -draw "rectangle 1,4 10,9" -fill "$ink" -draw "rectangle 5,6 6,8" \
  -type TrueColor BMP3:lock_mark.bmp

# Projection pictures: the screen, the audience on the left, and the projector in front of
# the screen or behind it, standing or hung from the ceiling.
projection() {  # projection FILE REAR CEILING
  local file=$1 rear=$2 ceiling=$3 px by beam
  if [ "$rear" = 1 ]; then px=92; else px=34; fi
  if [ "$ceiling" = 1 ]; then by=8; else by=52; fi
  local args=(-fill '#dfe6ea' -draw "rectangle 0,62 120,70")
  [ "$ceiling" = 1 ] && args+=(-fill '#dfe6ea' -draw "rectangle 0,0 120,4" \
    -fill '#5b6770' -draw "rectangle $((px + 5)),4 $((px + 7)),$by")
  if [ "$rear" = 1 ]; then beam="polygon $px,$((by + 3)) 80,20 80,50"
  else beam="polygon $((px + 14)),$((by + 3)) 76,20 76,50"; fi
  args+=(-fill 'rgba(255,220,120,0.7)' -draw "$beam")
  # Screen, then the projector (upside down under the ceiling: lens below the body).
  args+=(-fill '#f4f6f8' -stroke '#5b6770' -draw "rectangle 76,18 80,52" -stroke none)
  args+=(-fill "$ink" -draw "roundrectangle $px,$by $((px + 14)),$((by + 8)) 2,2")
  if [ "$rear" = 1 ]; then args+=(-fill "$sky" -draw "rectangle $((px - 1)),$((by + 2)) $((px + 1)),$((by + 5))")
  else args+=(-fill "$sky" -draw "rectangle $((px + 13)),$((by + 2)) $((px + 15)),$((by + 5))"); fi
  # The audience.
  args+=(-fill '#3a6f8f' -draw "circle 10,40 10,35" -draw "roundrectangle 4,46 16,62 4,4" \
    -draw "circle 22,42 22,37" -draw "roundrectangle 16,48 28,62 4,4")
  convert -size 120x72 xc:'#f0f0f0' "${args[@]}" -type TrueColor BMP3:"$file"
}
projection proj_front.bmp 0 0
projection proj_rear.bmp 1 0
projection proj_ceiling.bmp 0 1
projection proj_rear_ceiling.bmp 1 1
