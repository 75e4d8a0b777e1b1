#!/usr/bin/env bash
# Times the header fetch of a server folder: `qimtool imap headers` beside
# Python's imaplib asking the same fields of the same messages, MAILS messages
# (Japanese subjects, ISO-2022-JP encoded words) in the INBOX of a private
# Dovecot (tests/servers/dovecot.sh) on loopback. imaplib runs twice: one FETCH
# per message as Qim sends them, and one FETCH of the whole range. The bytes
# each client moves are counted by a relay in a separate run (the timed runs
# go straight to the server). Last, the header list is shown again from the
# filled cache, as the window does when the folder is selected a second time.
# Rounds are interleaved; the median of each counts.
# Usage: [QIMTOOL=path] bench/imap_headers_vs_imaplib.sh [MAILS] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
count=${1:-10000}
rounds=${2:-3}
build=build/release
if [[ -z "${QIMTOOL:-}" ]]; then
  cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQIM_BUILD_TESTS=OFF -DQIM_BUILD_BENCH=OFF >/dev/null
  cmake --build $build --target qimtool >/dev/null
fi
qimtool=${QIMTOOL:-$build/bin/qimtool}
work=$(mktemp -d)
chmod 755 "$work"  # the mail server's own users must reach its files
srv=$work/dovecot
mkdir -p "$srv"
relay_pid=""
trap '[[ -n "$relay_pid" ]] && kill "$relay_pid" 2>/dev/null; bash tests/servers/dovecot.sh stop "$srv" || true; [[ -n "${KEEP:-}" ]] || rm -rf "$work"' EXIT

eval "$(bash tests/servers/dovecot.sh start "$srv")"  # POP3_PORT, IMAP_PORT
bash tests/servers/dovecot.sh adduser "$srv" taro  # every user's password is "secret"
owner=$(stat -c %u:%g "$srv/mail/taro")

/usr/bin/python3 - "$srv/mail/taro/cur" "$count" <<'PY'
import base64, os, sys
out, n = sys.argv[1], int(sys.argv[2])
line = ("本日の会議資料をお送りします。ご確認ください。" * 2)
body = (line.encode("iso-2022-jp") + b"\r\n") * 20
for i in range(n):
    subject = f"会議のお知らせ 第{i}回".encode("iso-2022-jp")
    word = "=?ISO-2022-JP?B?" + base64.b64encode(subject).decode() + "?="
    head = (f"From: sender{i}@example.jp\r\nTo: taro@example.jp\r\nSubject: {word}\r\n"
            f"Date: Thu, 10 Dec 2026 12:00:00 +0900\r\nMessage-ID: <{i}@example.jp>\r\n"
            "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n").encode()
    # Seen already: the fetch must leave the flags as they are.
    with open(os.path.join(out, f"{1000000 + i}.bench:2,S"), "wb") as f:
        f.write(head + body)
PY
chown -R "$owner" "$srv/mail/taro" 2>/dev/null || true
echo "folder: $count messages, $(du -sk "$srv/mail/taro/cur" | cut -f1) KB"

mkdir -p "$work/home"
make_home() {  # port
  printf '[Host]\r\nUserName=taro\r\nMailAddr=taro@example.jp\r\nSMTPAddr=127.0.0.1\r\nPOP3Addr=127.0.0.1\r\nPOP3Port=%s\r\nClientAddr=localhost\r\n' \
    "$1" > "$work/home/QIM.INI"
}

cat > "$work/imaplib_headers.py" <<'PY'
import imaplib, sys, time
port, mode = int(sys.argv[1]), sys.argv[2]
start = time.monotonic()
m = imaplib.IMAP4("127.0.0.1", port)
m.login("taro", "secret")
typ, data = m.select("INBOX")
exists = int(data[0])
items = "(RFC822.SIZE FLAGS BODY.PEEK[HEADER.FIELDS (TO DATE FROM SUBJECT)])"
rows = 0
if mode == "each":
    for n in range(1, exists + 1):
        typ, data = m.fetch(str(n), items)
        rows += sum(1 for d in data if isinstance(d, tuple))
else:
    typ, data = m.fetch(f"1:{exists}", items)
    rows = sum(1 for d in data if isinstance(d, tuple))
m.logout()
print(rows, f"{time.monotonic() - start:.3f}")
PY

# A relay that counts the bytes both ways: "listen_port" on stdout, totals in FILE at the end.
cat > "$work/relay.py" <<'PY'
import socket, sys, threading
target, totals = int(sys.argv[1]), sys.argv[2]
srv = socket.socket(); srv.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
srv.bind(("127.0.0.1", 0)); srv.listen(8)
print(srv.getsockname()[1], flush=True)
lock = threading.Lock()
def pump(a, b, key, counts):
    while True:
        data = a.recv(65536)
        if not data:
            break
        counts[key] += len(data)
        b.sendall(data)
    try: b.shutdown(socket.SHUT_WR)
    except OSError: pass
while True:
    c, _ = srv.accept()
    s = socket.create_connection(("127.0.0.1", target))
    counts = {"up": 0, "down": 0}
    t1 = threading.Thread(target=pump, args=(c, s, "up", counts)); t1.start()
    t2 = threading.Thread(target=pump, args=(s, c, "down", counts)); t2.start()
    t1.join(); t2.join()
    with lock, open(totals, "a") as f:
        f.write(f"{counts['up']} {counts['down']}\n")
PY


run_qimtool() {
  make_home "$IMAP_PORT"
  local t; t=$(bench_seconds "QIM_PASSWORD=secret $qimtool imap headers _QimP --home '$work/home' --verbose >'$work/q.out' 2>'$work/q.err'")
  local got; got=$(wc -l < "$work/q.out")
  [[ $got -eq $count ]] || { echo "qimtool listed $got of $count" >&2; tail -5 "$work/q.err" >&2; exit 1; }
  q+="$t "
  local shown; shown=$(sed -n 's/.*キャッシュから \([0-9.]*\) ms.*/\1/p' "$work/q.err" | tail -n1)
  [[ -n "$shown" ]] && cache_ms+="$shown "
  return 0
}
run_imaplib() {  # variable mode
  local out; out=$(/usr/bin/python3 "$work/imaplib_headers.py" "$IMAP_PORT" "$2")
  [[ ${out%% *} -eq $count ]] || { echo "imaplib ($2) fetched ${out%% *} of $count" >&2; exit 1; }
  printf -v "$1" '%s' "${!1}${out##* } "
}

q="" each="" range="" cache_ms=""
for _ in $(seq 1 "$rounds"); do
  run_qimtool
  run_imaplib each each
  run_imaplib range range
done

# The bytes moved, once per client, through the relay.
: > "$work/totals"
/usr/bin/python3 "$work/relay.py" "$IMAP_PORT" "$work/totals" > "$work/relay.port" &
relay_pid=$!
for _ in $(seq 1 50); do [[ -s "$work/relay.port" ]] && break; sleep 0.1; done
relay=$(cat "$work/relay.port")
make_home "$relay"
QIM_PASSWORD=secret "$qimtool" imap headers _QimP --home "$work/home" >/dev/null 2>&1
/usr/bin/python3 "$work/imaplib_headers.py" "$relay" each >/dev/null
/usr/bin/python3 "$work/imaplib_headers.py" "$relay" range >/dev/null
sleep 0.5
bytes() { sed -n "${1}p" "$work/totals" | awk '{ printf "%d / %d", $1, $2 }'; }

# Flags stay as they were: every message is still seen, none was marked otherwise.
unseen=$(/usr/bin/python3 - "$IMAP_PORT" <<'PY'
import imaplib, sys
m = imaplib.IMAP4("127.0.0.1", int(sys.argv[1])); m.login("taro", "secret"); m.select("INBOX", readonly=True)
print(len(m.search(None, "UNSEEN")[1][0].split())); m.logout()
PY
)
[[ $unseen -eq 0 ]] || { echo "the fetch changed the flags of $unseen messages" >&2; exit 1; }

# shellcheck disable=SC2086
q=$(bench_median $q); each=$(bench_median $each); range=$(bench_median $range)
# shellcheck disable=SC2086
[[ -n "$cache_ms" ]] && cache_ms=$(bench_median $cache_ms)
ratio() { bench_ratio "$1" "$2"; }
per() { awk -v t="$1" -v n="$count" 'BEGIN{ printf "%.3f", t * 1000 / n }'; }
printf '%-46s %9s %12s %24s\n' run seconds ms/message "bytes sent / received"
printf '%-46s %9s %12s %24s\n' "qimtool imap headers (one FETCH a message)" "$q" "$(per "$q")" "$(bytes 1)"
printf '%-46s %9s %12s %24s\n' "imaplib, one FETCH a message" "$each" "$(per "$each")" "$(bytes 2)"
printf '%-46s %9s %12s %24s\n' "imaplib, one FETCH of 1:$count" "$range" "$(per "$range")" "$(bytes 3)"
echo "qimtool/imaplib (same commands): $(ratio "$q" "$each")   qimtool/imaplib (one range FETCH): $(ratio "$q" "$range")"
echo "header list shown from the filled cache: ${cache_ms:-?} ms for $count rows"
bench_row "IMAP header fetch, $count messages" "$q" "imaplib (same commands)" "$each" "-"
bench_row "IMAP header fetch, $count messages" "$q" "imaplib (one range FETCH)" "$range" "-"
bench_row "header list from the filled cache, $count rows (ms)" "${cache_ms:-?}" "-" "-" "-"
