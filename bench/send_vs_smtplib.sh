#!/usr/bin/env bash
# Times `qimtool send` beside Python's smtplib sending the same message to the
# same private SMTP server on loopback (tests/servers/smtp.sh, aiosmtpd), for a
# 10 MB attachment (13.7 MB of base64) and for a long Japanese text (its lines
# converted to ISO-2022-JP on the way). smtplib sends the bytes qimtool put on
# the wire, and the server must receive the same bytes from both. Medians of 5
# interleaved rounds; the CPU of the data phase is qimtool's CPU time for the
# message less that for a one-line message, per 10 MB sent.
# Usage: bench/send_vs_smtplib.sh [ATTACHMENT_MEGABYTES]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
mb=${1:-10}
build=build/release
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF >/dev/null
cmake --build $build --target qimtool >/dev/null
qimtool=$(pwd)/$build/bin/qimtool
work=$(mktemp -d)
trap 'bash tests/servers/smtp.sh stop "$work/srv" || true; rm -rf "$work"' EXIT
mkdir -p "$work/srv" "$work/home"
eval "$(bash tests/servers/smtp.sh start "$work/srv")"  # SMTP_PORT
printf '[Host]\r\nUserName=taro\r\nMailAddr=taro@example.jp\r\nSMTPAddr=127.0.0.1\r\nSMTPPort=%s\r\nPOP3Addr=127.0.0.1\r\nClientAddr=client\r\n' \
  "$SMTP_PORT" > "$work/home/QIM.INI"
received() { ls "$work/srv/mail"/*.eml | tail -n1; }

head -c $((mb * 1024 * 1024)) /dev/urandom > "$work/att.bin"
printf 'see the attachment\r\n' | "$qimtool" compose --home "$work/home" --to b@example.jp --subject bench \
  --attach "$work/att.bin" > "$work/attachment.eml"
# Japanese text in lines of at most 35 characters (70 bytes), as a compose
# window sends without asking.
python3 tests/peers/make_jis_corpus.py --bytes $((mb * 1024 * 1024)) --seed 5 |
  python3 -c 'import sys, textwrap
for line in sys.stdin.buffer.read().decode("cp932").splitlines():
    for piece in textwrap.wrap(line, 35) or [""]:
        sys.stdout.buffer.write(piece.encode("cp932") + b"\r\n")' |
  "$qimtool" compose --home "$work/home" --to b@example.jp --subject "日本語の本文" > "$work/text.eml"
printf 'one line\r\n' | "$qimtool" compose --home "$work/home" --to b@example.jp --subject small > "$work/small.eml"

for m in attachment text; do
  "$qimtool" send --home "$work/home" "$work/$m.eml"
  cp "$(received)" "$work/$m.wire"
  /usr/bin/python3 bench/smtplib_send.py "$SMTP_PORT" "$work/$m.wire"
  cmp "$(received)" "$work/$m.wire"
  bytes=$(stat -c %s "$work/$m.wire")
  bench_medians 5 "'$qimtool' send --home '$work/home' '$work/$m.eml'" \
    "/usr/bin/python3 bench/smtplib_send.py $SMTP_PORT '$work/$m.wire'"
  q=${MEDIANS[0]} p=${MEDIANS[1]}
  cmp "$(received)" "$work/$m.wire"
  mbs=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1048576 }')
  bench_row "send $mbs MB ($m)" "$q" "Python smtplib" "$p" "ratio<=1.0"
  cpus=() smalls=()
  for _ in 1 2 3 4 5; do
    cpus+=("$(bench_cpu "'$qimtool' send --home '$work/home' '$work/$m.eml'")")
    smalls+=("$(bench_cpu "'$qimtool' send --home '$work/home' '$work/small.eml'")")
  done
  data=$(awk -v c="$(bench_median "${cpus[@]}")" -v s="$(bench_median "${smalls[@]}")" -v b="$bytes" \
    'BEGIN { d = c - s; if (d < 0) d = 0; printf "%.3f", d * 10485760 / b }')
  bench_row "send data phase CPU per 10 MB ($m)" "$data" "-" "-" "value<=0.1"
  rm -f "$work/srv/mail"/*
done
