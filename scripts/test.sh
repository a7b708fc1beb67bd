#!/usr/bin/env bash
# Command 2: installs what is missing, builds both trees, then runs every unit test and every
# Wine integration test headless. CTest's closing line gives the counts; any failure makes
# the exit status non-zero.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
for extra in "$top"/scripts/test-extra-*.sh; do
  [ -x "$extra" ] && "$extra"
done
cd "$top/build/native"
LC_ALL=C ctest --output-on-failure -j "$(nproc)" --timeout 900
