#!/usr/bin/env bash
# The local store at scale, on generated folders (bench/make_store_corpus.py:
# small Japanese mails) of 20 000 and of MAILS (100 000 by default) mails:
#   - `qimtool cache rebuild` and `qimtool cache update` of an emptied cache
#     (both read every mail's header) beside `grep -rlF` of a pattern that
#     never occurs (reads every byte: the I/O floor), medians of 5
#     interleaved rounds, warm cache; the rebuilt HCACHE.TXT must equal the
#     updated one;
#   - peak memory (/usr/bin/time -v) of the rebuild and of `qimtool cache list --sort date`;
#   - StoreCacheBench: load of HCACHE.TXT into SMemCacheFolder, sort by date
#     with SQimComparator, both together (what showing the folder costs), thread sort.
# Usage: bench/store_scale.sh [MAILS]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
count=${1:-100000}
build=build/release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF -DQIM_BUILD_BENCH=ON >/dev/null
cmake --build $build -j2 --target qimtool StoreCacheBench >/dev/null
qimtool=$build/bin/qimtool
work=$(mktemp -d "${TMPDIR:-/tmp}/qimstorebench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C

peak_kb() {  # maximum resident set of one run, in KB
  /usr/bin/time -v bash -c "$1 >/dev/null" 2>&1 | awk -F': ' '/Maximum resident/ { print $2 }'
}

sizes=(20000)
[[ $count != 20000 ]] && sizes+=("$count")
for n in "${sizes[@]}"; do
  box=$work/box$n
  /usr/bin/python3 bench/make_store_corpus.py "$box" --count "$n"
  echo "folder: $n mails, $(du -sk "$box" | cut -f1) KB on disk"
  "$qimtool" cache rebuild "$box"
  cp "$box/HCACHE.TXT" "$work/rebuilt"
  : > "$box/HCACHE.TXT"
  "$qimtool" cache update "$box"
  cmp "$box/HCACHE.TXT" "$work/rebuilt"
  bench_medians 5 "grep -rlF 'zq-never-there-xj' '$box'" "'$qimtool' cache rebuild '$box'" \
    ": > '$box/HCACHE.TXT' && '$qimtool' cache update '$box'"
  m=("${MEDIANS[@]}")
  cmp "$box/HCACHE.TXT" "$work/rebuilt"
  bench_row "cache rebuild, $n mails" "${m[1]}" "grep -rlF (absent)" "${m[0]}" "ratio<=1.3"
  bench_row "cache update of an empty cache, $n mails" "${m[2]}" "grep -rlF (absent)" "${m[0]}" "ratio<=1.3"
  echo "CPU (user+sys): grep $(bench_cpu "grep -rlF 'zq-never-there-xj' '$box'") s," \
       "rebuild $(bench_cpu "'$qimtool' cache rebuild '$box'") s"
  [[ $n == 20000 && $count != 20000 ]] && rm -rf "$box"
done
box=$work/box$count
echo "HCACHE.TXT: $(wc -c < "$box/HCACHE.TXT") bytes, $(( $(wc -l < "$box/HCACHE.TXT") / 4 )) records"
bench_medians 5 "'$qimtool' cache list '$box' --sort date"
printf '%-46s %8s s\n' "qimtool cache list --sort date (load, sort, print)" "${MEDIANS[0]}"
printf '%-46s %8s KB\n' "peak memory, cache rebuild" "$(peak_kb "'$qimtool' cache rebuild '$box'")"
printf '%-46s %8s KB\n' "peak memory, cache list --sort date" "$(peak_kb "'$qimtool' cache list '$box' --sort date")"
echo
QIM_STORE_FOLDER="$box" $build/bin/StoreCacheBench --benchmark_counters_tabular=true
