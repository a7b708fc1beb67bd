# Sourced by the scripts that run Wine: one environment for every Wine command.
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Code page 932 for the ANSI API; Linux tools inside get LC_ALL reset where output is parsed.
export LC_ALL=ja_JP.UTF-8
