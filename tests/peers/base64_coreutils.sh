#!/usr/bin/env bash
# qimtool base64 must agree with coreutils base64 on random binary files of
# awkward sizes: our lines are 72 characters ending CR LF, so our encoding is
# compared with `base64 -w 72` once the CRs are gone, and both decoders must
# read the other's text back to the same bytes.
set -euo pipefail
qimtool="$QIM_BIN_DIR/qimtool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sizes="0 1 2 3 53 54 55 539 540 541 1000 65535 100000 1048577"
for size in $sizes; do
  head -c "$size" /dev/urandom > "$work/raw"
  "$qimtool" base64 encode "$work/raw" "$work/ours.b64"
  tr -d '\r' < "$work/ours.b64" | cmp - <(base64 -w 72 "$work/raw")
  # Every line ends CR LF; no bare LF.
  if [[ $(tr -cd '\n' < "$work/ours.b64" | wc -c) != $(grep -c $'\r$' "$work/ours.b64" || true) ]]; then
    echo "size $size: a line without CR" >&2; exit 1
  fi
  tr -d '\r' < "$work/ours.b64" | base64 -d | cmp - "$work/raw"
  # Their text, with their default 76-character lines, unwrapped or as CR LF lines.
  base64 "$work/raw" | "$qimtool" base64 decode | cmp - "$work/raw"
  base64 -w 0 "$work/raw" | "$qimtool" base64 decode | cmp - "$work/raw"
  base64 "$work/raw" | sed 's/$/\r/' | "$qimtool" base64 decode | cmp - "$work/raw"
done
echo "coreutils base64 agrees on sizes: $sizes"
