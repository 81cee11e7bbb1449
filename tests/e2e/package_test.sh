#!/usr/bin/env bash
# End-to-end test of the downloads under Wine. tools/package.sh builds them
# as in a fresh clone, from a build folder of their own; the setup installs silently and registers itself, the
# installed kelvora-cli tells its version, and the silent uninstall leaves the
# registry and the folders as they were, apart from the user's data (kept,
# or removed when asked for). Then Kelvora proves itself on its own setup:
# kelvora-cli from the portable zip monitors the silent install, finds
# exactly what the setup made, and undoing it leaves the system as before.
# Usage: package_test.sh   (KELVORA_BUILD names the Windows build, whose Wine
#        prefix the test uses)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/e2e_support.sh"

work="$KELVORA_BUILD/e2e-package"
rm -rf "$work"
mkdir -p "$work"
fresh="$work/build"
start=$SECONDS
# The tests under Wine run pinned to one CPU (tools/test.sh); the build may use all.
KELVORA_BUILD="$fresh" KELVORA_DIST="$work/dist" taskset -c "0-$(($(nproc) - 1))" \
  bash "$here/../../tools/package.sh" > "$work/package.out" 2>&1 ||
  { tail -40 "$work/package.out"; fail "package.sh"; }
echo "package.sh in a fresh build folder: $((SECONDS - start)) s"
version="$(sed -n 's/^#define KELVORA_VERSION "\(.*\)"$/\1/p' "$fresh/generated/kelvora_version.h")"
setup="$work/dist/Kelvora-$version-setup.exe"
zip="$work/dist/Kelvora-$version-win64.zip"
[ -f "$setup" ] && [ -f "$zip" ] || fail "the downloads are not named by the version $version"

installed="$pf/Kelvora"
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
portable="$drive_c/KelvoraPortable"
uninst='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvora'
run='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run'
# Whatever happens, the prefix is left without this test's traces, for the
# tests that run after it.
cleanup() {
  rm -rf "$installed" "$menu/Kelvora.lnk" "$portable"
  printf '%s\n' 'Windows Registry Editor Version 5.00' '' "[-$uninst]" \
    '[-HKEY_CURRENT_USER\Software\Varnok]' "[$run]" '"Kelvora"=-' | reg_import || true
}
trap cleanup EXIT
cleanup

# uninstall.exe copies itself out of the folder it removes, starts the copy
# and returns at once; the copy's last step removes the registration.
uninstall_silently() {
  wine_run "C:\\Program Files\\Kelvora\\uninstall.exe" "$@" || fail "uninstall.exe $*"
  for _ in $(seq 300); do
    reg_dump "$uninst" | grep -q . || return 0
    sleep 0.2
  done
  fail "the uninstaller did not finish"
}

# -- the setup installs, registers itself, and its uninstaller undoes it.
snapshot before "$pf" "$menu"
wine_run "$(winpath "$setup")" /S || fail "setup"
# The help file is packed when the build made it (chmcmd present).
help_file=""
[ -f "$fresh/Kelvora.chm" ] && help_file="Kelvora.chm"
for f in Kelvora.exe kelvora-cli.exe README.txt LICENSE.txt uninstall.exe $help_file \
         Translations/English.lng Translations/German.lng Translations/Romanian.lng; do
  [ -f "$installed/$f" ] || fail "not installed: $f"
done
[ -f "$menu/Kelvora.lnk" ] || fail "no Start menu shortcut"
strings -e l "$installed/Kelvora.exe" | grep -qx "$version.0" || fail "version resource"
# Wine runs every program as an administrator; what it cannot show is at
# least asked for: the window program requests elevation, the console one not.
grep -q 'level="requireAdministrator"' "$installed/Kelvora.exe" || fail "Kelvora.exe does not ask for elevation"
grep -q 'level="asInvoker"' "$installed/kelvora-cli.exe" || fail "kelvora-cli.exe asks for elevation"
reg_dump "$uninst" > "$work/uninst.reg"
for line in '"DisplayName"="Kelvora"' "\"DisplayVersion\"=\"$version\"" '"Publisher"="Varnok"' \
    '"DisplayIcon"="C:\\Program Files\\Kelvora\\Kelvora.exe,0"' \
    '"InstallLocation"="C:\\Program Files\\Kelvora"' \
    '"UninstallString"="\"C:\\Program Files\\Kelvora\\uninstall.exe\""' \
    '"QuietUninstallString"="\"C:\\Program Files\\Kelvora\\uninstall.exe\" /S"' \
    '"NoModify"=dword:00000001' '"NoRepair"=dword:00000001'; do
  grep -qxF -- "$line" "$work/uninst.reg" || fail "registration lacks $line"
done
grep -qE '^"EstimatedSize"=dword:0000[0-9a-f]{4}$' "$work/uninst.reg" || fail "EstimatedSize"
[ "$(wine_run 'C:\Program Files\Kelvora\kelvora-cli.exe' --version | tr -d '\r')" = "kelvora-cli $version" ] ||
  fail "installed kelvora-cli --version"

# The user's data: archives and the log beside the program, its settings
# (kelvora-cli made them above), and a monitoring left pending.
printf 'log' > "$installed/Log.txt"
printf 'archive' > "$installed/App.qor"
printf '%s\n' 'Windows Registry Editor Version 5.00' '' "[$run]" \
  '"Kelvora"="C:\\Program Files\\Kelvora\\Kelvora.exe"' | reg_import || fail "reg import"
uninstall_silently /S
snapshot kept "$pf" "$menu"
diff -u "$work/before.reg" "$work/kept.reg" || fail "registry differs after the uninstall"
grep -v -e '^/Program Files/Kelvora d$' -e '^/Program Files/Kelvora/Log.txt ' -e '^/Program Files/Kelvora/App.qor ' \
  "$work/kept.files" | diff -u "$work/before.files" - || fail "folders differ after the uninstall"
[ -f "$installed/Log.txt" ] && [ -f "$installed/App.qor" ] || fail "the user's data went"
reg_dump 'HKCU\Software\Varnok\Kelvora' | grep -q . || fail "the settings went"

# Installed again over the kept data, and uninstalled with it.
wine_run "$(winpath "$setup")" /S || fail "setup over the user's data"
uninstall_silently /S /REMOVEDATA
snapshot removed "$pf" "$menu"
diff -u "$work/before.files" "$work/removed.files" || fail "folders differ after removing the data"
diff -u "$work/before.reg" "$work/removed.reg" || fail "registry differs after removing the data"
! reg_dump 'HKCU\Software\Varnok\Kelvora' | grep -q . || fail "the settings stayed"

# -- Kelvora from the portable zip monitors its own setup and undoes it.
unzip -q "$zip" -d "$portable" || fail "unzip"
cli() { wine_run 'C:\KelvoraPortable\kelvora-cli.exe' "$@"; }
# The state to come back to is the one before the first installation.
cli scan Kelvora --hklm --hkcu --program-files --other 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs' \
  > "$work/scan.out" 2>&1 || { cat "$work/scan.out"; fail "scan"; }
wine_run "$(winpath "$setup")" /S || fail "setup"
cli rescan > "$work/rescan.out" 2>&1 || { cat "$work/rescan.out"; fail "rescan"; }
cli export Kelvora "$(winpath "$work/export.txt")" || fail "export"
# The changes, without their data. What Wine rewrote by itself meanwhile is
# there too, as activity (with the key or folder line that holds only that):
# the setup's own changes are all the rest.
tr -d '\r' < "$work/export.txt" |
  awk '/   \[Activity: .*\]$/ { next }
       /^    \((REG KEY|FOLDER)\) / { held = $0; next }
       /^      \(/ && held != "" { print held; held = "" }
       /^    \([+-]\)/ { held = "" }
       { print }' |
  sed -n 's/^ *\((.*\)$/\1/p' | sed 's/ = .*//' > "$work/changes.txt"
! grep '   \[Activity: ' "$work/export.txt" | grep -i 'kelvora' || fail "a change of the setup is marked as activity"
cat > "$work/expected.txt" <<EOF
(+)(FOLDER) C:\\Program Files\\Kelvora
${help_file:+(+)(FILE) $help_file
}(+)(FILE) Kelvora.exe
(+)(FILE) kelvora-cli.exe
(+)(FILE) LICENSE.txt
(+)(FILE) README.txt
(+)(FILE) uninstall.exe
(+)(FILE) Volatile.txt
(+)(FOLDER) C:\\Program Files\\Kelvora\\Translations
(+)(FILE) English.lng
(+)(FILE) German.lng
(+)(FILE) Romanian.lng
(FOLDER) C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs
(+)(FILE) Kelvora.lnk
(+)(REG KEY) $uninst
(+)(REG VAL) DisplayIcon
(+)(REG VAL) DisplayName
(+)(REG VAL) DisplayVersion
(+)(REG VAL) EstimatedSize
(+)(REG VAL) InstallLocation
(+)(REG VAL) NoModify
(+)(REG VAL) NoRepair
(+)(REG VAL) Publisher
(+)(REG VAL) QuietUninstallString
(+)(REG VAL) UninstallString
EOF
diff -u "$work/expected.txt" "$work/changes.txt" || fail "the monitoring did not find exactly what the setup made"
cli uninstall Kelvora --yes > "$work/uninstall.out" 2>&1 || { cat "$work/uninstall.out"; fail "uninstall"; }
snapshot after "$pf" "$menu"
diff -u "$work/before.files" "$work/after.files" || fail "folders differ after undoing the monitoring"
diff -u "$work/before.reg" "$work/after.reg" || fail "registry differs after undoing the monitoring"
echo "PASS"
