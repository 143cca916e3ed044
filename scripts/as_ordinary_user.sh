#!/usr/bin/env bash
# Runs `velnora-cli demo` and the real-server tests as an ordinary user, the
# way someone without root tries the quick start: a PATH without /usr/sbin,
# no XDG_RUNTIME_DIR, files only in that user's home and /tmp. The build is
# copied into the user's home, since the user may not read the build folder.
# Run as root (CI); creates the user when missing.
#
#   scripts/as_ordinary_user.sh [build folder] [user name]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
user="${2:-velnora-user}"
[ "$(id -u)" -eq 0 ] || { echo "as_ordinary_user.sh: run as root (it creates and switches to $user)" >&2; exit 2; }
id -u "$user" >/dev/null 2>&1 || useradd -m -s /bin/bash "$user"
home="$(getent passwd "$user" | cut -d: -f6)"
group="$(id -gn "$user")"

copy="$home/velnora-build"
rm -rf "$copy"
install -d -o "$user" -g "$group" "$copy" "$copy/tests" "$copy/tests/support"
install -o "$user" -g "$group" -m 755 "$build/src/velnora-cli" "$copy/"
tests=()
for t in "$build"/tests/test_*_realserver; do
  install -o "$user" -g "$group" -m 755 "$t" "$copy/"
  tests+=("$(basename "$t")")
done
install -o "$user" -g "$group" -m 644 tests/support/*.py "$copy/tests/support/"

# A login-like environment: Debian's PATH for ordinary users, nothing else.
as_user() {
  runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" LANG=C.UTF-8 \
    PATH=/usr/local/bin:/usr/bin:/bin VELNORA_TEST_CLI="$copy/velnora-cli" VELNORA_TEST_SOURCE_DIR="$copy" \
    bash -c 'cd "$HOME" && "$@"' as-user "$@"
}

echo "-- velnora-cli demo as $user"
as_user "$copy/velnora-cli" demo
# The suites start their servers on free loopback ports, so they run side
# by side; each one's output is shown whole when it ends.
pids=()
for t in "${tests[@]}"; do
  as_user "$copy/$t" --gtest_brief=1 >"$copy/$t.out" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!tests[@]}"; do
  wait "${pids[$i]}" || status=1
  echo "-- ${tests[$i]} as $user"
  cat "$copy/${tests[$i]}.out"
done
exit $status
