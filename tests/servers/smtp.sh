#!/usr/bin/env bash
# A private SMTP server on loopback that stores each message it accepts.
#   smtp.sh start DIR   start it; prints SMTP_PORT=...; messages land in DIR/mail
#   smtp.sh stop DIR    stop the server started in DIR (by its PID)
set -euo pipefail
cmd=${1:?usage: smtp.sh start|stop DIR}
dir=$(cd "${2:?directory}" && pwd)
case "$cmd" in
start)
  mkdir -p "$dir/mail"
  rm -f "$dir/smtp.port"
  /usr/bin/python3 "$(dirname "$0")/smtp_server.py" "$dir/mail" "$dir/smtp.port" </dev/null >"$dir/smtp.log" 2>&1 &
  echo $! > "$dir/smtp.pid"
  for _ in $(seq 1 100); do
    if [[ -s "$dir/smtp.port" ]]; then echo "SMTP_PORT=$(cat "$dir/smtp.port")"; exit 0; fi
    kill -0 "$(cat "$dir/smtp.pid")" 2>/dev/null || break
    sleep 0.1
  done
  echo "the SMTP server did not start; see $dir/smtp.log" >&2
  exit 1
  ;;
stop)
  [[ -f "$dir/smtp.pid" ]] || exit 0
  pid=$(cat "$dir/smtp.pid")
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || exit 0; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
  ;;
*) echo "unknown command: $cmd" >&2; exit 2 ;;
esac
