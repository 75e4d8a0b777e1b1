#!/usr/bin/env bash
# Modified UTF-7 of mailbox names: what qimtool writes is what Dovecot's own
# converter writes, and each reads back the other's output, on Japanese
# characters, ASCII and "&".
set -euo pipefail
qimtool="$QIM_BIN_DIR/qimtool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$(dirname "$0")/make_mailbox_names.py" --count 600 --seed 5 > "$work/names.utf8"
mapfile -t names < "$work/names.utf8"

# UTF-8 -> modified UTF-7, both ways.
"$qimtool" mutf7 encode --utf8 < "$work/names.utf8" > "$work/ours.mutf7"
doveadm mailbox mutf7 -- "${names[@]}" > "$work/dovecot.mutf7"
diff "$work/ours.mutf7" "$work/dovecot.mutf7"

# Each decodes the other's encoding back to the names.
"$qimtool" mutf7 decode --utf8 < "$work/dovecot.mutf7" | diff - "$work/names.utf8"
mapfile -t encoded < "$work/ours.mutf7"
doveadm mailbox mutf7 -7 -- "${encoded[@]}" | diff - "$work/names.utf8"

# Shift_JIS in, as Qim holds folder names.
iconv -f UTF-8 -t CP932 < "$work/names.utf8" | "$qimtool" mutf7 encode | diff - "$work/dovecot.mutf7"
echo "Dovecot agrees on ${#names[@]} names"
