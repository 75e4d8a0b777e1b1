#!/usr/bin/env bash
# Times `qimtool base64 decode` beside coreutils `base64 -d` on the same large
# attachment (random bytes, base64 in 76-character LF lines, which both read) in
# one run (medians of 5 interleaved rounds), and prints the ratio qimtool /
# coreutils (below 1 means qimtool is faster). Also times decoding our own CR
# LF file and encoding.
# Usage: bench/base64_vs_coreutils.sh [MEGABYTES]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
mb=${1:-100}
build=build/release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF >/dev/null
cmake --build $build --target qimtool >/dev/null
qimtool=$build/bin/qimtool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

head -c $((mb * 1024 * 1024)) /dev/urandom > "$work/raw"
base64 "$work/raw" > "$work/lf.b64"
"$qimtool" base64 encode "$work/raw" "$work/crlf.b64"
echo "attachment: $(stat -c %s "$work/raw") bytes, base64 $(stat -c %s "$work/lf.b64") bytes"

"$qimtool" base64 decode < "$work/lf.b64" | cmp - "$work/raw"
"$qimtool" base64 decode < "$work/crlf.b64" | cmp - "$work/raw"
base64 -d < "$work/lf.b64" | cmp - "$work/raw"

bench_medians 5 "$qimtool base64 decode < '$work/lf.b64'" "base64 -d < '$work/lf.b64'" \
  "$qimtool base64 decode < '$work/crlf.b64'" "$qimtool base64 encode < '$work/raw'" "base64 -w 72 < '$work/raw'"
m=("${MEDIANS[@]}")
bench_row "base64 decode ${mb} MB (76-column LF lines)" "${m[0]}" "base64 -d" "${m[1]}" "-"
bench_row "base64 decode ${mb} MB (our CR LF lines)" "${m[2]}" "-" "-" "-"
bench_row "base64 encode ${mb} MB" "${m[3]}" "base64 -w 72" "${m[4]}" "-"
