#!/usr/bin/env bash
# Builds Velnora and runs every test, the real-server ones included.
# Extra arguments go to ctest (for a quick run: scripts/test.sh -LE realserver).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
BUILD_DIR=$build_dir scripts/build.sh ${CMAKE_ARGS:-}
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" "$@"
