#!/usr/bin/env bash
# Makes dist/Velmora-<version>.zip, the folder a Windows user unpacks and runs: the program,
# its LHA library, the sample mascots, the help, the packer for mascot authors and a read-me.
# Usage: scripts/release.sh [--no-build]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" != "--no-build" ]; then
  "$top/scripts/setup.sh"
  "$top/scripts/build.sh" >/dev/null
fi
version=$(sed -n 's/^#define VELMORA_VERSION_TEXT "\(.*\)"/\1/p' "$top/resources/version.h")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder="$stage/Velmora"
mkdir -p "$folder/Mascots"
cp "$top/build/win32/bin/Velmora2.exe" "$top/build/win32/bin/unlha32.dll" "$top/build/win32/bin/lhapack.exe" "$folder/"
i686-w64-mingw32-strip "$folder/Velmora2.exe" "$folder/unlha32.dll" "$folder/lhapack.exe"
cp -r "$top/build/native/Mascots/." "$folder/Mascots/"
cp "$top/help/Velmora2.html" "$folder/"
# The read-me is for Windows: CR LF line ends.
sed 's/$/\r/' "$top/help/ReadMe.txt" > "$folder/ReadMe.txt"
mkdir -p "$top/dist"
zip_file="$top/dist/Velmora-$version.zip"
rm -f "$zip_file"
(cd "$stage" && zip -qr "$zip_file" Velmora)
echo "$zip_file"
