#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz and runs each one on a
# copy of its seed corpus for a bounded time. Fails on any crash, leak, timeout
# or sanitizer report; prints the executions per target.
#
# Usage: scripts/fuzz.sh [seconds per target, default 30] [target...]
#   A longer campaign: scripts/fuzz.sh 3600 fuzz_settings
#   Extra libFuzzer flags: FUZZ_FLAGS="-jobs=4 -workers=4" scripts/fuzz.sh 600
# Findings are kept in build-fuzz/findings/<target>/ (crash-*, leak-*, ...);
# inputs that widen coverage stay in build-fuzz/corpus/<target>/ and may be
# copied into fuzz/corpus/<target>/ to grow the committed seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(fuzz_settings fuzz_definition fuzz_arguments fuzz_record_builder)
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELVADOR_FUZZ=ON -DKELVADOR_TESTS=OFF -DKELVADOR_BENCH=OFF \
  -DKELVADOR_WITH_POSTGRESQL=OFF -DKELVADOR_WITH_ODBC=OFF -DKELVADOR_WITH_SQLITE=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:print_stacktrace=1:symbolize=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

failed=()
summary=()
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  corpus=$build/corpus/$name
  findings=$build/findings/$name
  log=$build/findings/$name.log
  mkdir -p "$corpus" "$findings"
  echo "== $target for ${seconds}s"
  status=0
  # The first folder collects new inputs; the committed seeds are only read.
  "$build/bin/$target" "$corpus" "fuzz/corpus/$name" \
    -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -max_len=8192 \
    -print_final_stats=1 -artifact_prefix="$findings/" ${FUZZ_FLAGS:-} >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if ((status != 0)) || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log"; then
    tail -n 60 "$log"
    failed+=("$target")
    summary+=("$target: FAILED after ${runs:-?} executions (log $log, inputs in $findings)")
  else
    summary+=("$target: ${runs:-?} executions in ${seconds}s, no finding")
  fi
done

echo "== fuzzing summary"
printf '%s\n' "${summary[@]}"
if ((${#failed[@]})); then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
