#!/usr/bin/env bash
# Private SMTP servers with TLS and AUTH on loopback (smtp_tls_server.py).
#   smtp_tls.sh start DIR CERT KEY WRONGCERT WRONGKEY   prints one VARIANT=PORT a line
#   smtp_tls.sh stop DIR                                stop them (by the PID)
set -euo pipefail
cmd=${1:?usage: smtp_tls.sh start|stop DIR ...}
dir=$(cd "${2:?directory}" && pwd)
case "$cmd" in
start)
  mkdir -p "$dir/mail"
  rm -f "$dir/ports"
  /usr/bin/python3 "$(dirname "$0")/smtp_tls_server.py" "$dir/mail" "$dir/ports" "$3" "$4" "$5" "$6" \
    </dev/null >"$dir/smtp.log" 2>&1 &
  echo $! > "$dir/smtp.pid"
  for _ in $(seq 1 100); do
    if [[ -s "$dir/ports" ]]; then cat "$dir/ports"; exit 0; fi
    kill -0 "$(cat "$dir/smtp.pid")" 2>/dev/null || break
    sleep 0.1
  done
  echo "the SMTP servers did not start; see $dir/smtp.log" >&2
  exit 1
  ;;
stop)
  # The same PID file as the plain server's: its stop serves both.
  exec "$(dirname "$0")/smtp.sh" stop "$dir"
  ;;
*) echo "unknown command: $cmd" >&2; exit 2 ;;
esac
