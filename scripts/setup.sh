#!/usr/bin/env bash
# Installs the Debian packages the build, the program under Wine and the tests need.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake make g++ g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  libgtest-dev googletest clang libclang-rt-14-dev
  wine wine32:i386 wine64 fonts-wine
  xvfb xdotool x11-utils imagemagick fonts-ipafont-gothic locales
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  python3 python3-pytest
  lhasa liblhasa-dev p7zip-full zip unzip
  libstb-dev libgif-dev
)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
elif [ -n "${need_update:-}" ]; then
  "${sudo_cmd[@]}" apt-get update -qq
fi

# Wine picks code page 932 from LC_ALL; the compiled locale keeps the shell quiet about it.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  "${sudo_cmd[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 >/dev/null 2>&1 || true
fi
