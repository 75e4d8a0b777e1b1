#!/usr/bin/env bash
# Times `qimtool base64 decode` beside coreutils `base64 -d` on the same large
# attachment (random bytes, base64 in 76-character LF lines, which both read) in
# one run, and prints the ratio (coreutils time / qimtool time; above 1 means
# qimtool is faster). Also times decoding our own CR LF file and encoding.
# Usage: bench/base64_vs_coreutils.sh [MEGABYTES]
set -euo pipefail
cd "$(dirname "$0")/.."
mb=${1:-100}
build=build/release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF -DQIM_BUILD_BENCH=ON >/dev/null
cmake --build $build >/dev/null
qimtool=$build/bin/qimtool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

head -c $((mb * 1024 * 1024)) /dev/urandom > "$work/raw"
base64 "$work/raw" > "$work/lf.b64"
"$qimtool" base64 encode "$work/raw" "$work/crlf.b64"
echo "attachment: $(stat -c %s "$work/raw") bytes, base64 $(stat -c %s "$work/lf.b64") bytes"

best() {  # best of 3 wall-clock seconds of a command reading $2, writing $3
  local cmd=$1 input=$2 output=$3 t b=""
  for _ in 1 2 3; do
    t=$( { TIMEFORMAT=%R; time bash -c "$cmd < '$input' > '$output'" ; } 2>&1 | tail -n1 )
    if [[ -z "$b" ]] || awk "BEGIN{exit !($t < $b)}"; then b=$t; fi
  done
  echo "$b"
}
ratio() { awk -v p="$1" -v q="$2" 'BEGIN{ if (q == 0) q = 0.005; printf "%.2f", p / q }'; }

q_dec=$(best "$qimtool base64 decode" "$work/lf.b64" "$work/q.out")
c_dec=$(best "base64 -d" "$work/lf.b64" "$work/c.out")
cmp "$work/q.out" "$work/raw"
cmp "$work/c.out" "$work/raw"
q_crlf=$(best "$qimtool base64 decode" "$work/crlf.b64" "$work/q.out")
cmp "$work/q.out" "$work/raw"
q_enc=$(best "$qimtool base64 encode" "$work/raw" "$work/q.b64")
c_enc=$(best "base64 -w 72" "$work/raw" "$work/c.b64")

printf '%-34s %8s %9s %16s\n' work qimtool coreutils coreutils/qimtool
printf '%-34s %8s %9s %16s\n' "decode (76-column LF lines)" "$q_dec" "$c_dec" "$(ratio "$c_dec" "$q_dec")"
printf '%-34s %8s %9s %16s\n' "decode (our 72-column CR LF lines)" "$q_crlf" "-" "-"
printf '%-34s %8s %9s %16s\n' "encode (72 columns)" "$q_enc" "$c_enc" "$(ratio "$c_enc" "$q_enc")"
