#!/usr/bin/env bash
# Makes the template Wine prefix that runs and tests copy: Japanese fonts mapped for the
# dialog font, Wine's own fonts installed, no crash dialog.
# Usage: make-prefix.sh DIR [desktop|plain] [win64|win32]
# ("desktop" adds the virtual desktop with a taskbar; a win64 prefix runs 64-bit programs, and
# 32-bit ones too where the machine runs them.)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$(realpath -m "$1")
mode=${2:-plain}
source "$top/scripts/wine-env.sh"
export WINEARCH=${3:-win64}
loader=$(wine_loader "$WINEARCH")

stamp="$(sha1sum "$0" "$top/scripts/wine-env.sh" | sha1sum | cut -c1-12)-$mode-$WINEARCH"
if [ -f "$dir/.velmora-stamp" ] && [ "$(cat "$dir/.velmora-stamp")" = "$stamp" ]; then
  exit 0
fi
rm -rf "$dir"
mkdir -p "$dir"
export WINEPREFIX=$dir
wineserver -p5
"$loader" wineboot -i >/dev/null 2>&1
wineserver -w

cp /usr/share/wine/fonts/* "$dir/drive_c/windows/Fonts/" 2>/dev/null || true

reg=$(mktemp --suffix=.reg)
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n"ＭＳ ゴシック"="IPAGothic"\r\n'
  printf '"MS PGothic"="IPAPGothic"\r\n"MS Gothic"="IPAGothic"\r\n"MS UI Gothic"="IPAPGothic"\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
  if [ "$mode" = desktop ]; then
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="shell"\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"shell"="1024x768"\r\n\r\n'
  fi
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
"$loader" regedit /S "$reg" >/dev/null 2>&1
rm -f "$reg"
wineserver -k || true
wineserver -w
# Only this prefix's server folder goes; other prefixes may be in use.
server="server-$(stat -c '%D' "$dir" | sed 's/^0*//')-$(printf '%x' "$(stat -c '%i' "$dir")")"
for folder in /tmp/wine-*/"$server"; do
  [ -d "$folder" ] || continue
  rm -rf "$folder"
  rmdir "$(dirname "$folder")" 2>/dev/null || true
done
echo "$stamp" > "$dir/.velmora-stamp"
