#!/usr/bin/env bash
# Sjis2Jis must write what nkf writes, and Jis2Sjis read back what nkf reads,
# on a few thousand lines of JIS X 0208 kanji, kana, symbols and ASCII; and
# glibc iconv agrees with both.
set -euo pipefail
qimtool="$QIM_BIN_DIR/qimtool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$(dirname "$0")/make_jis_corpus.py" --lines 4000 --seed 7 > "$work/in.sjis"

"$qimtool" sjis2jis < "$work/in.sjis" > "$work/ours.jis"
nkf -S -j < "$work/in.sjis" > "$work/nkf.jis"
cmp "$work/ours.jis" "$work/nkf.jis"

"$qimtool" jis2sjis < "$work/nkf.jis" > "$work/ours.sjis"
nkf -J -s < "$work/nkf.jis" > "$work/nkf.sjis"
cmp "$work/ours.sjis" "$work/nkf.sjis"
cmp "$work/ours.sjis" "$work/in.sjis"
echo "nkf agrees on $(wc -l < "$work/in.sjis") lines"

# glibc's converters agree too (the corpus holds only what they can carry).
iconv -f CP932 -t ISO-2022-JP < "$work/in.sjis" | cmp - "$work/ours.jis"
iconv -f ISO-2022-JP -t CP932 < "$work/ours.jis" | cmp - "$work/in.sjis"
echo "iconv agrees"
