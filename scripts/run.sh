#!/usr/bin/env bash
# Command 1: installs what is missing, builds, lays out run/Velmora with the sample mascots,
# makes a Wine prefix of the project's own (Japanese locale, fonts, a virtual desktop with a
# taskbar) and starts Velmora. Without $DISPLAY it starts Xvfb and says how to look at it.
# The 64-bit build runs under the 64-bit Wine loader, on every machine; VELMORA_WINE_ARCH=win32
# runs the 32-bit build instead, where the machine runs 32-bit programs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
source "$top/scripts/wine-env.sh"
arch=$("$top/scripts/wine-arches.sh" 2>/dev/null | cut -d' ' -f1) || {
  "$top/scripts/wine-arches.sh" >/dev/null; exit 1; }
loader=$(wine_loader "$arch")
export WINEARCH=$arch

run="$top/run/$arch"
app="$run/prefix/drive_c/Velmora"
"$top/scripts/make-prefix.sh" "$top/build/wine-template-desktop-$arch" desktop "$arch"
first_run=""
if [ ! -d "$run/prefix" ]; then
  mkdir -p "$run"
  cp -a "$top/build/wine-template-desktop-$arch" "$run/prefix"
  first_run=1
fi
mkdir -p "$app"
cp "$top/build/$arch/bin/Velmora2.exe" "$top/build/$arch/bin/unlha32.dll" "$app/"
cp "$top/help/Velmora2.html" "$app/"
# The sample mascots are drawn and packed on the build machine, so the native tree makes them.
if [ -d "$top/build/native/Mascots" ]; then
  mkdir -p "$app/Mascots"
  cp -r "$top/build/native/Mascots/." "$app/Mascots/"
fi

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
if [ -n "$first_run" ]; then
  # The first start shows every sample mascot; afterwards the program remembers its own choice.
  reg=$(mktemp --suffix=.reg)
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Korrin\\Velmora2\\View]\r\n'
    for mascot in "$app"/Mascots/*; do
      name=$(basename "$mascot")
      printf '"%s"="%s"\r\n' "$name" "$name"
    done
    # Notepad opens in the middle of the screen, so the mascots have a title bar to stand on.
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Notepad]\r\n'
    printf '"iWindowPosX"=dword:000000b4\r\n"iWindowPosY"=dword:000000dc\r\n'
    printf '"iWindowPosDX"=dword:00000258\r\n"iWindowPosDY"=dword:00000190\r\n'
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
  "$loader" regedit /S "$reg" >/dev/null 2>&1
  rm -f "$reg"
fi
echo "Starting the $arch Velmora (right-click the tray icon or a mascot for the menu; Ctrl+C here ends it)."
"$loader" 'C:\Velmora\Velmora2.exe' &
velmora=$!
# A window for the mascots to stand on.
sleep 2
"$loader" notepad >/dev/null 2>&1 &
wait "$velmora"
