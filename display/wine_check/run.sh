#!/usr/bin/env bash
# Runs frame_window_check under Wine on its own X display and Wine prefix.
# Usage: run.sh [WIN32_BIN_DIR]   (default build/win32/bin)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$top/build/win32/bin}" && pwd)
work=$(mktemp -d /tmp/velmora-frame-check.XXXXXX)
template=${VELMORA_PREFIX_TEMPLATE:-/tmp/velmora-frames/prefix}

"$top/scripts/make-prefix.sh" "$template" >/dev/null
cp -a "$template" "$work/prefix"
"$top/display/fuzz/make_seeds.sh" "$work/seeds" >/dev/null

source "$top/scripts/wine-env.sh"
export LC_ALL=C WINEPREFIX=$work/prefix

display=$(( 90 + RANDOM % 400 ))
while [ -e "/tmp/.X${display}-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=":$display"
deadline=$((SECONDS + 10))
until [ -e "/tmp/.X11-unix/X$display" ] || [ $SECONDS -ge $deadline ]; do sleep 0.1; done

wineserver -p5
status=0
wine "$bin/frame_window_check.exe" "Z:${work//\//\\}\\seeds" || status=$?
exit $status
