#!/usr/bin/env bash
# Installs the Debian packages the build, the program under Wine and the tests need.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake make g++ g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  libgtest-dev googletest clang libclang-rt-14-dev
  wine wine64 fonts-wine
  xvfb xdotool x11-utils imagemagick fonts-ipafont-gothic locales
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  python3 python3-pytest
  lhasa liblhasa-dev p7zip-full zip unzip
  libstb-dev libgif-dev
)
# Wine's 32-bit part is only of use where the kernel runs 32-bit programs, and its libraries must
# match the 64-bit ones version for version, which a mirror in the middle of a sync cannot always
# give: the 64-bit suites run without it, so a failed install is reported, not fatal.
optional_packages=(wine32:i386)

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

# A mirror caught in the middle of a sync fails one list of the update while the others are
# fresh; the install then still finds every package, so such an update is retried, not fatal.
refresh_package_lists() {
  for attempt in 1 2 3; do
    "${sudo_cmd[@]}" apt-get update -qq && return 0
    sleep $((attempt * 5))
  done
  echo "setup: some package lists could not be refreshed; installing from the lists at hand" >&2
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  refresh_package_lists
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
elif [ -n "${need_update:-}" ]; then
  refresh_package_lists
fi

for p in "${optional_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" && continue
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$p" >/dev/null 2>&1 ||
    echo "setup: $p could not be installed; the 32-bit Wine suites will not run here" >&2
done

# Wine picks the code page from LC_ALL: 932 for ja_JP, 1252 for en_US, where the program runs
# as on a system of another language. Wine reads Unix file names in the locale's character
# set, so a locale that is not compiled would leave every non-ASCII file name unreadable.
for locale_name in ja_JP en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^${locale_name}.utf8$"; then
    "${sudo_cmd[@]}" localedef -i "$locale_name" -f UTF-8 "$locale_name.UTF-8" >/dev/null 2>&1 || true
  fi
done
