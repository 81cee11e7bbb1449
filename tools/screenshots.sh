#!/usr/bin/env bash
# Takes screenshots of the main window's pages (with English captions and
# with captions a third longer), the changes tree, the message box, the
# input dialog, the uninstall log page and the shared-file question, the
# options pages, the main window in each shipped language, the tree with
# activity shown and hidden (English and German), at 96 dpi and
# (HighDpi's child process) at 120 dpi: runs
# their window tests under Wine in a private Xvfb and
# photographs the screen whenever a test asks (KELVORA_SHOTS). The pictures
# land in build/windows/shots/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows --target kelvora_win_tests
export KELVORA_BUILD="$root/build/windows"
source tools/wine-env.sh
shots="$KELVORA_BUILD/shots"
rm -rf "$shots"
mkdir -p "$shots"
kelvora_xvfb_start
trap 'kelvora_wine_stop; kelvora_xvfb_stop' EXIT
kelvora_wine_start
# Z: is the Linux root under Wine.
export KELVORA_SHOTS="Z:${shots//\//\\}"
taskset -c 0 "$WINE64" build/windows/tests/kelvora_win_tests.exe \
  --gtest_filter='ChangesTreeControlTest.CheckClicks*:MessageDlg.Question*:InputTextDlg.OkIs*:MainWindowUninstall.*:DpiLayout.*:HighDpi.*:OptionsDialog.Ok*:MainWindowLanguages.Each*:*MainWindowActivity.*' \
  </dev/null >"$shots/tests.log" 2>&1 &
tests=$!
while kill -0 "$tests" 2>/dev/null; do
  for ready in "$shots"/*.ready; do
    [ -e "$ready" ] || continue
    name="$(basename "$ready" .ready)"
    sleep 0.3  # let the last paint reach the X server
    import -window root "$shots/$name.png"
    rm -f "$ready"
    touch "$shots/$name.done"
    echo "shot: $shots/$name.png"
  done
  sleep 0.1
done
wait "$tests"
tail -3 "$shots/tests.log"
