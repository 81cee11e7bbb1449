#!/usr/bin/env bash
# Builds Kelvora.exe and starts it under Wine on the current display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash tools/setup-packages.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
export KELVORA_BUILD="$root/build/windows"
source tools/wine-env.sh
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: set DISPLAY (or run under xvfb-run) to see the window." >&2
  exit 2
fi
kelvora_wine_start
trap kelvora_wine_stop EXIT
"$WINE64" "$KELVORA_BUILD/Kelvora.exe"
