#!/usr/bin/env bash
# Throughput of forwarding: 1,000 small messages in one Dovecot mailbox are
# forwarded to one aiosmtpd server, once by `velnora-cli run --once` (one SMTP
# session per message, as the program always sends) and once by a baseline
# loop over Python's poplib and smtplib (also one SMTP session per message,
# keeping the mail on the server), in the same run. Prints messages per
# second of each and their ratio.
#
#   bench/throughput.sh [path/to/velnora-cli] [message count]
#
# Needs dovecot-pop3d, python3-aiosmtpd and openssl (scripts/setup.sh).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cli="${1:-$here/../build/src/velnora-cli}"
count="${2:-1000}"
[ -x "$cli" ] || { echo "no velnora-cli at $cli (build it, or pass its path)" >&2; exit 2; }
cli="$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")"
python=/usr/bin/python3; [ -x "$python" ] || python=python3
. "$here/../scripts/server_programs.sh"
dovecot="$(server_program dovecot)" || exit 2

work="$(mktemp -d /tmp/velnora-throughput-XXXXXX)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"

free_port() {
  "$python" -c 'import socket,random
for _ in range(500):
    p = random.randint(20000, 32000)
    s = socket.socket()
    try:
        s.bind(("127.0.0.1", p)); print(p); break
    except OSError: pass
    finally: s.close()'
}
wait_port() {
  for _ in $(seq 1 150); do
    "$python" -c "import socket; socket.create_connection(('127.0.0.1', $1), 0.2)" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "nothing listens on port $1" >&2; return 1
}

pop_port="$(free_port)"
smtp_port="$(free_port)"
[ "$pop_port" != "$smtp_port" ] || smtp_port="$(free_port)"

# Dovecot, unprivileged users of its own when run as root, else this user.
if [ "$(id -u)" -eq 0 ]; then login_user=dovenull; mail_user=dovecot; mail_group=dovecot
else login_user="$(id -un)"; mail_user="$login_user"; mail_group="$(id -gn)"; fi
maildir="$work/home/bench/Maildir"
mkdir -p "$work/run" "$work/state" "$maildir/new" "$maildir/cur" "$maildir/tmp"
echo "bench:{PLAIN}bench-pw::::::" > "$work/users"
"$python" - "$maildir/new" "$count" <<'PY'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
for n in range(1, count + 1):
    text = ("From: Sender <sender@example.org>\r\nTo: bench@example.org\r\n"
            "Subject: throughput %d\r\nDate: Tue, 08 Dec 2026 09:00:00 +0900\r\n"
            "Message-ID: <throughput-%d@example.org>\r\n\r\nSmall message number %d.\r\n") % (n, n, n)
    with open(os.path.join(folder, "%d.M%d.bench" % (1000000000 + n, n)), "w", newline="") as f:
        f.write(text)
PY
cat > "$work/dovecot.conf" <<CONF
base_dir = $work/run
state_dir = $work/state
log_path = $work/dovecot.log
protocols = pop3
listen = 127.0.0.1
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain
default_login_user = $login_user
default_internal_user = $mail_user
default_internal_group = $mail_group
first_valid_uid = 1
passdb {
  driver = passwd-file
  args = scheme=PLAIN $work/users
}
userdb {
  driver = static
  args = uid=$mail_user gid=$mail_group home=$work/home/%u
}
mail_location = maildir:~/Maildir
pop3_uidl_format = %08Xu%08Xv
service pop3-login {
  chroot =
  inet_listener pop3 {
    port = $pop_port
  }
}
service anvil {
  chroot =
}
service stats {
  chroot =
}
CONF
if [ "$(id -u)" -eq 0 ]; then chown -R "$mail_user:$mail_group" "$work/home"; fi
"$dovecot" -F -c "$work/dovecot.conf" >"$work/dovecot.out" 2>&1 & pids+=($!)
mkdir -p "$work/sink"
"$python" "$here/throughput_sink.py" "$work/sink" "$smtp_port" >"$work/sink.out" 2>&1 & pids+=($!)
wait_port "$pop_port"
wait_port "$smtp_port"

calc() { "$python" -c "print($1)"; }
accepted() { [ -f "$work/sink/accepted" ] && wc -l < "$work/sink/accepted" || echo 0; }

# Velnora: one account, no pauses, forwarding log and session log as usual.
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$work/settings"
"$cli" --dir "$work/settings" set account 0 enabled=1 accountName=bench popServer=127.0.0.1 \
  popPort="$pop_port" popUser=bench popPassword=bench-pw smtpServer=127.0.0.1 smtpPort="$smtp_port" \
  myAddress=bench@velnora.test forwardTo=dest@velnora.test noRecvDelay=1 noSendDelay=1 >/dev/null

start=$(date +%s.%N)
"$cli" --dir "$work/settings" run --once >"$work/velnora.out" 2>"$work/velnora.err"
end=$(date +%s.%N)
velnora_count=$(accepted)
# The rate between the first and the last arrival, without start-up and shutdown.
velnora_steady=$("$python" -c "
lines = [float(l.split()[0]) for l in open('$work/sink/accepted')]
print(round((len(lines) - 1) / (lines[-1] - lines[0]), 1) if len(lines) > 1 else 0)")
velnora_seconds=$(calc "$end - $start")

# Baseline: the simplest forwarder that Python's standard library gives,
# written here for the comparison: POP3 (poplib) in, one SMTP session per
# message (smtplib) out, the mail kept on the server.
before=$(accepted)
start=$(date +%s.%N)
"$python" - "$pop_port" "$smtp_port" >"$work/baseline.out" 2>&1 <<'PY' || true
import poplib, smtplib, sys
pop = poplib.POP3("127.0.0.1", int(sys.argv[1]))
pop.user("bench"); pop.pass_("bench-pw")
count, _ = pop.stat()
for n in range(1, count + 1):
    lines = pop.retr(n)[1]
    with smtplib.SMTP("127.0.0.1", int(sys.argv[2])) as smtp:
        smtp.sendmail("bench@velnora.test", ["dest@velnora.test"], b"\r\n".join(lines) + b"\r\n")
pop.quit()
PY
end=$(date +%s.%N)
baseline_count=$(( $(accepted) - before ))
baseline_seconds=$(calc "$end - $start")
[ "$baseline_count" -gt 0 ] || { echo "the baseline forwarded nothing:" >&2; tail -5 "$work/baseline.out" >&2; exit 1; }

rate() { calc "round($1 / $2, 1)"; }
velnora_rate=$(rate "$velnora_count" "$velnora_seconds")
baseline_rate=$(rate "$baseline_count" "$baseline_seconds")
printf 'messages in the mailbox: %d\n' "$count"
printf 'velnora-cli run --once: %d forwarded in %.2f s = %s messages/s\n' "$velnora_count" "$velnora_seconds" "$velnora_rate"
printf '  (between its first and last delivery: %s messages/s)\n' "$velnora_steady"
printf 'poplib + smtplib:       %d forwarded in %.2f s = %s messages/s\n' "$baseline_count" "$baseline_seconds" "$baseline_rate"
printf 'ratio velnora/baseline: %s\n' "$(calc "round($velnora_rate / $baseline_rate, 2)")"
[ "$velnora_count" -eq "$count" ] || { echo "velnora forwarded $velnora_count of $count" >&2; tail -5 "$work/velnora.err" >&2; exit 1; }
