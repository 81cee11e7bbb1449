#!/usr/bin/env bash
# Builds and runs the benchmarks: natively (the `bench` preset, in-memory
# platform) and, cross-built, under Wine on the real registry and file
# system, pinned to one CPU together with wineserver (see tools/wine-env.sh).
# The parallel scan's benchmark runs last, on both CPUs (neither it nor
# wineserver pinned), with its default (full-size) arguments.
# KELVORA_BENCH_SCALE and KELVORA_BENCH_WIN_SCALE scale the data of the
# native and the pinned Windows runs (defaults 1 and 0.1 of the native
# shapes). KELVORA_BENCH_ONLY names the one benchmark to run (for example
# parallel_scan_bench_win), so that nobody waits for all of them.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
only="${KELVORA_BENCH_ONLY:-}"
unpinned=parallel_scan_bench_win
selected() { [ -z "$only" ] || [ "$only" = "$1" ]; }

natives=$(cd bench && ls *_bench.cpp | sed 's/\.cpp$//')
if [ -z "$only" ] || grep -qx "$only" <<<"$natives"; then
  echo "== native benchmarks (Release)"
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target ${only:-all}
  for exe in build/bench/bench/*_bench; do
    [ -x "$exe" ] && selected "$(basename "$exe")" || continue
    echo "-- $(basename "$exe")"
    "$exe" ${KELVORA_BENCH_SCALE:-}
  done
fi

targets=$(cd bench && ls *_bench_win.cpp 2>/dev/null | sed 's/\.cpp$//' || true)
[ -z "$only" ] || targets=$(grep -x "$only" <<<"$targets" || true)
[ -n "$targets" ] || exit 0
echo "== Windows benchmarks under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows --target $targets
export KELVORA_BUILD="$root/build/windows"
source tools/wine-env.sh
kelvora_xvfb_start
trap 'kelvora_wine_stop; kelvora_xvfb_stop' EXIT
kelvora_wine_start
for name in $targets; do
  [ "$name" != "$unpinned" ] || continue
  echo "-- $name.exe"
  taskset -c 0 "$WINE64" "build/windows/bench/$name.exe" ${KELVORA_BENCH_WIN_SCALE:-} </dev/null
done
if grep -qx "$unpinned" <<<"$targets"; then
  # kelvora_wine_start pinned wineserver to the first CPU: start it anew
  # on both, as the scan's workers are.
  kelvora_wine_stop
  "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -p </dev/null >/dev/null 2>&1
  echo "-- $unpinned.exe (not pinned)"
  "$WINE64" "build/windows/bench/$unpinned.exe" </dev/null
fi
