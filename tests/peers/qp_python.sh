#!/usr/bin/env bash
# qimtool qp must agree with Python's quopri (RFC 2045) both ways on text with
# Japanese bytes, escapes, trailing white space and long lines. Python keeps the
# line ends it finds where we always write CR LF, so the text is made both ways.
set -euo pipefail
qimtool="$QIM_BIN_DIR/qimtool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import random, sys
random.seed(12)
pieces = [b"abc", b" ", b"\t", b"=", b"\x82\xa0\x82\xa2", b"\xff", b"x" * 90, b"end ", b"."]
lines = []
for _ in range(3000):
    lines.append(b"".join(random.choice(pieces) for _ in range(random.randint(0, 12))))
open(sys.argv[1] + "/text.lf", "wb").write(b"\n".join(lines) + b"\n")
open(sys.argv[1] + "/text.crlf", "wb").write(b"\r\n".join(lines) + b"\r\n")
PY

# Theirs to ours: Python encodes LF lines; we decode to CR LF lines.
python3 -c 'import quopri,sys; sys.stdout.buffer.write(quopri.encodestring(open(sys.argv[1],"rb").read()))' \
  "$work/text.lf" > "$work/python.qp"
"$qimtool" qp decode "$work/python.qp" | cmp - "$work/text.crlf"

# Ours to theirs: we encode CR LF lines into CR LF lines, which Python decodes.
"$qimtool" qp encode "$work/text.crlf" "$work/ours.qp"
python3 -c 'import quopri,sys; sys.stdout.buffer.write(quopri.decodestring(open(sys.argv[1],"rb").read()))' \
  "$work/ours.qp" | cmp - "$work/text.crlf"
awk '{ if (length($0) > 77) { print "line longer than 76: " NR; exit 1 } }' "$work/ours.qp"
echo "Python quopri agrees on $(wc -l < "$work/text.lf") lines"
