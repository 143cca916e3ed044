#!/usr/bin/env bash
# Builds the libFuzzer targets with clang-14, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ (or $FUZZ_BUILD_DIR) and runs
# each for SECONDS (default 60), one after the other, starting from its
# checked-in seed corpus fuzz/corpus/<target>/. Further arguments name the
# targets to run (default: every fuzz/*.cpp). Exits non-zero on a finding;
# the input is left in build-fuzz/artifacts/.
#   scripts/fuzz.sh 60                         # CI: a minute per target
#   scripts/fuzz.sh 600 transport_peer_fuzz    # ten minutes, one target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}

source scripts/compiler_cache.sh
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${VELNORA_LAUNCHER_ARGS[@]+"${VELNORA_LAUNCHER_ARGS[@]}"} \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DVELNORA_FUZZ=ON -DVELNORA_TESTS=OFF -DVELNORA_BENCH=OFF -DVELNORA_SANITIZE=ON >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in fuzz/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
cmake --build "$build_dir" --target "${targets[@]}" -j"${FUZZ_JOBS:-2}"

per_target=$seconds
[ "$per_target" -ge 1 ] || per_target=1
mkdir -p "$build_dir/artifacts"
status=0
for t in "${targets[@]}"; do
  work="$build_dir/corpus/$t"
  mkdir -p "$work" "fuzz/corpus/$t"
  echo "== fuzzing $t for ${per_target}s"
  # New inputs go to the work corpus; the checked-in seeds are only read.
  # The targets' own standard output (documented error lines) is closed.
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      "$build_dir/fuzz/$t" -max_total_time="$per_target" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -close_fd_mask=1 -artifact_prefix="$build_dir/artifacts/$t-" "$work" "fuzz/corpus/$t"; then
    echo "fuzz: $t found a failing input (see $build_dir/artifacts/)" >&2
    status=1
  fi
done
exit $status
