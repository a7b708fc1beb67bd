#!/bin/sh
# Makes seed bitmaps with ImageMagick, for the fuzzer and the window checks: one of each
# accepted depth, with shapes that give several runs per row.
set -eu
out=$1
convert=${2:-convert}
mkdir -p "$out"
"$convert" -size 30x12 xc:white -fill red -draw "circle 15,6 15,2" -fill blue -draw "point 29,0" \
    -type palette BMP3:"$out/four_bit.bmp"
"$convert" -size 40x20 gradient:red-blue -fill white -draw "rectangle 0,0 6,19" -draw "circle 25,10 25,6" \
    -type palette -compress none BMP3:"$out/eight_bit.bmp"
# ImageMagick compresses 8-bit rows by default; the loader refuses these, the fuzzer starts there.
"$convert" -size 40x20 gradient:red-blue -fill white -draw "rectangle 0,0 6,19" \
    -type palette BMP3:"$out/eight_bit_rle.bmp"
"$convert" -size 31x9 xc:white -fill red -draw "circle 15,4 15,1" -fill "#FFFFFE" -draw "point 3,3" \
    -type truecolor BMP3:"$out/true_colour.bmp"
