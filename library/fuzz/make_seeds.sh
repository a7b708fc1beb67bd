#!/bin/sh
# Seeds for the cache file fuzzer: a sound two-record file and the format's own example.
set -e
mkdir -p "$1"
printf '\134a.lzh\000Tama\000\001\000\000\000' > "$1/example"
printf '\134A.lzh\000\000\000\000\000\000\134a.lzh\000Tama\000\001\000\000\000' > "$1/two"
