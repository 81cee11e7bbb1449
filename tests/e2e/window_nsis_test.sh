#!/usr/bin/env bash
# End-to-end test of Kelvora.exe under Wine, driven through its window by
# kelvora_window_e2e.exe (window_e2e_win.cpp) with a real NSIS setup program.
# Usage: window_nsis_test.sh <Kelvora.exe> <kelvora_window_e2e.exe>   (KELVORA_BUILD names the build)
set -euo pipefail
window_exe="$(realpath "$1")"
driver_exe="$(realpath "$2")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${KELVORA_BUILD:?KELVORA_BUILD must name the Windows build folder}"
source "$here/../../tools/wine-env.sh"
# Already running under tools/test.sh, where starting it again fails harmlessly.
kelvora_wine_start || true

drive_c="$WINEPREFIX/drive_c"
pf="$drive_c/Program Files"
program="$drive_c/KelvoraWindowE2E"
wine_run() { taskset -c 0 "$WINE64" "$@" </dev/null; }

# The setup's traces, the program's folder and its settings go, before and after.
cleanup() {
  rm -rf "$pf/KDemo App" "$pf/KDemo Again" "$pf/KDemoPre" "$pf/Common Files/KDemoA.dll" "$pf/Common Files/KDemoB.dll"
  if [ -d "$program" ]; then
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[-HKEY_LOCAL_MACHINE\Software\KDemoVendor]' '[-HKEY_CURRENT_USER\Software\KDemoVendor]' \
      '[-HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\KDemo]' \
      '[-HKEY_CURRENT_USER\Software\KDemoPre]' '[-HKEY_CURRENT_USER\Software\Varnok]' \
      '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs]' \
      '"C:\\Program Files\\Common Files\\KDemoA.dll"=-' '"C:\\Program Files\\Common Files\\KDemoB.dll"=-' \
      '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]' '"Kelvora"=-' \
      > "$program/cleanup.reg"
    wine_run reg import 'C:\KelvoraWindowE2E\cleanup.reg' >/dev/null 2>&1 || true
    rm -rf "$program"
  fi
}
trap cleanup EXIT
# The system as the setup finds it: the program's folder and what was there
# before the setup.
prepare() {
  mkdir -p "$program"
  cleanup
  mkdir -p "$program" "$pf/KDemoPre" "$pf/Common Files"
  cp "$window_exe" "$program/Kelvora.exe"
  cp "$KELVORA_BUILD/Volatile.txt" "$program/"
  printf 'language=fr\r\n' > "$pf/KDemoPre/settings.ini"
  printf 'MZ shared by another program' > "$pf/Common Files/KDemoA.dll"
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs]' \
    '"C:\\Program Files\\Common Files\\KDemoA.dll"=dword:00000001' \
    '[HKEY_CURRENT_USER\Software\KDemoPre]' '"Setting"="old"' '"Obsolete"="bye"' > "$program/before.reg"
  wine_run reg import 'C:\KelvoraWindowE2E\before.reg' >/dev/null 2>&1 || { echo "FAIL: reg import" >&2; exit 1; }
  makensis -V1 -DOUTFILE="$program/kdemo_setup.exe" "$here/kdemo_setup.nsi" >/dev/null || { echo "FAIL: makensis" >&2; exit 1; }
  makensis -V1 -DFAILING -DOUTFILE="$program/failing_setup.exe" "$here/kdemo_setup.nsi" >/dev/null ||
    { echo "FAIL: makensis" >&2; exit 1; }
}

# The monitoring and the list; then, on a system prepared again, the uninstall.
for test in MonitoringListResumeAndClose UninstallThroughTheWindow; do
  prepare
  start=$SECONDS
  wine_run "$driver_exe" --gtest_filter="WindowEndToEnd.$test" 'C:\KelvoraWindowE2E\Kelvora.exe' 'C:\KelvoraWindowE2E\kdemo_setup.exe'
  echo "window end to end, $test: $((SECONDS - start)) s"
done
