#!/usr/bin/env bash
# Installs every Debian 12 package that building and testing Velnora needs.
# Non-interactive and idempotent: packages already present are left alone.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config g++ clang libclang-rt-14-dev
  libssl-dev libgtest-dev libgmock-dev libbenchmark-dev
  # test servers and tools
  dovecot-pop3d python3 python3-aiosmtpd openssl fetchmail tzdata
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The packaged Dovecot service is not used: tests start their own instances.
if command -v systemctl >/dev/null 2>&1 && systemctl is-active --quiet dovecot 2>/dev/null; then
  ${sudo:-} systemctl disable --now dovecot >/dev/null 2>&1 || true
fi
echo "setup: all packages present"
