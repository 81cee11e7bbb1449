#!/usr/bin/env bash
# Builds everything and runs every test: the native tests under AddressSanitizer
# and UndefinedBehaviorSanitizer, the threading tests under ThreadSanitizer,
# then the Windows build's tests under Wine (private prefix, private Xvfb).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash tools/setup-packages.sh
# Each phase heading says how long the run has taken so far.
phase() { echo "== $1 (at ${SECONDS} s)"; }

phase "native build (ASan + UBSan)"
cmake --preset native >/dev/null
# Only the tests: the benchmarks are compiled by the Windows build below.
cmake --build --preset native --target kelvora_tests
phase "native tests"
ctest --preset native -j2 --no-tests=error

phase "fuzzing every reader of untrusted bytes (5 s each)"
bash tools/fuzz.sh 5

phase "native build (ThreadSanitizer)"
cmake --preset native-tsan >/dev/null
cmake --build --preset native-tsan --target kelvora_tests
phase "threading tests under ThreadSanitizer"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --preset native-tsan -j2 --no-tests=error

phase "Windows build (mingw-w64)"
cmake --preset windows >/dev/null
cmake --build --preset windows

phase "Windows tests under Wine"
export KELVORA_BUILD="$root/build/windows"
source tools/wine-env.sh
kelvora_xvfb_start
trap 'kelvora_wine_stop; kelvora_xvfb_stop' EXIT
kelvora_wine_start
# Pinned to the CPU that wineserver sits on (see tools/wine-env.sh). No test
# is run twice for failing: only a test program that Wine failed to start
# (it died before main) runs once more, see tools/wine-run.sh, and each such
# run is listed after the tests.
export KELVORA_RETRY_LOG="$KELVORA_BUILD/wine-retries.log"
rm -f "$KELVORA_RETRY_LOG"
status=0
timeout 1500 taskset -c 0 ctest --preset windows --no-tests=error </dev/null || status=$?
if [ -s "$KELVORA_RETRY_LOG" ]; then
  echo "== Wine failed to start these test programs; each ran once more:"
  cat "$KELVORA_RETRY_LOG"
fi
[ "$status" -eq 0 ] || exit "$status"
echo "== every test passed (${SECONDS} s)"
