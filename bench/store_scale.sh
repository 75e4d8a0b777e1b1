#!/usr/bin/env bash
# The local store at scale, in one run over one generated folder
# (bench/make_store_corpus.py: 100 000 small Japanese mails by default):
#   - `qimtool cache rebuild` (reads every mail's header) beside
#     `grep -rlF` of a pattern that never occurs (reads every byte: the I/O floor),
#     best of 3 each, warm cache;
#   - peak memory (/usr/bin/time -v) of the rebuild and of `qimtool cache list --sort date`;
#   - StoreCacheBench: load of HCACHE.TXT into SMemCacheFolder, sort by date
#     with SQimComparator, both together (what showing the folder costs), thread sort.
# Usage: bench/store_scale.sh [MAILS]
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-100000}
build=build/release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF -DQIM_BUILD_BENCH=ON >/dev/null
cmake --build $build -j2 --target qimtool StoreCacheBench >/dev/null
qimtool=$build/bin/qimtool
work=$(mktemp -d "${TMPDIR:-/tmp}/qimstorebench.XXXXXX")
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 bench/make_store_corpus.py "$work/box" --count "$count"
echo "folder: $count mails, $(du -sk "$work/box" | cut -f1) KB on disk"
export LC_ALL=C

seconds() {  # wall-clock seconds of one run of a command
  local t
  t=$( { TIMEFORMAT=%R; time bash -c "$1" >/dev/null 2>&1 || true; } 2>&1 | tail -n1 )
  echo "$t"
}
best() {  # best of 3 after one warm-up run
  local b="" t
  seconds "$1" >/dev/null
  for _ in 1 2 3; do
    t=$(seconds "$1")
    b=$(awk -v a="$b" -v t="$t" 'BEGIN{ print (a == "" || t < a) ? t : a }')
  done
  echo "$b"
}
peak_kb() {  # maximum resident set of one run, in KB
  /usr/bin/time -v bash -c "$1 >/dev/null" 2>&1 | awk -F': ' '/Maximum resident/ { print $2 }'
}
cpu_s() {  # user + system seconds of one run (the machine's other load aside)
  /usr/bin/time -f '%U %S' bash -c "$1 >/dev/null 2>&1 || true" 2>&1 | tail -n1 | awk '{ printf "%.2f", $1 + $2 }'
}

g=$(best "grep -rlF 'zq-never-there-xj' '$work/box'")
q=$(best "'$qimtool' cache rebuild '$work/box'")
printf '%-46s %8s s\n' "grep -rlF absent pattern (I/O floor)" "$g"
printf '%-46s %8s s   (%s x grep)\n' "qimtool cache rebuild" "$q" "$(awk -v q="$q" -v g="$g" 'BEGIN{ printf "%.2f", q / g }')"
echo "HCACHE.TXT: $(wc -c < "$work/box/HCACHE.TXT") bytes, $(( $(wc -l < "$work/box/HCACHE.TXT") / 4 )) records"
l=$(best "'$qimtool' cache list '$work/box' --sort date")
printf '%-46s %8s s\n' "qimtool cache list --sort date (load, sort, print)" "$l"
printf '%-46s %8s s\n' "CPU (user+sys), grep -rlF" "$(cpu_s "grep -rlF 'zq-never-there-xj' '$work/box'")"
printf '%-46s %8s s\n' "CPU (user+sys), qimtool cache rebuild" "$(cpu_s "'$qimtool' cache rebuild '$work/box'")"
printf '%-46s %8s KB\n' "peak memory, cache rebuild" "$(peak_kb "'$qimtool' cache rebuild '$work/box'")"
printf '%-46s %8s KB\n' "peak memory, cache list --sort date" "$(peak_kb "'$qimtool' cache list '$work/box' --sort date")"
echo
QIM_STORE_FOLDER="$work/box" $build/bin/StoreCacheBench --benchmark_counters_tabular=true
