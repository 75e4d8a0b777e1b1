#!/usr/bin/env bash
# Times qimtool sjis2jis / jis2sjis beside nkf and iconv on the same generated
# corpus in one run, and prints the ratios (peer time / qimtool time; above 1
# means qimtool is faster). Usage: bench/codes_vs_peers.sh [MEGABYTES]
set -euo pipefail
cd "$(dirname "$0")/.."
mb=${1:-50}
build=build/release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF -DQIM_BUILD_BENCH=ON >/dev/null
cmake --build $build >/dev/null
qimtool=$build/bin/qimtool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A corpus glibc's ISO-2022-JP encoder accepts: JIS X 0208 and ASCII only.
python3 tests/peers/make_jis_corpus.py --bytes $((mb * 1024 * 1024)) --seed 11 > "$work/in.sjis"
"$qimtool" sjis2jis < "$work/in.sjis" > "$work/in.jis"
echo "corpus: $(stat -c %s "$work/in.sjis") bytes Shift_JIS, $(stat -c %s "$work/in.jis") bytes JIS"

best() {  # best of 3 wall-clock seconds of a command reading $2, writing /dev/null
  local cmd=$1 input=$2 t b=""
  for _ in 1 2 3; do
    t=$( { TIMEFORMAT=%R; time bash -c "$cmd < '$input' > /dev/null" ; } 2>&1 | tail -n1 )
    if [[ -z "$b" ]] || awk "BEGIN{exit !($t < $b)}"; then b=$t; fi
  done
  echo "$b"
}

ratio() { awk -v p="$1" -v q="$2" 'BEGIN{ if (q == 0) q = 0.005; printf "%.2f", p / q }'; }

q_to=$(best "$qimtool sjis2jis" "$work/in.sjis")
n_to=$(best "nkf -S -j" "$work/in.sjis")
i_to=$(best "iconv -f CP932 -t ISO-2022-JP" "$work/in.sjis")
q_from=$(best "$qimtool jis2sjis" "$work/in.jis")
n_from=$(best "nkf -J -s" "$work/in.jis")
i_from=$(best "iconv -f ISO-2022-JP -t CP932" "$work/in.jis")

printf '%-22s %8s %8s %8s %10s %10s\n' direction qimtool nkf iconv nkf/qim iconv/qim
printf '%-22s %8s %8s %8s %10s %10s\n' "Shift_JIS -> JIS" "$q_to" "$n_to" "$i_to" "$(ratio "$n_to" "$q_to")" "$(ratio "$i_to" "$q_to")"
printf '%-22s %8s %8s %8s %10s %10s\n' "JIS -> Shift_JIS" "$q_from" "$n_from" "$i_from" "$(ratio "$n_from" "$q_from")" "$(ratio "$i_from" "$q_from")"
