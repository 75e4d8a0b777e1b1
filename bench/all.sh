#!/usr/bin/env bash
# Runs every peer comparison of bench/ on generated inputs, one after the
# other, and writes one Markdown table of their medians and ratios (Qim / peer:
# below 1 means Qim is faster) with the targets and whether each is met,
# headed by the machine it ran on and its load. Each benchmark's own output
# goes to a log beside the table. A benchmark that fails, or whose script is
# not there, is named under the table; the others still run.
#   bench/all.sh [--readme] [OUT.md]
# --readme also puts the table into README.md, between the markers of its
# benchmark section. OUT.md defaults to build/bench/latest.md.
set -uo pipefail
cd "$(dirname "$0")/.."
readme=""
if [[ "${1:-}" == "--readme" ]]; then readme=1; shift; fi
out=${1:-build/bench/latest.md}
mkdir -p "$(dirname "$out")"
logs=$(dirname "$out")/logs
mkdir -p "$logs"
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
export BENCH_ROWS=$rows

loadStart=$(cut -d' ' -f1-3 /proc/loadavg)
notes=()
run() {  # script [arguments]
  local script=$1
  shift
  if [[ ! -f "bench/$script" ]]; then
    notes+=("$script: not there, skipped")
    return
  fi
  echo "== $script $*" >&2
  local before
  before=$(wc -l < "$rows")
  if bash "bench/$script" "$@" > "$logs/${script%.sh}.log" 2>&1; then
    [[ $(wc -l < "$rows") -gt $before ]] || notes+=("$script: ran, no rows for the table (see its log)")
  else
    notes+=("$script: failed (exit $?), see $logs/${script%.sh}.log")
  fi
}

run codes_vs_peers.sh
run base64_vs_coreutils.sh
run search_vs_grep.sh
run sort_vs_grep.sh
run store_scale.sh
run receive_vs_fetchmail.sh
run send_vs_smtplib.sh
run imap_headers_vs_imaplib.sh
run window_open.sh
run soak_receive_sort.sh
loadEnd=$(cut -d' ' -f1-3 /proc/loadavg)

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
mem=$(awk '/^MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)
{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of $cpu, $mem, Linux $(uname -r);"
  echo "load average $loadStart at the start, $loadEnd at the end. Whole processes, warm page cache,"
  echo "medians of 5 interleaved rounds (search: 7). Qim / peer below 1: Qim is faster."
  echo
  echo "| Work | Qim | Peer | Peer | Qim / peer | Target | Met |"
  echo "|---|---:|---|---:|---:|---|---|"
  while IFS='|' read -r work qim peer peerValue ratio target met; do
    target=${target/ratio<=/Qim \/ peer ≤ }
    target=${target/value<=/≤ }
    echo "| $work | $qim | $peer | $peerValue | $ratio | $target | $met |"
  done < "$rows"
  if ((${#notes[@]})); then
    echo
    for n in "${notes[@]}"; do echo "- $n"; done
  fi
} > "$out"
cat "$out"

if [[ -n "$readme" ]]; then
  /usr/bin/python3 - "$out" README.md <<'PY'
import sys
table, readme = open(sys.argv[1], encoding="utf-8").read(), sys.argv[2]
text = open(readme, encoding="utf-8").read()
start, end = "<!-- bench:start -->", "<!-- bench:end -->"
if start not in text or end not in text:
    sys.exit("README.md has no benchmark markers")
head, rest = text.split(start, 1)
_, tail = rest.split(end, 1)
open(readme, "w", encoding="utf-8").write(head + start + "\n" + table + end + tail)
PY
fi
