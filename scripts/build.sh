#!/usr/bin/env bash
# Builds the three trees: build/win32 and build/win64 (Velmora2.exe, unlha32.dll, lhapack.exe, velmora-kit.exe,
# the Wine test driver and the benchmarks, for each Windows architecture) and build/native
# (portable core, unit tests, native tools, sample mascots).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

for arch in win32:i686 win64:x86_64; do
  tree=${arch%%:*}
  cmake -S "$top" -B "$top/build/$tree" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-${arch##*:}.cmake" >/dev/null
  cmake --build "$top/build/$tree" -j "$jobs"
done

cmake -S "$top" -B "$top/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build/native" -j "$jobs"
