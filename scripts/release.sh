#!/usr/bin/env bash
# Makes dist/Velmora-<version>-win32.zip and dist/Velmora-<version>-win64.zip, the folders a
# Windows user unpacks and runs: the program, its LHA library, the packer and the mascot kit for authors,
# all of that architecture, with the sample mascots, the help and a read-me. Prints both paths.
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
mkdir -p "$top/dist"
for arch in win32:i686 win64:x86_64; do
  tree=${arch%%:*}
  folder="$stage/$tree/Velmora"
  mkdir -p "$folder/Mascots"
  for program in Velmora2.exe unlha32.dll lhapack.exe velmora-kit.exe; do
    cp "$top/build/$tree/bin/$program" "$folder/"
    "${arch##*:}-w64-mingw32-strip" "$folder/$program"
  done
  cp -r "$top/build/native/Mascots/." "$folder/Mascots/"
  cp "$top/help/Velmora2.html" "$folder/"
  # The read-me is for Windows: CR LF line ends.
  sed 's/$/\r/' "$top/help/ReadMe.txt" > "$folder/ReadMe.txt"
  zip_file="$top/dist/Velmora-$version-$tree.zip"
  rm -f "$zip_file"
  (cd "$stage/$tree" && zip -qr "$zip_file" Velmora)
  echo "$zip_file"
done
