#!/usr/bin/env bash
# Command 1: installs what is missing, builds, lays out run/Velmora with the sample mascots,
# makes a Wine prefix of the project's own (Japanese locale, fonts, a virtual desktop with a
# taskbar) and starts Velmora. Without $DISPLAY it starts Xvfb and says how to look at it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"

run="$top/run"
app="$run/prefix/drive_c/Velmora"
"$top/scripts/make-prefix.sh" "$top/build/wine-template-desktop" desktop
if [ ! -d "$run/prefix" ]; then
  mkdir -p "$run"
  cp -a "$top/build/wine-template-desktop" "$run/prefix"
fi
mkdir -p "$app"
cp "$top/build/win32/bin/Velmora2.exe" "$app/"
[ -f "$top/build/win32/bin/unlha32.dll" ] && cp "$top/build/win32/bin/unlha32.dll" "$app/"
cp "$top/help/Velmora2.html" "$app/"
# The sample mascots are drawn and packed on the build machine, so the native tree makes them.
if [ -d "$top/build/native/Mascots" ]; then
  mkdir -p "$app/Mascots"
  cp -r "$top/build/native/Mascots/." "$app/Mascots/"
fi

source "$top/scripts/wine-env.sh"
export WINEPREFIX="$run/prefix"
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  number=90
  while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
  Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$number"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
  echo "Velmora runs on the headless display $DISPLAY. To look at it:"
  echo "  DISPLAY=$DISPLAY import -window root velmora.png   # then open velmora.png"
fi
cleanup() {
  WINEPREFIX="$run/prefix" wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
wineserver -p5
echo "Starting Velmora (right-click the tray icon or a mascot for the menu; Ctrl+C here ends it)."
wine 'C:\Velmora\Velmora2.exe'
