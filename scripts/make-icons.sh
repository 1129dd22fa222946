#!/bin/bash
# Draws the three programs' icons with ImageMagick and writes them beside their sources:
#   src/demo/brisko.ico        BRISKO.EXE: the product's mark, a yellow disc with a "B"
#   src/setup/instbrisko.ico   instbrisko.exe: the mark with a green "install" arrow
#   tools/unzip/unzip.ico      unzip.exe: a folder closed by a zip
# Each holds 16, 24, 32, 48 and 256 pixel images (the last one PNG-compressed, as
# Windows Vista and later read it). Run it after changing a drawing; the icons are
# checked in, so that a build needs no ImageMagick.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
[ -f "$font" ] || { echo "needs $font (fonts-dejavu-core)" >&2; exit 1; }
command -v convert >/dev/null || { echo "needs ImageMagick (scripts/deps.sh installs it)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The colours of the product picture on the welcome page.
dark='#203c78' light='#6e9fd8' yellow='#f2bf4a' green='#2f9e44'

# A blue rounded square with the yellow disc and its "B", 256 x 256.
mark() {
  convert -size 256x256 xc:none \
    \( -size 240x240 gradient:"#3a64ad-$light" \) -geometry +8+8 -composite \
    \( -size 256x256 xc:none -fill white -draw 'roundrectangle 8,8 247,247 40,40' \) \
    -compose DstIn -composite -compose Over \
    -fill "$yellow" -stroke "$dark" -strokewidth 6 -draw 'circle 128,128 128,28' \
    -stroke none -fill "$dark" -font "$font" -pointsize 150 -gravity center -annotate +2+4 'B' \
    "$1"
}

# The mark with a green disc and a white arrow pointing down at the lower right.
setup() {
  mark "$work/mark.png"
  convert "$work/mark.png" \
    -fill "$green" -stroke white -strokewidth 8 -draw 'circle 190,190 190,128' \
    -stroke none -fill white -draw 'polygon 170,150 210,150 210,185 232,185 190,232 148,185 170,185' \
    "$1"
}

# A manila folder with a zip down its middle.
zipfolder() {
  local teeth='' y
  for y in $(seq 92 16 220); do
    teeth+="rectangle 112,$y 128,$((y + 7)) rectangle 128,$((y + 8)) 144,$((y + 15)) "
  done
  convert -size 256x256 xc:none \
    -fill '#c9922e' -stroke '#7a5410' -strokewidth 6 -draw 'roundrectangle 16,40 120,90 16,16' \
    -fill '#e9b949' -draw 'roundrectangle 16,64 240,236 20,20' \
    -stroke none -fill '#5c5f66' -draw 'rectangle 106,66 150,234' \
    -fill '#d7dbe2' -draw "$teeth" \
    -fill '#8a8f99' -stroke '#3b3e45' -strokewidth 4 -draw 'roundrectangle 98,70 158,110 10,10' \
    "$1"
}

# icon PNG ICO: the picture at every size the icon holds.
icon() {
  local sizes=() s
  for s in 16 24 32 48; do
    convert "$1" -filter Lanczos -resize ${s}x${s} "$work/$s.png"
    sizes+=("$work/$s.png")
  done
  # 8 bits a channel: Windows reads no deeper PNG in an icon.
  convert "${sizes[@]}" "$1" -depth 8 "$2"
}

mark "$work/brisko.png" && icon "$work/brisko.png" "$root/src/demo/brisko.ico"
setup "$work/setup.png" && icon "$work/setup.png" "$root/src/setup/instbrisko.ico"
zipfolder "$work/unzip.png" && icon "$work/unzip.png" "$root/tools/unzip/unzip.ico"
for f in src/demo/brisko.ico src/setup/instbrisko.ico tools/unzip/unzip.ico; do
  echo "$f: $(identify "$root/$f" | awk '{print $3}' | tr '\n' ' ')"
done
