# Shared by the artwork scripts: a scratch folder, the product's colours and the icon maker.
# Sourced from the resource folder (the scripts cd there first).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ink='#1d4e6b'
sky='#8fd3ff'
warm='#e09a00'
red='#d2382b'

# Every icon is drawn on a 128-pixel canvas and scaled to 32 and 16 pixels, which smooths
# the edges; the 16-pixel frame is also sharpened a little to stay legible in the buttons.
icon() {
  local name=$1; shift
  convert -size 128x128 xc:none "$@" "$work/$name.png"
  convert "$work/$name.png" -filter Lanczos -resize 32x32 "$work/$name-32.png"
  convert "$work/$name.png" -filter Lanczos -resize 16x16 -unsharp 0x0.6 "$work/$name-16.png"
  convert "$work/$name-32.png" "$work/$name-16.png" "$name.ico"
}
