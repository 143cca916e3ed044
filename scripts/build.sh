#!/usr/bin/env bash
# Configures and builds Velnora into build/ (or $BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
source scripts/compiler_cache.sh
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${VELNORA_LAUNCHER_ARGS[@]+"${VELNORA_LAUNCHER_ARGS[@]}"} "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
