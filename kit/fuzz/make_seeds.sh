#!/bin/sh
# Seeds for the kit's fuzz targets: the sample mascots' archives for the archive check and
# definitions of several shapes for the definition check.
#   make_seeds.sh SEED_DIR MASCOTS_DIR
set -eu
seeds=$1
mascots=$2
mkdir -p "$seeds/archive" "$seeds/definition"
for archive in "$mascots"/*.lzh; do
    [ -f "$archive" ] && cp "$archive" "$seeds/archive/"
done
printf '[VelmoraData]\r\nName=\203\176\203\120\r\nIcon16=m.ico\r\n[List]\r\nFile1=a.bmp\r\nTime1=-40\r\nFile2=b.bmp\r\nTime2=2\r\n[Pos]\r\nPosX=30\r\nTopY=-20\r\n' \
    > "$seeds/definition/full.ini"
printf '[List]\nFile1=a.bmp\nTime1=9999\nFile3=a.bmp\nTime3=1\n[InternetShortcut]\nURL=http://example.com/\n' \
    > "$seeds/definition/gap.ini"
printf '\357\273\277[VelmoraData]\nName="\343\203\237"\nWebPage=https://example.com/\n[Pos]\nRightX=-900\nUnderY=4\n' \
    > "$seeds/definition/utf8.ini"
