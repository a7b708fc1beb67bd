#!/bin/sh
# Re-makes the golden corpus: the ImageMagick seed bitmaps, and for each one that the loader
# accepts a mask of its visible pixels taken from ImageMagick's own pixel listing ('#' where a
# pixel's colour differs from the bottom-left pixel's, '.' elsewhere), top row first.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../../../display/fuzz/make_seeds.sh" "$here"
for bmp in four_bit eight_bit true_colour; do
    LC_ALL=C convert "$here/$bmp.bmp" txt:- | python3 -c '
import re, sys
pixels = {}
for line in sys.stdin:
    m = re.match(r"(\d+),(\d+): \(([^)]*)\)", line)
    if m:
        pixels[int(m.group(1)), int(m.group(2))] = m.group(3)
width = max(x for x, _ in pixels) + 1
height = max(y for _, y in pixels) + 1
key = pixels[0, height - 1]
for y in range(height):
    print("".join("." if pixels[x, y] == key else "#" for x in range(width)))
' > "$here/$bmp.mask"
done
