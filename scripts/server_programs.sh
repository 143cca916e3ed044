# Sourced by scripts that start mail servers: where a server program is.
# Debian installs dovecot, doveadm and postfix in /usr/sbin, which is not on an
# ordinary user's PATH; search PATH first, then /usr/sbin and /sbin (the same
# order as velnora's own lookup, platform/server_programs.h).
#
#   . scripts/server_programs.sh
#   dovecot="$(server_program dovecot)" || exit 2
server_program() {
  local name="$1" dir
  local IFS=:
  for dir in $PATH /usr/sbin /sbin; do
    case "$dir" in /*) ;; *) continue ;; esac
    if [ -f "$dir/$name" ] && [ -x "$dir/$name" ]; then
      printf '%s\n' "$dir/$name"
      return 0
    fi
  done
  echo "$name is not installed (not on PATH, in /usr/sbin or /sbin)" >&2
  return 1
}
