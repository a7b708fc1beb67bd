#!/usr/bin/env bash
# Command 2: installs what is missing, builds every tree, then runs every unit test and every
# Wine integration test headless, on each Windows architecture this machine runs (see
# scripts/wine-arches.sh; VELMORA_WINE_ARCH=win64 or win32 picks one). CTest's closing line
# gives the counts; any failure makes the exit status non-zero.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
for extra in "$top"/scripts/test-extra-*.sh; do
  [ -x "$extra" ] && "$extra"
done

why_file=$(mktemp)
arches=$("$top/scripts/wine-arches.sh" 2>"$why_file") || { cat "$why_file" >&2; exit 1; }
why=$(cat "$why_file"); rm -f "$why_file"
left_out=()
for arch in win64 win32; do
  [[ " $arches " == *" $arch "* ]] || left_out+=("wine-$arch")
done
echo "Wine suites run on: $arches${why:+ ($why)}"

cd "$top/build/native"
exclude=()
[ ${#left_out[@]} -eq 0 ] || exclude=(-LE "^($(IFS='|'; echo "${left_out[*]}"))\$")
LC_ALL=C ctest --output-on-failure -j "$(nproc)" --timeout 900 "${exclude[@]}"
