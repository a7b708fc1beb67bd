#!/usr/bin/env bash
# Builds both trees: build/native (portable core, unit tests, native tools) and
# build/win32 (Velmora2.exe, unlha32.dll, the Wine test driver).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

cmake -S "$top" -B "$top/build/win32" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$top/build/win32" -j "$jobs"

cmake -S "$top" -B "$top/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVELMORA_WIN32_BIN="$top/build/win32/bin" >/dev/null
cmake --build "$top/build/native" -j "$jobs"
