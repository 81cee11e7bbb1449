#!/usr/bin/env bash
# Builds and runs the benchmarks: natively (the `bench` preset, in-memory
# platform) and, cross-built, under Wine on the real registry and file
# system, pinned to one CPU together with wineserver (see tools/wine-env.sh).
# KELVORA_BENCH_SCALE and KELVORA_BENCH_WIN_SCALE scale the data of the
# native and the Windows runs (defaults 1 and 0.1 of the native shapes).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

echo "== native benchmarks (Release)"
cmake --preset bench >/dev/null
cmake --build --preset bench
for exe in build/bench/bench/*_bench; do
  [ -x "$exe" ] || continue
  echo "-- $(basename "$exe")"
  "$exe" ${KELVORA_BENCH_SCALE:-}
done

targets=$(cd bench && ls *_bench_win.cpp 2>/dev/null | sed 's/\.cpp$//' || true)
[ -n "$targets" ] || exit 0
echo "== Windows benchmarks under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows --target $targets
export KELVORA_BUILD="$root/build/windows"
source tools/wine-env.sh
kelvora_xvfb_start
trap 'kelvora_wine_stop; kelvora_xvfb_stop' EXIT
kelvora_wine_start
for exe in build/windows/bench/*_bench_win.exe; do
  [ -f "$exe" ] || continue
  echo "-- $(basename "$exe")"
  taskset -c 0 "$WINE64" "$exe" ${KELVORA_BENCH_WIN_SCALE:-} </dev/null
done
