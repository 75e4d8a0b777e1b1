#!/usr/bin/env bash
# Times `qimtool receive` beside fetchmail on the same mailbox: MAILS messages
# of about 4 KB loaded into a private Dovecot (tests/servers/dovecot.sh) on
# loopback, fetched over POP3 and deleted on the server ("DelMails" on). fetchmail
# delivers through an MDA that writes one file per message, as qimtool does.
# qimtool runs twice: as it is (each message flushed to disk with fsync, file
# and folder, before its DELE) and with the flush turned off
# (QIM_BENCH_NO_FSYNC=1, a switch only for this measurement), so the cost of
# the flush shows. Rounds are interleaved; the median time of each counts.
# Usage: [QIMTOOL=path] bench/receive_vs_fetchmail.sh [MAILS] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
count=${1:-2000}
rounds=${2:-3}
build=build/release
if [[ -z "${QIMTOOL:-}" ]]; then
  cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_BENCH=OFF >/dev/null
  cmake --build $build --target qimtool >/dev/null
fi
qimtool=${QIMTOOL:-$build/bin/qimtool}
command -v fetchmail >/dev/null || apt-get install -y fetchmail >/dev/null
work=$(mktemp -d)
chmod 755 "$work"  # the mail server's own users must reach its files
srv=$work/dovecot
mkdir -p "$srv"
trap 'bash tests/servers/dovecot.sh stop "$srv" || true; [[ -n "${KEEP:-}" ]] || rm -rf "$work"' EXIT

eval "$(bash tests/servers/dovecot.sh start "$srv")"  # POP3_PORT, IMAP_PORT
bash tests/servers/dovecot.sh adduser "$srv" taro  # every user's password is "secret"
owner=$(stat -c %u:%g "$srv/mail/taro")

# The messages once, as files; loading copies them into the maildir.
/usr/bin/python3 - "$work/msgs" "$count" <<'PY'
import os, sys
out, n = sys.argv[1], int(sys.argv[2])
os.makedirs(out)
line = ("The quick brown fox jumps over the lazy dog 0123456789 " * 2)[:76] + "\r\n"
for i in range(n):
    head = (f"From: sender{i}@example.jp\r\nTo: taro@example.jp\r\nSubject: message {i}\r\n"
            f"Date: Thu, 10 Dec 2026 12:00:00 +0900\r\nMessage-ID: <{i}@example.jp>\r\n\r\n")
    body = line * ((4096 - len(head)) // len(line))
    with open(os.path.join(out, f"{i:06d}"), "w", newline="") as f:
        f.write(head + body)
PY
# Names never used before: Dovecot remembers the names of deleted messages.
loads=0
load() {
  local new=$srv/mail/taro/new
  loads=$((loads + 1))
  for f in "$work"/msgs/*; do cp "$f" "$new/$loads.$(basename "$f").bench"; done
  chown -R "$owner" "$srv/mail/taro" 2>/dev/null || true
}
echo "mailbox: $count messages, $(du -sk "$work/msgs" | cut -f1) KB"

cat > "$work/mda.sh" <<'SH'
#!/bin/sh
exec cat > "$FM_OUT/$(date +%s%N).$$"
SH
chmod +x "$work/mda.sh"
cat > "$work/fetchmailrc" <<RC
set no syslog
poll 127.0.0.1 protocol pop3 port $POP3_PORT
  user "taro" there with password "secret" is "$(id -un)" here
  options fetchall nokeep no rewrite sslproto ''
  mda "$work/mda.sh"
RC
chmod 600 "$work/fetchmailrc"

seconds() { local t; t=$( { TIMEFORMAT=%R; time bash -c "$1" >/dev/null 2>&1 || true; } 2>&1 | tail -n1 ); echo "$t"; }
files() { find "$1" -maxdepth 1 -type f | wc -l; }

run_qimtool() {  # label-variable, extra environment
  rm -rf "$work/home"; mkdir -p "$work/home"
  printf '[Host]\r\nUserName=taro\r\nMailAddr=taro@example.jp\r\nSMTPAddr=127.0.0.1\r\nPOP3Addr=127.0.0.1\r\nPOP3Port=%s\r\nClientAddr=localhost\r\n[Qim]\r\nDelMails=1\r\n' \
    "$POP3_PORT" > "$work/home/QIM.INI"
  load
  local t; t=$(seconds "$2 QIM_PASSWORD=secret $qimtool receive --home '$work/home' 2>'$work/q.err'")
  local got; got=$(find "$work/home" -maxdepth 1 -type f -name '[0-9]*' | wc -l)
  [[ $got -eq $count ]] || { echo "qimtool stored $got of $count" >&2; tail -5 "$work/q.err" >&2; exit 1; }
  [[ $(files "$srv/mail/taro/new") -eq 0 && $(files "$srv/mail/taro/cur") -eq 0 ]] || { echo "server not empty" >&2; exit 1; }
  printf -v "$1" '%s %s' "${!1}" "$t"
}
run_fetchmail() {
  rm -rf "$work/fm"; mkdir -p "$work/fm" "$work/fmhome"
  load
  local t; t=$(seconds "FETCHMAILHOME='$work/fmhome' FM_OUT='$work/fm' fetchmail -f '$work/fetchmailrc' --nodetach")
  local got; got=$(files "$work/fm")
  [[ $got -eq $count ]] || { echo "fetchmail delivered $got of $count" >&2; exit 1; }
  fm="$fm $t"
}

q="" qn="" fm=""
for _ in $(seq 1 "$rounds"); do
  run_qimtool q ""
  run_qimtool qn "QIM_BENCH_NO_FSYNC=1"
  run_fetchmail
done
# shellcheck disable=SC2086
q=$(bench_median $q) qn=$(bench_median $qn) fm=$(bench_median $fm)
ratio() { awk -v p="$1" -v q="$2" 'BEGIN{ printf "%.2f", p / q }'; }
per() { awk -v t="$1" -v n="$count" 'BEGIN{ printf "%.3f", t * 1000 / n }'; }
printf '%-40s %9s %12s\n' run seconds ms/message
printf '%-40s %9s %12s\n' "qimtool receive (fsync per message)" "$q" "$(per "$q")"
printf '%-40s %9s %12s\n' "qimtool receive (no fsync)" "$qn" "$(per "$qn")"
printf '%-40s %9s %12s\n' "fetchmail + MDA (one file per message)" "$fm" "$(per "$fm")"
echo "qimtool/fetchmail: $(ratio "$q" "$fm")   fsync cost: $(awk -v a="$q" -v b="$qn" -v n="$count" 'BEGIN{ printf "%.3f ms per message (%.0f%% of the run)", (a-b)*1000/n, (a-b)*100/a }')"
bench_row "receive $count messages over POP3" "$q" "fetchmail + MDA" "$fm" "-"
