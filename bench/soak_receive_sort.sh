#!/usr/bin/env bash
# The soak: MAILS messages (default 50 000) received from a private Dovecot
# over POP3 and sorted by a rule set of ten rules, in ROUNDS rounds inside one
# process (bench/soak/SoakReceiveSort.cpp), with the process's resident memory
# after each round. Passes when every message is in exactly one folder
# afterwards, the server is empty, and the memory after the last round is
# within 10 % of the memory after the first.
# Usage: bench/soak_receive_sort.sh [MAILS] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
mails=${1:-50000}
rounds=${2:-10}
build=build/release
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF -DQIM_BUILD_BENCH=ON "${launcher[@]}" >/dev/null
cmake --build $build --target soak_receive_sort >/dev/null
work=$(mktemp -d)
chmod 755 "$work"  # the mail server's own users must reach its files
srv=$work/dovecot
mkdir -p "$srv"
trap 'bash tests/servers/dovecot.sh stop "$srv" || true; [[ -n "${KEEP:-}" ]] || rm -rf "$work"' EXIT
eval "$(bash tests/servers/dovecot.sh start "$srv")"  # POP3_PORT, IMAP_PORT
bash tests/servers/dovecot.sh adduser "$srv" taro
maildir=$srv/mail/taro
mkdir -p "$maildir/new" "$maildir/cur" "$maildir/tmp"
chown -R "$(stat -c %u:%g "$maildir")" "$maildir" 2>/dev/null || true

# The messages: a tenth for each rule, some subjects in ISO-2022-JP.
/usr/bin/python3 - "$work/source" "$mails" <<'PY'
import base64, os, sys
out, n = sys.argv[1], int(sys.argv[2])
os.makedirs(out)
jp = "=?ISO-2022-JP?B?" + base64.b64encode("週報のお知らせ".encode("iso-2022-jp")).decode() + "?="
line = ("The quick brown fox jumps over the lazy dog 0123456789 " * 2)[:76] + "\r\n"
for i in range(n):
    kind = i % 10
    sender = f"user{i % 977}@shop.example.jp" if kind == 8 else f"user{i % 977}@example.jp"
    subject = f"[ml-{kind}] {jp} {i}" if kind < 8 else f"message {i}"
    mailer = "BulkMailer 2.1" if kind == 9 else "Qim soak"
    head = (f"From: {sender}\r\nTo: taro@example.jp\r\nSubject: {subject}\r\n"
            f"Date: Thu, 10 Dec 2026 12:00:00 +0900\r\nMessage-ID: <soak{i}@example.jp>\r\n"
            f"X-Mailer: {mailer}\r\n\r\n")
    with open(os.path.join(out, f"{i:06d}.soak"), "w", newline="") as f:
        f.write(head + line * 20)
PY

home=$work/home
mkdir -p "$home"
{
  printf '[Host]\r\nUserName=taro\r\nMailAddr=taro@example.jp\r\nSMTPAddr=127.0.0.1\r\nPOP3Addr=127.0.0.1\r\nPOP3Port=%s\r\nClientAddr=localhost\r\n' "$POP3_PORT"
  printf '[Qim]\r\nDelMails=1\r\n[QimMoveFiles]\r\nNum=10\r\n'
  for k in 0 1 2 3 4 5 6 7; do
    printf 'HeaderType%d=1\r\nPosType%d=1\r\nIn%d="[ml-%d]"\r\nDest%d="ml%d"\r\n' "$k" "$k" "$k" "$k" "$k" "$k"
    mkdir -p "$home/ml$k"
  done
  printf 'HeaderType8=0\r\nPosType8=1\r\nIn8="@shop.example.jp"\r\nDest8="shop"\r\n'
  printf 'HeaderType9=3\r\nPosType9=1\r\nIn9="BulkMailer"\r\nDest9="bulk"\r\nHFName9=X-Mailer\r\n'
} > "$home/QIM.INI"
mkdir -p "$home/shop" "$home/bulk"

echo "soak: $mails messages in $rounds rounds"
start=$(date +%s)
$build/bin/soak_receive_sort "$home" "$maildir" "$work/source" "$rounds" | tee "$work/rounds.tsv"
seconds=$(( $(date +%s) - start ))

# Every message exactly once, and nothing left on the server.
/usr/bin/python3 - "$home" "$mails" "$work/rounds.tsv" "$seconds" <<'PY'
import os, re, sys
home, n, rounds, seconds = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
ids = []
for folder, _, files in os.walk(home):
    for f in files:
        if f.isdigit():
            with open(os.path.join(folder, f), "rb") as m:
                found = re.search(rb"Message-ID: <(soak\d+)@", m.read(2048))
                ids.append(found.group(1) if found else None)
unique = set(ids)
rows = [l.split("\t") for l in open(rounds).read().split("\n")[1:] if l]
first, last = int(rows[1][4]), int(rows[-1][4])
growth = (last - first) * 100.0 / first
print(f"mails stored {len(ids)}, distinct {len(unique)}, expected {n}; inbox left {rows[-1][3]}")
print(f"memory after round 1: {first} KB, after round {rows[-1][0]}: {last} KB ({growth:+.1f} %); {seconds} s in all")
open(rounds + ".growth", "w").write(f"{growth:.1f}")
ok = len(ids) == n and len(unique) == n and None not in unique and growth <= 10.0
sys.exit(0 if ok else 1)
PY
left=$(find "$maildir/new" "$maildir/cur" -type f | wc -l)
[[ $left -eq 0 ]] || { echo "the server still holds $left messages" >&2; exit 1; }
bench_row "soak: memory growth % over $mails received+sorted" "$(cat "$work/rounds.tsv.growth")" "-" "-" "value<=10"
echo "soak passed"
