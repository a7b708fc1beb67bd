# Sourced by the scripts that run Wine: one environment for every Wine command.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Code page 932 for the ANSI API; Linux tools inside get LC_ALL reset where output is parsed.
export LC_ALL=ja_JP.UTF-8

# wine_loader ARCH: the loader that runs a prefix of that architecture. Debian's wrapper picks
# the 32-bit loader whenever its file is there, even where the kernel cannot start it, so a
# 64-bit prefix is always run through the 64-bit loader itself.
wine_loader() {
  case "$1" in
    win64) echo /usr/lib/wine/wine64 ;;
    *) echo /usr/lib/wine/wine ;;
  esac
}
