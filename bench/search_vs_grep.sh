#!/usr/bin/env bash
# Times `qimtool search` beside `grep -rlF` (byte mode, LC_ALL=C) over one folder
# of generated mails (bench/make_search_corpus.py: 20 000 mails of a few KB,
# half with ISO-2022-JP encoded subjects) in one run, and prints both times
# (medians of 7 interleaved runs, warm cache), the number of files each listed, and the ratio
# qimtool / grep (below 1 means qimtool is faster). qimtool also decodes the
# header fields, so for Japanese words found in encoded subjects it lists more
# files than grep can.
# Usage: [QIMTOOL=path] bench/search_vs_grep.sh [MAILS]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
count=${1:-20000}
build=build/release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF >/dev/null
cmake --build $build --target qimtool >/dev/null
qimtool=${QIMTOOL:-$build/bin/qimtool}  # QIMTOOL=path times another build
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 bench/make_search_corpus.py "$work/box" --count "$count"
echo "folder: $count mails, $(du -sk "$work/box" | cut -f1) KB on disk"
export LC_ALL=C
sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

seconds() {  # wall-clock seconds of one run of a command; its output goes to $2
  local t
  t=$( { TIMEFORMAT=%R; time bash -c "$1" > "$2" 2>/dev/null || true; } 2>&1 | tail -n1 )
  echo "$t"
}
ratio() { awk -v p="$1" -v q="$2" 'BEGIN{ if (q == 0) q = 0.0005; printf "%.2f", p / q }'; }

# The two commands run in turn, 7 times each after a warm-up run, so a change of
# load on the machine touches both; the median of each counts.
printf '%-44s %8s %6s %8s %6s %12s\n' search qimtool files grep files qimtool/grep
rows=()
row() {  # label, qimtool arguments, grep arguments ("" for none)
  local qcmd="$qimtool search $2 '$work/box'" gcmd="grep -rl $3 '$work/box'" qs=() gs=() q g="" qn gn
  seconds "$qcmd" "$work/q.out" >/dev/null
  [[ -n "$3" ]] && seconds "$gcmd" "$work/g.out" >/dev/null
  for _ in 1 2 3 4 5 6 7; do
    qs+=("$(seconds "$qcmd" "$work/q.out")")
    [[ -n "$3" ]] && gs+=("$(seconds "$gcmd" "$work/g.out")")
  done
  q=$(bench_median "${qs[@]}")
  qn=$(wc -l < "$work/q.out")
  if [[ -n "$3" ]]; then
    g=$(bench_median "${gs[@]}")
    gn=$(wc -l < "$work/g.out")
    printf '%-44s %8s %6s %8s %6s %12s\n' "$1" "$q" "$qn" "$g" "$gn" "$(ratio "$q" "$g")"
  else
    printf '%-44s %8s %6s %8s %6s %12s\n' "$1" "$q" "$qn" - - -
  fi
  rows+=("search $count mails: $1|$q|${3:+grep -rl}|${g:--}")
}

jp=$(sjis 検索語)
row "absent word, case kept (reads everything)" "--case zqxj" "-F zqxj"
row "absent word, case folded" "zqxj" "-iF zqxj"
row "\"needle\", case kept" "--case needle" "-F needle"
row "\"needle\", case folded" "needle" "-iF needle"
row "Japanese word (Shift_JIS bytes for grep)" "検索語" "-F '$jp'"
row "Japanese word, body only" "--body 検索語" "-F '$jp'"
row "Japanese word, Subject field only" "--field Subject 検索語" ""
row "absent word, header only" "--header zqxj" ""

echo
for r in "${rows[@]}"; do
  IFS='|' read -r label q peer g <<< "$r"
  bench_row "$label" "$q" "${peer:--}" "$g" "-"
done
