#!/usr/bin/env bash
# Times qimtool sjis2jis / jis2sjis beside nkf, iconv and cat on the same
# generated corpus (medians of 5 interleaved rounds, warm cache, whole
# processes writing to /dev/null), checks that qimtool writes what nkf writes,
# and prints the ratios qimtool / peer (below 1 means qimtool is faster).
# Usage: bench/codes_vs_peers.sh [MEGABYTES]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
mb=${1:-48}
build=build/release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF >/dev/null
cmake --build $build --target qimtool >/dev/null
qimtool=$build/bin/qimtool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A corpus glibc's ISO-2022-JP encoder accepts: JIS X 0208 and ASCII only.
python3 tests/peers/make_jis_corpus.py --bytes $((mb * 1024 * 1024)) --seed 11 > "$work/in.sjis"
"$qimtool" sjis2jis < "$work/in.sjis" > "$work/in.jis"
echo "corpus: $(stat -c %s "$work/in.sjis") bytes Shift_JIS, $(stat -c %s "$work/in.jis") bytes JIS"
# The speed counts only with the same bytes as the peer.
nkf -S -j < "$work/in.sjis" | cmp - "$work/in.jis"
"$qimtool" jis2sjis < "$work/in.jis" | cmp - "$work/in.sjis"

in_s=$work/in.sjis in_j=$work/in.jis
bench_medians 5 "$qimtool sjis2jis < $in_s" "nkf -S -j < $in_s" "iconv -f CP932 -t ISO-2022-JP < $in_s" "cat < $in_s" \
  "$qimtool jis2sjis < $in_j" "nkf -J -s < $in_j" "iconv -f ISO-2022-JP -t CP932 < $in_j" "cat < $in_j"
m=("${MEDIANS[@]}")
bench_row "sjis2jis ${mb} MB" "${m[0]}" "nkf -S -j" "${m[1]}" "ratio<=0.1"
bench_row "sjis2jis ${mb} MB" "${m[0]}" "iconv" "${m[2]}" "-"
bench_row "sjis2jis ${mb} MB" "${m[0]}" "cat" "${m[3]}" "ratio<=3"
bench_row "jis2sjis ${mb} MB" "${m[4]}" "nkf -J -s" "${m[5]}" "ratio<=0.1"
bench_row "jis2sjis ${mb} MB" "${m[4]}" "iconv" "${m[6]}" "-"
bench_row "jis2sjis ${mb} MB" "${m[4]}" "cat" "${m[7]}" "ratio<=3"
