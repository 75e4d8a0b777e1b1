#!/usr/bin/env bash
# Packs one folder of generated mails (bench/make_search_corpus.py: Shift_JIS
# mails of a few KB, 1 in 40 with a base64 attachment of 30 KB of random
# bytes) three ways in one run: `qimtool archive` (-lh5- through libunlha32.so,
# and then the archive read back, every mail unpacked and compared, and the
# mails deleted), `tar | gzip -6`, and jlha-utils' `lha a` (-lh5-). Prints the
# size of each archive, its ratio to the mails' bytes, the best time of 3
# (warm cache; each run on a fresh copy of the folder, the copy not timed),
# and qimtool's size and time over each peer's.
# Usage: [QIMTOOL=path] bench/archive_vs_peers.sh [MAILS]
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-3000}
build=build/release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF -DQIM_BUILD_BENCH=OFF >/dev/null
cmake --build $build --target qimtool unlha32 >/dev/null
qimtool=${QIMTOOL:-$build/bin/qimtool}  # QIMTOOL=path times another build
command -v jlha >/dev/null || { echo "jlha-utils is not installed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 bench/make_search_corpus.py "$work/box" --count "$count" >/dev/null
for ((n = 40; n <= count; n += 40)); do
  { printf '\r\n--attachment follows--\r\n'; head -c 30000 /dev/urandom | base64 -w 72 | sed 's/$/\r/'; } >> "$work/box/$n"
done
bytes=$(cat "$work/box"/* | wc -c)
echo "folder: $count mails, $bytes bytes"

seconds() {  # wall-clock seconds of one run of a command
  local t
  t=$( { TIMEFORMAT=%R; time bash -c "$1" >/dev/null 2>&1; } 2>&1 | tail -n1 )
  echo "$t"
}
lower() { awk -v a="$1" -v b="$2" 'BEGIN{ print (a == "" || b < a) ? b : a }'; }
ratio() { awk -v p="$1" -v q="$2" 'BEGIN{ if (q == 0) q = 0.0005; printf "%.3f", p / q }'; }

# Each way runs 3 times in turn on a fresh copy, so a change of load touches all.
declare -A best size
ways=(qimtool gzip jlha)
run() {  # way -> the command on $work/copy, leaving $work/out.*
  case $1 in
    qimtool) echo "'$qimtool' archive '$work/copy' bench" ;;
    gzip) echo "tar cf - -C '$work/copy' . | gzip -6 > '$work/out.tgz'" ;;
    jlha) echo "cd '$work/copy' && jlha a '$work/out.lzh' 1* 2* 3* 4* 5* 6* 7* 8* 9*" ;;
  esac
}
for _ in 1 2 3; do
  for way in "${ways[@]}"; do
    rm -rf "$work/copy" "$work"/out.*
    cp -a "$work/box" "$work/copy"
    best[$way]=$(lower "${best[$way]:-}" "$(seconds "$(run "$way")")")
    case $way in
      qimtool) size[$way]=$(stat -c %s "$work/copy/bench.LZH")
               [[ $(ls "$work/copy" | wc -l) == 2 ]] || { echo "qimtool left mails behind" >&2; exit 1; } ;;
      gzip) size[$way]=$(stat -c %s "$work/out.tgz") ;;
      jlha) size[$way]=$(stat -c %s "$work/out.lzh") ;;
    esac
  done
done

printf '%-28s %10s %7s %8s %14s %14s\n' way bytes ratio seconds "size/peer" "time/peer"
for way in "${ways[@]}"; do
  if [[ $way == qimtool ]]; then rel_s=- rel_t=-; else rel_s=$(ratio "${size[qimtool]}" "${size[$way]}"); rel_t=$(ratio "${best[qimtool]}" "${best[$way]}"); fi
  label=$way
  case $way in qimtool) label="qimtool archive (-lh5-)";; gzip) label="tar | gzip -6";; jlha) label="jlha-utils lha a (-lh5-)";; esac
  printf '%-28s %10s %7s %8s %14s %14s\n' "$label" "${size[$way]}" "$(ratio "${size[$way]}" "$bytes")" "${best[$way]}" "$rel_s" "$rel_t"
done
