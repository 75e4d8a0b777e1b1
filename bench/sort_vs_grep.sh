#!/usr/bin/env bash
# Times `qimtool sort` (the first rule set of QIM.INI run over the inbox, as the
# window's 自動振り分け does) beside `grep -rlF` of each rule's pattern over the
# same inbox, in one run: an inbox of generated mails (bench/make_sort_corpus.py:
# Japanese and ASCII subjects, many senders, a few lists) and 20 rules on From,
# Subject, To and three named fields. Each round sorts a fresh copy of the inbox
# (the copy is not timed); grep reads the untouched one and moves nothing, so it
# is the floor of finding the mails, not of sorting them. qimtool also decodes
# the header fields (grep cannot see Japanese words in encoded subjects) and
# matches From/Subject/To against the header cache without reading the mails.
# Prints the medians of 5 interleaved rounds (after a warm-up), the mails each
# moved or listed, the ratio qimtool / grep, and where qimtool's time goes (perf).
# Usage: [QIMTOOL=path] bench/sort_vs_grep.sh [MAILS]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
count=${1:-20000}
build=build/release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF -DQIM_BUILD_BENCH=OFF >/dev/null
cmake --build $build --target qimtool >/dev/null
qimtool=${QIMTOOL:-$build/bin/qimtool}  # QIMTOOL=path times another build
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C

/usr/bin/python3 bench/make_sort_corpus.py "$work/pristine" "$work/patterns" --count "$count"
# The inbox has its header cache, as it has after any receive.
"$qimtool" cache rebuild "$work/pristine"
rules=$(wc -l < "$work/patterns")
echo "inbox: $count mails, $(du -sk "$work/pristine" | cut -f1) KB on disk; $rules rules"

grepAll() {  # every rule's pattern over the inbox's mail files; the files listed, per rule, to stdout
  while IFS= read -r pattern; do
    grep -rlF --include='[1-9]*' -e "$pattern" "$1" || true
  done < "$work/patterns"
}
fresh() { rm -rf "$work/run"; cp -a "$work/pristine" "$work/run"; }
seconds() {  # wall-clock seconds of one run of a command; its output goes to $2
  local t
  t=$( { TIMEFORMAT=%R; time bash -c "$1" > "$2" 2>/dev/null || true; } 2>&1 | tail -n1 )
  echo "$t"
}
export -f grepAll
export work

sortCmd="'$qimtool' sort --utf8 --home '$work/run'"
grepCmd="grepAll '$work/pristine'"
qs=() gs=()
for round in 0 1 2 3 4 5; do
  fresh
  q=$(seconds "$sortCmd" "$work/sort.out")
  g=$(seconds "$grepCmd" "$work/grep.out")
  if ((round > 0)); then qs+=("$q"); gs+=("$g"); fi
done
q=$(bench_median "${qs[@]}")
g=$(bench_median "${gs[@]}")
moved=$(awk -F'\t' '{ s += $2 } END { print s }' "$work/sort.out")
listed=$(wc -l < "$work/grep.out")
left=$(find "$work/run" -maxdepth 1 -name '[1-9]*' | wc -l)
printf '%-40s %8s %s\n' "qimtool sort ($rules rules)" "$q" "s, $moved mails moved, $left left in the inbox"
printf '%-40s %8s %s\n' "grep -rlF per rule ($rules runs)" "$g" "s, $listed files listed"
echo "per rule (number, moved, item, pattern, destination):"
cat "$work/sort.out"
echo

# Where the time goes: the share of one sort of a fresh copy spent in (and
# below) the steps' main functions: reading the cache, marking (header texts,
# field searches), moving (the renames, the destination's records, the source
# cache written back).
if command -v perf >/dev/null && fresh &&
   perf record -q --call-graph dwarf,16384 -F 2000 -o "$work/perf.data" -- "$qimtool" sort --home "$work/run" >/dev/null 2>&1; then
  echo "qimtool sort, share of samples (inclusive):"
  { perf report -i "$work/perf.data" --children --stdio -g none --sort symbol 2>/dev/null || true; } |
    grep -E '^ +[0-9].*(SAutoMoveFiles::(Mark|Move)|SMemCacheFolder::(Load|WriteAll)|RuleMatchesHeader|SFindInMailBase::FindByPath|SMailCommands::MoveMails|SQimCacheFolder::BatchBring|MoveFileKeepAttrib|WriteRecordOf|SQimFolder::MailExists)' |
    sed -E 's/^ +([0-9.]+%) +[0-9.]+% +\[\.\] +/\1  /; s/ +- +- *$//' | cut -c1-100 || true
  echo
fi

bench_row "sort $count mails by $rules rules (moved $moved)" "$q" "grep -rlF x$rules" "$g" "-"
