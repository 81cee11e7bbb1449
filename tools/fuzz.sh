#!/usr/bin/env bash
# Builds the fuzz targets (preset `fuzz`: clang-14, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60), one
# after the other and niced, so the machine stays usable.
#
#   bash tools/fuzz.sh [SECONDS] [TARGET...]     targets: snapshot archive resume_marker identifier
#
# Each target starts from the seeds that the build writes with the program's
# own writers, the inputs kept in fuzz/regressions/<target>/ and what earlier
# runs found (build/fuzz/corpus/<target>, which grows). An input that makes a
# target fail is saved as build/fuzz/findings/<target>-*, and the run fails;
# reproduce it with build/fuzz/fuzz/<target>_fuzz FILE.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
seconds="${1:-60}"
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(snapshot archive resume_marker identifier)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
bin=build/fuzz/fuzz
findings=build/fuzz/findings
mkdir -p "$findings"
for t in "${targets[@]}"; do
  corpus="build/fuzz/corpus/$t"
  mkdir -p "$corpus"
  inputs=("$corpus" "$bin/seeds/$t")
  [ -d "fuzz/regressions/$t" ] && inputs+=("fuzz/regressions/$t")
  options=(-max_total_time="$seconds" -timeout=20 -print_final_stats=1 -artifact_prefix="$findings/$t-")
  [ -f "fuzz/dictionaries/$t.dict" ] && options+=(-dict="fuzz/dictionaries/$t.dict")
  log="$findings/$t.log"
  if nice -n 10 "$bin/${t}_fuzz" "${options[@]}" "${inputs[@]}" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$t: ${runs} executions in ${seconds} s, corpus $(ls "$corpus" | wc -l) inputs"
  else
    tail -n 40 "$log"
    echo "$t: FAILED (input and log in $findings)"
    exit 1
  fi
done
