#!/usr/bin/env bash
# Renders the printout of a sample changes tree as PNG pages: runs the
# printout's test under Wine, which draws A4 pages at 300 dpi on a bitmap and
# writes each one (KELVORA_PRINT_PAGES); ImageMagick turns them into
# build/windows/print-pages/page-N.png.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows --target kelvora_win_tests
export KELVORA_BUILD="$root/build/windows"
source tools/wine-env.sh
out="$KELVORA_BUILD/print-pages"
rm -rf "$out"
mkdir -p "$out"
kelvora_xvfb_start
trap 'kelvora_wine_stop; kelvora_xvfb_stop' EXIT
kelvora_wine_start
# Z: is the Linux root under Wine.
KELVORA_PRINT_PAGES="Z:${out//\//\\}" taskset -c 0 "$WINE64" build/windows/tests/kelvora_win_tests.exe \
  --gtest_filter='ChangesPrintout.PagesOfPrinterSize*' </dev/null >"$out/test.log" 2>&1 || { cat "$out/test.log"; exit 1; }
for bmp in "$out"/page-*.bmp; do
  convert "$bmp" "${bmp%.bmp}.png"
  rm "$bmp"
  echo "page: ${bmp%.bmp}.png"
done
