#!/usr/bin/env bash
# Runs a command with FILE in place of /etc/hosts, in a mount namespace of
# its own, so a test can give a name addresses of both families without
# touching the machine. Exits 77 (skipped) where that is not possible:
# without root or without unshare.
#   with_hosts_file.sh FILE COMMAND [ARG...]
set -euo pipefail
file=$1
shift
if [ "$(id -u)" -ne 0 ] || ! command -v unshare >/dev/null 2>&1; then
  echo "with_hosts_file.sh: needs root and unshare; skipped" >&2
  exit 77
fi
exec unshare -m sh -c 'mount --bind "$0" /etc/hosts && exec "$@"' "$file" "$@"
