# Shared by the peer benchmarks (sourced): interleaved timing with medians,
# and the rows that bench/all.sh gathers into one table.
#
#   bench_medians ROUNDS CMD...  runs every command once to warm up, then
#                                ROUNDS rounds of all of them in turn (so a
#                                change of load touches each alike); sets the
#                                array MEDIANS to the median wall-clock
#                                seconds of each command, in order.
#   bench_cpu CMD                user + system seconds of one run.
#   bench_ratio A B              A / B with two decimals.
#   bench_row WORK QIM PEER PEER_SECONDS TARGET
#                                one row for the table: Qim's seconds (or
#                                other value), the peer and its seconds
#                                ("-" for none), and the target: "ratio<=X"
#                                (Qim / peer), "value<=X", or "-". Written to
#                                $BENCH_ROWS when it is set, shown always.

bench_seconds() {
  local start end
  start=$(date +%s%N)
  bash -c "$1" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f", (e - s) / 1e9 }'
}

bench_median() {  # the median of the arguments
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.4f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

bench_medians() {
  local rounds=$1 i r
  shift
  local cmds=("$@") all=()
  for i in "${!cmds[@]}"; do bench_seconds "${cmds[$i]}" >/dev/null; all[$i]=""; done
  for ((r = 0; r < rounds; r++)); do
    for i in "${!cmds[@]}"; do all[$i]+="$(bench_seconds "${cmds[$i]}") "; done
  done
  MEDIANS=()
  for i in "${!cmds[@]}"; do
    # shellcheck disable=SC2086
    MEDIANS[$i]=$(bench_median ${all[$i]})
  done
}

bench_cpu() {
  /usr/bin/time -f '%U %S' bash -c "$1 >/dev/null 2>&1 || true" 2>&1 | tail -n1 | awk '{ printf "%.3f", $1 + $2 }'
}

bench_ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) b = 0.0005; printf "%.2f", a / b }'; }

bench_row() {
  local work=$1 qim=$2 peer=$3 peerValue=$4 target=$5 ratio="-" met="-"
  [[ "$peerValue" != "-" ]] && ratio=$(bench_ratio "$qim" "$peerValue")
  case "$target" in
    ratio\<=*) met=$(awk -v r="$ratio" -v t="${target#ratio<=}" 'BEGIN { print (r <= t) ? "yes" : "no" }') ;;
    value\<=*) met=$(awk -v v="$qim" -v t="${target#value<=}" 'BEGIN { print (v <= t) ? "yes" : "no" }') ;;
  esac
  printf '%-52s %10s  %-22s %10s %8s  %-12s %s\n' "$work" "$qim" "$peer" "$peerValue" "$ratio" "$target" "$met"
  if [[ -n "${BENCH_ROWS:-}" ]]; then
    printf '%s|%s|%s|%s|%s|%s|%s\n' "$work" "$qim" "$peer" "$peerValue" "$ratio" "$target" "$met" >> "$BENCH_ROWS"
  fi
}
