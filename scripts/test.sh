#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer and again under
# ThreadSanitizer (the sorting and writing threads), a bounded fuzzing run of
# every input reader, and the Windows build's suite under Wine where Wine can
# be installed. Installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh test

# The database servers the tests talk to, stopped again however the run ends.
source scripts/test-servers.sh
trap stop_test_servers EXIT
start_test_servers

run_suite() {  # build folder, extra cmake options...
  local build=$1; shift
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$build" -j"$jobs"
  (cd "$build" && ctest --output-on-failure -j"$jobs")
}

echo "== tests"
run_suite build
echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:print_stacktrace=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  run_suite build-sanitize -DKELVADOR_SANITIZE=ON
echo "== tests under ThreadSanitizer"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  run_suite build-tsan -DKELVADOR_THREAD_SANITIZE=ON
echo "== fuzzing every input reader, ${KELVADOR_FUZZ_SECONDS:-30} s each"
scripts/fuzz.sh "${KELVADOR_FUZZ_SECONDS:-30}"
echo "== the Windows build under Wine"
scripts/wine-tests.sh
