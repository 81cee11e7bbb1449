#!/usr/bin/env bash
# End to end under Wine with 32-bit setups, which write through the
# redirection of 32-bit programs on 64-bit Windows: a 32-bit NSIS setup and
# a 32-bit Windows Installer package (wixl) put files under
# "Program Files (x86)" and into SysWOW64, and keys below
# HKLM\Software\Wow6432Node. Both are monitored and undone by kelvora-cli.exe,
# then by Kelvora.exe driven through its window (kelvora_window_e2e.exe);
# after each undo the registry, the Program Files folders and the Windows
# folder are as they were before.
# Usage: wow64_test.sh <kelvora-cli.exe> <Kelvora.exe> <kelvora_window_e2e.exe>
#        (KELVORA_BUILD names the build)
set -euo pipefail
cli_exe="$(realpath "$1")"
window_exe="$(realpath "$2")"
driver_exe="$(realpath "$3")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/e2e_support.sh"

work="$KELVORA_BUILD/e2e-wow64"
rm -rf "$work"
mkdir -p "$work"
program="$drive_c/KelvoraWow64"
pf32="$drive_c/Program Files (x86)"
windows="$drive_c/windows"
[ -d "$windows/syswow64" ] || fail "the prefix has no SysWOW64: is wine32 installed?"

# Whatever happens, the prefix is left without this test's traces.
cleanup() {
  if [ -f "$program/kdemo.msi" ]; then wine_run msiexec /x 'C:\KelvoraWow64\kdemo.msi' /qn >/dev/null 2>&1 || true; fi
  rm -rf "$pf32/KDemo32 App" "$pf32/KDemo MSI" "$windows/syswow64/kdemo32.dll" "$windows/syswow64/kdemomsi.dll"
  printf '%s\n' 'Windows Registry Editor Version 5.00' '' \
    '[-HKEY_LOCAL_MACHINE\Software\Wow6432Node\KDemo32Vendor]' '[-HKEY_CURRENT_USER\Software\KDemo32Vendor]' \
    '[-HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\KDemo32]' \
    '[-HKEY_LOCAL_MACHINE\Software\Wow6432Node\KDemoMsi]' '[-HKEY_CURRENT_USER\Software\Varnok]' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]' '"Kelvora"=-' | reg_import || true
  rm -rf "$program"
}
trap cleanup EXIT
cleanup

mkdir -p "$program"
cp "$cli_exe" "$KELVORA_BUILD/Volatile.txt" "$program/"
cp "$window_exe" "$program/Kelvora.exe"
makensis -V1 -DOUTFILE="$program/kdemo32_setup.exe" "$here/kdemo32_setup.nsi" >/dev/null || fail "makensis"
printf 'MZ KDemo MSI program' > "$work/kdemomsi.exe"
printf 'MZ KDemo MSI library' > "$work/kdemomsi.dll"
(cd "$work" && wixl -a x86 -o "$program/kdemo.msi" "$here/kdemo32_msi.wxs") >/dev/null 2>&1 || fail "wixl"
file -b "$program/kdemo32_setup.exe" | grep -q '^PE32 executable' || fail "the NSIS setup is not a 32-bit program"

folders=("$pf" "$pf32" "$windows")
cli() { wine_run 'C:\KelvoraWow64\kelvora-cli.exe' "$@"; }

# The undo leaves everything as it was.
same_as_before() {
  snapshot after "${folders[@]}"
  diff -u "$work/before.files" "$work/after.files" || fail "folders differ after $1"
  diff -u "$work/before.reg" "$work/after.reg" || fail "registry differs after $1"
}

snapshot before "${folders[@]}"

# -- both setups in one monitoring through the command line.
start=$SECONDS
cli scan Wow64 --hklm --hkcu --windows --program-files > "$work/scan.out" 2>&1 || { cat "$work/scan.out"; fail "scan"; }
wine_run 'C:\KelvoraWow64\kdemo32_setup.exe' /S || fail "the NSIS setup"
wine_run msiexec /i 'C:\KelvoraWow64\kdemo.msi' /qn || fail "the package"
cli rescan > "$work/rescan.out" 2>&1 || { cat "$work/rescan.out"; fail "rescan"; }
cli export Wow64 'C:\KelvoraWow64\Wow64.txt' > /dev/null || fail "export"
tr -d '\r' < "$program/Wow64.txt" > "$work/export.txt"
expect() { grep -qF -- "$1" "$work/export.txt" || { cat "$work/export.txt"; fail "the export lacks: $1"; }; }
# The NSIS setup's.
expect "    (+)(FOLDER) C:\\Program Files (x86)\\KDemo32 App"
expect "      (+)(FILE) kdemo32.exe = "
expect "    (FOLDER) C:\\windows\\syswow64"
expect "      (+)(FILE) kdemo32.dll = "
expect "    (+)(REG KEY) HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\KDemo32Vendor"
expect "      (+)(REG VAL) InstallDir = 'C:\\Program Files (x86)\\KDemo32 App'"
expect "    (+)(REG KEY) HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KDemo32"
expect "    (+)(REG KEY) HKEY_CURRENT_USER\\Software\\KDemo32Vendor"
# The package's, with what Windows Installer keeps of it.
expect "    (+)(FOLDER) C:\\Program Files (x86)\\KDemo MSI"
expect "      (+)(FILE) kdemomsi.exe = "
expect "      (+)(FILE) kdemomsi.dll = "
expect "    (+)(REG KEY) HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\KDemoMsi"
expect "      (+)(REG VAL) InstallDir = 'C:\\Program Files (x86)\\KDemo MSI\\'"
grep -q '^    (+)(REG KEY) HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{' \
  "$work/export.txt" || fail "the export lacks the package's Uninstall entry"
cli uninstall Wow64 --yes > "$work/uninstall.out" 2>&1 || { cat "$work/uninstall.out"; fail "uninstall"; }
grep -qF "Uninstall complete without errors" "$work/uninstall.out" || { cat "$work/uninstall.out"; fail "errors"; }
same_as_before "the undo through the command line"
rm -f "$program/Wow64.qor" "$program/Wow64.txt" "$program/Log.txt"
echo "32-bit setups, command line: $((SECONDS - start)) s"

# -- again through the window: Next starts the package, and the NSIS setup
# is run by hand while the run page waits.
start=$SECONDS
wine_run "$driver_exe" --gtest_filter='WindowEndToEnd.Wow64SetupsThroughTheWindow' 'C:\KelvoraWow64\Kelvora.exe' \
  'C:\KelvoraWow64\kdemo.msi' 'C:\KelvoraWow64\kdemo32_setup.exe' || fail "through the window"
same_as_before "the undo through the window"
echo "32-bit setups, window: $((SECONDS - start)) s"
echo "PASS"
