#!/usr/bin/env bash
# Prints the Windows architectures whose Wine suites this machine runs: win64 always, win32
# where the kernel runs 32-bit programs, which is found out by running the 32-bit loader (on a
# kernel without 32-bit support the file is there but cannot start). VELMORA_WINE_ARCH=win64
# or win32 restricts the suites to that one. Why win32 is left out goes to standard error.
set -euo pipefail

runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

case "${VELMORA_WINE_ARCH:-}" in
  win64) echo win64; echo "win32 not run: VELMORA_WINE_ARCH=win64" >&2 ;;
  win32)
    if ! runs_32bit; then
      echo "VELMORA_WINE_ARCH=win32, but this machine runs no 32-bit programs (/usr/lib/wine/wine cannot start)" >&2
      exit 1
    fi
    echo win32 ;;
  "")
    if runs_32bit; then
      echo "win64 win32"
    else
      echo win64
      if [ ! -e /usr/lib/wine/wine ]; then
        echo "win32 not run: Wine's 32-bit part (wine32:i386) is not installed" >&2
      else
        reason=$(/usr/lib/wine/wine --version 2>&1 | head -n 1 | sed "s/^.*: //" || true)
        echo "win32 not run: this machine runs no 32-bit programs (/usr/lib/wine/wine: ${reason:-cannot start})" >&2
      fi
    fi ;;
  *) echo "VELMORA_WINE_ARCH must be win64 or win32, not '$VELMORA_WINE_ARCH'" >&2; exit 1 ;;
esac
