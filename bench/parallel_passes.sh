#!/usr/bin/env bash
# Accounts checked side by side over a slow network: Dovecot and aiosmtpd
# behind a latency-adding proxy of this folder (bench/latency_proxy.py,
# loopback only), ACCOUNTS accounts (one Dovecot user each), `velnora-cli
# run --once` (the start pass: the connection check of each account, then
# its forwarding) timed with parallelAccounts 1, 8 and 32 side by side:
#   A: no mail on the server,
#   B: 5 new messages on each of the first 40 accounts.
# One account at a time is timed on SCALED accounts and scaled up to
# ACCOUNTS (it takes minutes per hundred accounts at 100 ms).
#
#   bench/parallel_passes.sh [path/to/velnora-cli] [ACCOUNTS=400] [RTT_MS=100] [SCALED=40]
#
# Needs dovecot-pop3d, python3-aiosmtpd (scripts/setup.sh).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cli="${1:-$here/../build/src/velnora-cli}"
accounts="${2:-400}"
rtt="${3:-100}"
scaled="${4:-40}"
with_mail=40
[ "$with_mail" -le "$scaled" ] || with_mail="$scaled"
[ -x "$cli" ] || { echo "no velnora-cli at $cli (build it, or pass its path)" >&2; exit 2; }
cli="$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")"
python=/usr/bin/python3; [ -x "$python" ] || python=python3
. "$here/../scripts/server_programs.sh"
dovecot="$(server_program dovecot)" || exit 2

work="$(mktemp -d /tmp/velnora-parallel-XXXXXX)"
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

pop_port="$(free_port)"; smtp_port="$(free_port)"; pop_proxy="$(free_port)"; smtp_proxy="$(free_port)"

if [ "$(id -u)" -eq 0 ]; then login_user=dovenull; mail_user=dovecot; mail_group=dovecot
else login_user="$(id -un)"; mail_user="$login_user"; mail_group="$(id -gn)"; fi
mkdir -p "$work/run" "$work/state"
: > "$work/users"
for ((i = 0; i < accounts; i++)); do
  echo "u$i:{PLAIN}pw-$i::::::" >> "$work/users"
  mkdir -p "$work/home/u$i/Maildir/new" "$work/home/u$i/Maildir/cur" "$work/home/u$i/Maildir/tmp"
done
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

sed -i 's/^protocols = pop3$/protocols = pop3\ndefault_process_limit = 200\nmail_max_userip_connections = 50/' "$work/dovecot.conf"
if [ "$(id -u)" -eq 0 ]; then chown -R "$mail_user:$mail_group" "$work/home"; fi
"$dovecot" -F -c "$work/dovecot.conf" >"$work/dovecot.out" 2>&1 & pids+=($!)
mkdir -p "$work/sink"
"$python" "$here/throughput_sink.py" "$work/sink" "$smtp_port" >"$work/sink.out" 2>&1 & pids+=($!)
"$python" "$here/latency_proxy.py" "$rtt" "$pop_proxy:$pop_port" "$smtp_proxy:$smtp_port" >"$work/proxy.out" 2>&1 & pids+=($!)
wait_port "$pop_port"; wait_port "$smtp_port"; wait_port "$pop_proxy"; wait_port "$smtp_proxy"

# Each run has a settings folder of its own ($folder/velnora); the accounts
# come through import-csv, their pauses off through the template.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR"
vcli() {  # folder, arguments
  local folder="$1"; shift
  (cd "$folder" && XDG_CONFIG_HOME="$folder" "$cli" "$@")
}
make_settings() {  # folder, account count
  mkdir -p "$1"
  vcli "$1" set template noRecvDelay=1 noSendDelay=1 >/dev/null
  vcli "$1" export-csv "$work/empty.csv" >/dev/null
  "$python" - "$work/empty.csv" "$work/accounts.csv" "$2" "$pop_proxy" "$smtp_proxy" <<'PY'
import sys
source, target, count, pop, smtp = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4], sys.argv[5]
header = open(source, "rb").read().split(b"\r\n")[0]
width = header.count(b",") + 1
rows = [header]
for i in range(count):
    cells = [str(i), "a%d" % i, "1", "1", "dest-%d@velnora.test" % i, "a%d@velnora.test" % i,
             "u%d" % i, "pw-%d" % i, "127.0.0.1", pop, "127.0.0.1", smtp]
    cells += ["0"] * (width - len(cells))
    rows.append(",".join(cells).encode())
open(target, "wb").write(b"\r\n".join(rows) + b"\r\n")
PY
  vcli "$1" import-csv --any-header "$work/accounts.csv" >/dev/null
}
make_settings "$work/base-all" "$accounts"
make_settings "$work/base-scaled" "$scaled"

clear_mail() { find "$work/home" \( -path '*/Maildir/new/*' -o -path '*/Maildir/cur/*' \) -type f -delete; }
add_mail() {  # 5 new messages on each of the first $with_mail accounts
  "$python" - "$work/home" "$with_mail" "$1" <<'PY'
import os, sys
home, count, tag = sys.argv[1], int(sys.argv[2]), sys.argv[3]
for i in range(count):
    for n in range(5):
        text = ("From: Sender <sender@example.org>\r\nTo: u%d@example.org\r\nSubject: bench %d\r\n"
                "Date: Tue, 08 Dec 2026 09:00:00 +0900\r\nMessage-ID: <%s-%d-%d@example.org>\r\n\r\n"
                "Message %d of account %d.\r\n") % (i, n, tag, i, n, n, i)
        path = os.path.join(home, "u%d" % i, "Maildir", "new", "%d.M%d.%s" % (1000000000 + n, n, tag))
        with open(path, "w", newline="") as f:
            f.write(text)
        if os.getuid() == 0:
            import shutil
            shutil.chown(path, "dovecot", "dovecot")
PY
}
accepted() { [ -f "$work/sink/accepted" ] && wc -l < "$work/sink/accepted" || echo 0; }
timed_run() {  # folder -> seconds
  local start end
  start=$(date +%s.%N)
  vcli "$1" run --once >"$1/run.out" 2>"$1/run.err" || true
  end=$(date +%s.%N)
  "$python" -c "print(round($end - $start, 2))"
}

declare -A pass_a pass_b
for lanes in 1 8 32; do
  base="$work/base-all"; [ "$lanes" -eq 1 ] && base="$work/base-scaled"
  folder="$work/run-$lanes"
  rm -rf "$folder"; mkdir -p "$folder/velnora"
  cp "$base"/velnora/*.prf "$folder/velnora/"
  vcli "$folder" set common parallelAccounts="$lanes" >/dev/null
  clear_mail
  pass_a[$lanes]=$(timed_run "$folder")
  before=$(accepted)
  add_mail "l$lanes"
  pass_b[$lanes]=$(timed_run "$folder")
  got=$(( $(accepted) - before ))
  want=$(( with_mail * 5 ))
  [ "$got" -eq "$want" ] || { echo "parallelAccounts=$lanes forwarded $got of $want" >&2; tail -5 "$folder/run.err" >&2; exit 1; }
done

calc() { "$python" -c "print($1)"; }
one_a=$(calc "round(${pass_a[1]} * $accounts / $scaled, 1)")
one_b=$(calc "round(${pass_b[1]} + ${pass_a[1]} * ($accounts - $scaled) / $scaled, 1)")
printf 'start pass over %d accounts, %d ms round trip (velnora-cli run --once, seconds)\n' "$accounts" "$rtt"
printf '%-22s %16s %16s\n' "parallelAccounts" "A: no mail" "B: 5 x $with_mail new"
printf '%-22s %16s %16s   (measured on %d accounts: %s / %s)\n' "1 (scaled)" "$one_a" "$one_b" "$scaled" "${pass_a[1]}" "${pass_b[1]}"
for lanes in 8 32; do
  printf '%-22s %16s %16s   speed-up %sx / %sx\n' "$lanes" "${pass_a[$lanes]}" "${pass_b[$lanes]}" \
    "$(calc "round($one_a / ${pass_a[$lanes]}, 1)")" "$(calc "round($one_b / ${pass_b[$lanes]}, 1)")"
done
