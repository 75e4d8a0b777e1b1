#!/usr/bin/env bash
# A private Dovecot (POP3 with APOP, IMAP4) on loopback for the protocol tests.
#   dovecot.sh start DIR [CERT KEY] start it; prints POP3_PORT=... and IMAP_PORT=...;
#                                   with a certificate and its key it also offers
#                                   STLS/STARTTLS and prints POP3S_PORT=... and IMAPS_PORT=...
#                                   (TLS from the first byte)
#   dovecot.sh adduser DIR USER     make USER's mailbox (every user's password is "secret")
#   dovecot.sh deliver DIR USER FILE  put a message into USER's inbox
#   dovecot.sh stop DIR             stop the Dovecot started in DIR (by its PID)
# Everything lives in DIR; nothing outside it is read or written.
set -euo pipefail

free_port() {
  /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'
}

# Dovecot does not serve mail as root: when the tests run as root the mail
# belongs to nobody.
mail_ids() {
  if [[ $(id -u) -eq 0 ]]; then echo "$(id -u nobody) $(id -g nobody)"; else echo "$(id -u) $(id -g)"; fi
}

cmd=${1:?usage: dovecot.sh start|adduser|deliver|stop DIR ...}
dir=$(cd "${2:?directory}" && pwd)

case "$cmd" in
start)
  read -r uid gid < <(mail_ids)
  pop3=$(free_port); imap=$(free_port)
  cert=${3:-}; key=${4:-}
  ssl="ssl = no"; pop3s_listener=""; pop3s=""; imaps=0; imaps_ssl=""
  if [[ -n "$cert" ]]; then
    pop3s=$(free_port); imaps=$(free_port); imaps_ssl="ssl = yes"
    ssl="ssl = yes
ssl_cert = <$cert
ssl_key = <$key"
    pop3s_listener="inet_listener pop3s {
    address = 127.0.0.1
    port = $pop3s
    ssl = yes
  }"
  fi
  mkdir -p "$dir/run" "$dir/state" "$dir/mail" "$dir/home"
  chown "$uid:$gid" "$dir/mail" "$dir/home" 2>/dev/null || true
  if [[ $(id -u) -eq 0 ]]; then chmod 755 "$dir"; fi
  cat > "$dir/dovecot.conf" <<CONF
base_dir = $dir/run
state_dir = $dir/state
log_path = $dir/dovecot.log
protocols = pop3 imap
listen = 127.0.0.1
$ssl
disable_plaintext_auth = no
auth_mechanisms = plain login apop
# Tests refuse logins on purpose, one after the other from 127.0.0.1: no
# waiting after a refusal, and no growing penalty for the next login (the
# penalty's listener is closed below).
auth_failure_delay = 0
mail_location = maildir:$dir/mail/%u
first_valid_uid = $uid
last_valid_uid = 0
first_valid_gid = 0
default_internal_user = dovecot
default_login_user = dovenull
pop3_uidl_format = %08Xu%08Xv
# One password for every user, known in plain text so that APOP works. The
# tests make a user of their own for each test, and a user file would be
# reread only when its time stamp changes.
passdb {
  driver = static
  args = password=secret
}
userdb {
  driver = static
  args = uid=$uid gid=$gid home=$dir/home/%u
}
service pop3-login {
  inet_listener pop3 {
    address = 127.0.0.1
    port = $pop3
  }
  $pop3s_listener
}
service imap-login {
  inet_listener imap {
    address = 127.0.0.1
    port = $imap
  }
  inet_listener imaps {
    address = 127.0.0.1
    port = $imaps
    $imaps_ssl
  }
}
service anvil {
  chroot =
  unix_listener anvil-auth-penalty {
    mode = 0
  }
}
CONF
  echo "$pop3" > "$dir/pop3.port"; echo "$imap" > "$dir/imap.port"
  # Its own stdio goes nowhere, or a caller reading our output would wait for it.
  /usr/sbin/dovecot -c "$dir/dovecot.conf" </dev/null >/dev/null 2>&1
  # Wait until both ports answer.
  for _ in $(seq 1 100); do
    if /usr/bin/python3 - "$pop3" "$imap" <<'PY' 2>/dev/null
import socket, sys
for p in sys.argv[1:]:
    socket.create_connection(("127.0.0.1", int(p)), timeout=0.2).close()
PY
    then
      echo "POP3_PORT=$pop3"; echo "IMAP_PORT=$imap"
      [[ -n "$pop3s" ]] && echo "POP3S_PORT=$pop3s" && echo "IMAPS_PORT=$imaps"
      exit 0
    fi
    sleep 0.1
  done
  echo "dovecot did not start; see $dir/dovecot.log" >&2
  exit 1
  ;;
adduser)
  user=${3:?user}
  read -r uid gid < <(mail_ids)
  mkdir -p "$dir/mail/$user"/{cur,new,tmp}
  chown -R "$uid:$gid" "$dir/mail/$user" 2>/dev/null || true
  ;;
deliver)
  user=${3:?user}; file=${4:?message file}
  read -r uid gid < <(mail_ids)
  # Names sort in delivery order (the server numbers the messages by them).
  name="$(date +%s.%N).$$.qimtest"
  cp "$file" "$dir/mail/$user/tmp/$name"
  chown "$uid:$gid" "$dir/mail/$user/tmp/$name" 2>/dev/null || true
  mv "$dir/mail/$user/tmp/$name" "$dir/mail/$user/new/$name"
  ;;
stop)
  pidfile="$dir/run/master.pid"
  [[ -f "$pidfile" ]] || exit 0
  pid=$(cat "$pidfile")
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || exit 0; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
  ;;
*)
  echo "unknown command: $cmd" >&2; exit 2 ;;
esac
