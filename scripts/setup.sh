#!/usr/bin/env bash
# Installs every Debian 12 package that building and testing Velnora needs.
# Non-interactive and idempotent: packages already present are left alone.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config g++ clang libclang-rt-14-dev ccache
  libssl-dev libgtest-dev libgmock-dev libbenchmark-dev
  # test servers and tools
  dovecot-pop3d python3 python3-aiosmtpd openssl tzdata
  postfix
  # benchmark reference
  w3m
  # developer scripts
  universal-ctags
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  # Postfix without a system configuration: tests start instances of their own.
  echo "postfix postfix/main_mailer_type select No configuration" | $sudo debconf-set-selections
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The packaged Dovecot and Postfix services are not used: tests start their own instances.
for service in dovecot postfix; do
  if command -v systemctl >/dev/null 2>&1 && systemctl is-active --quiet "$service" 2>/dev/null; then
    ${sudo:-} systemctl disable --now "$service" >/dev/null 2>&1 || true
  fi
done
echo "setup: all packages present"
