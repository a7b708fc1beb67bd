#!/usr/bin/env bash
# Part of the test command: the portable core's unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer (hostile archives, truncated bitmaps and cache files among
# them), then a short run of every fuzz target. A longer fuzz run: scripts/fuzz-lha.sh 3600.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

cmake -S "$top" -B "$top/build/asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON >/dev/null
cmake --build "$top/build/asan" -j "$jobs" >/dev/null
(cd "$top/build/asan" && LC_ALL=C ctest -LE wine -E '^tools\.' -j "$jobs" --output-on-failure | tail -n 3)

"$top/scripts/fuzz-lha.sh" "${VELMORA_FUZZ_SECONDS:-10}"
cmake --build "$top/build/fuzz" -j "$jobs" --target fuzz_targets >/dev/null
(cd "$top/build/fuzz" && LC_ALL=C ctest -R '^fuzz\.' --output-on-failure | tail -n 3)
