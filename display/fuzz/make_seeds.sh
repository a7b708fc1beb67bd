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
# Pictures of today's formats: a soft-edged PNG, an animated GIF with transparency and
# disposal, and a 32-bit bitmap with alpha.
"$convert" -size 24x16 xc:none -fill "rgba(200,40,40,0.6)" -draw "circle 12,8 12,2" PNG32:"$out/soft.png"
"$convert" -size 12x10 xc:none -fill red -draw "rectangle 2,2 6,6" \( -size 12x10 xc:none -fill blue -draw "circle 6,5 6,2" \) \
    -set delay 7 -set dispose background -loop 0 "$out/moving.gif"
"$convert" -size 12x10 xc:none -fill "rgba(0,120,0,0.5)" -draw "rectangle 1,1 9,8" -define bmp:format=bmp4 BMP:"$out/alpha.bmp"
