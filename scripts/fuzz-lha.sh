#!/bin/bash
# Builds the LHA fuzz targets with clang (libFuzzer, ASan, UBSan) in build/fuzz and
# runs each one for the given number of seconds (default 10), seeded from the
# shared corpus. Exits non-zero when a target finds a fault; the crashing input
# is left in build/fuzz/findings/.
#   scripts/fuzz-lha.sh [seconds]
# A longer run: scripts/fuzz-lha.sh 3600 (about an hour per target).
set -euo pipefail
seconds=${1:-10}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
corpus="$source_dir/../shared/lha-corpus"
build="$source_dir/build/fuzz"

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build" -DVELMORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(member_header decode_lh1 decode_lh2 decode_lh3 decode_lzs decode_lz5 decode_static_huffman)
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}" >/dev/null

# Decoder seeds carry the two size bytes the targets expect in front of a stream.
seed_stream() {  # seed_stream <out> <size> <stream file> [method selector byte]
    local out=$1 size=$2 file=$3 selector=${4:-}
    { printf "\\x$(printf %02x $(( (size / 4) >> 8 & 255 )))\\x$(printf %02x $(( (size / 4) & 255 )))"
      [ -n "$selector" ] && printf "\\x$selector"
      cat "$file"; } > "$out"
}
# The compressed data of the first member of a level 2 archive, whose header
# starts with its own 16-bit length.
member_stream() {  # member_stream <archive> <packed size>
    local header
    header=$(od -An -tu2 -N2 "$1" | tr -d ' ')
    tail -c +$((header + 1)) "$1" | head -c "$2"
}
mkdir -p "$build/seeds" "$build/findings"
for t in "${targets[@]}"; do mkdir -p "$build/seeds/$t"; done
find "$corpus/archives" -type f ! -name 'README*' -size -200k -exec cp -f {} "$build/seeds/member_header/" \;
seed_stream "$build/seeds/decode_lh1/lh1" 18092 "$corpus/compressed/lh1.bin"
member_stream "$corpus/archives/unlha32/lh2.lzh" 1296 > "$build/seeds/lh2.bin"
member_stream "$corpus/archives/unlha32/lh3.lzh" 1337 > "$build/seeds/lh3.bin"
seed_stream "$build/seeds/decode_lh2/lh2" 2853 "$build/seeds/lh2.bin"
seed_stream "$build/seeds/decode_lh3/lh3" 2853 "$build/seeds/lh3.bin"
seed_stream "$build/seeds/decode_lzs/lzs" 18092 "$corpus/compressed/lzs.bin"
seed_stream "$build/seeds/decode_lz5/lz5" 18092 "$corpus/compressed/lz5.bin"
seed_stream "$build/seeds/decode_static_huffman/lh5" 18092 "$corpus/compressed/lh5.bin" 00
seed_stream "$build/seeds/decode_static_huffman/lh6" 18092 "$corpus/compressed/lh6.bin" 01
seed_stream "$build/seeds/decode_static_huffman/lh7" 18092 "$corpus/compressed/lh7.bin" 02

status=0
for t in "${targets[@]}"; do
    log="$build/findings/$t.log"
    if "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$build/findings/$t-" "$build/seeds/$t" >"$log" 2>&1; then
        echo "fuzz_$t: $(grep -o 'Done [0-9]* runs' "$log" | tail -1 || echo 'ran')"
    else
        echo "fuzz_$t: FAULT, see $log"
        status=1
    fi
done
exit $status
