#!/usr/bin/env bash
# The main window with a folder of MAILS (100 000 by default) small Japanese
# mails (bench/make_store_corpus.py, HCACHE.TXT built), under Qt's offscreen
# platform, the folders' default sort by date (newest first):
#   - qim's start, as a whole process, up to the first paint of the header
#     list, with that folder as the inbox;
#   - the switch from an empty inbox to that folder in the tree, up to its
#     first paint (load, model, sort, paint), and the memory it takes.
# Medians of 5 interleaved rounds. QimWindowOpenBench does qim's own start-up
# steps and ends at the paint.
# Usage: bench/window_open.sh [MAILS]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
count=${1:-100000}
build=build/release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF -DQIM_BUILD_BENCH=ON >/dev/null
cmake --build $build -j2 --target qimtool QimWindowOpenBench >/dev/null
bench=$(pwd)/$build/bin/QimWindowOpenBench
work=$(mktemp -d "${TMPDIR:-/tmp}/qimwindowbench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"

/usr/bin/python3 bench/make_store_corpus.py "$work/inbox" --count "$count"
$build/bin/qimtool cache rebuild "$work/inbox"
mkdir -p "$work/home"
ln -s "$work/inbox" "$work/home/big"
# DefHLWSort: sorted (0x10), descending (0x20), in every folder (0x80), by date (1).
for h in "$work/inbox" "$work/home"; do printf '[Qim]\r\nDefHLWSort=177\r\n' > "$h/CONFIG.INI"; done
echo "folder: $count mails, HCACHE.TXT $(wc -c < "$work/inbox/HCACHE.TXT") bytes"

starts=() opens=() growths=() inner=()
"$bench" "$work/inbox" >/dev/null 2>&1  # warm-up
for _ in 1 2 3 4 5; do
  starts+=("$(bench_seconds "'$bench' '$work/inbox'")")
  line=$("$bench" "$work/home" "$work/home/big" 2>/dev/null)
  opens+=("$(awk '{ for (i = 1; i < NF; i++) if ($i == "open_ms") print $(i + 1) / 1000 }' <<< "$line")")
  growths+=("$(awk '{ for (i = 1; i < NF; i++) if ($i == "open_rss_growth_kb") printf "%.1f\n", $(i + 1) / 1024 }' <<< "$line")")
  inner+=("$("$bench" "$work/inbox" 2>/dev/null | awk '{ print $2 / 1000 }')")
done
bench_row "start qim to a shown window, $count-mail inbox" "$(bench_median "${starts[@]}")" "-" "-" "value<=0.3"
echo "  (of which from main() to the first paint: $(bench_median "${inner[@]}") s)"
bench_row "open a $count-mail folder (load, sort, paint), s" "$(bench_median "${opens[@]}")" "-" "-" "value<=0.1"
bench_row "memory the open folder takes, MB" "$(bench_median "${growths[@]}")" "-" "-" "value<=60"
