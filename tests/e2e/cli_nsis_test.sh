#!/usr/bin/env bash
# End-to-end test of kelvora-cli.exe under Wine with a real NSIS setup
# program: scan, install silently, rescan, check the export against what the
# setup did, uninstall, and check that the registry and the folders are as
# they were before, apart from what an uninstall rightly leaves.
# Usage: cli_nsis_test.sh <kelvora-cli.exe>   (KELVORA_BUILD names the build)
set -euo pipefail
cli_exe="$(realpath "$1")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/e2e_support.sh"

work="$KELVORA_BUILD/e2e"
rm -rf "$work"
mkdir -p "$work"
program="$drive_c/KelvoraE2E"

cli() { wine_run 'C:\KelvoraE2E\kelvora-cli.exe' "$@"; }

# Whatever happens, the prefix is left without this test's traces, for the
# tests that run after it.
cleanup() {
  rm -rf "$pf/KDemo App" "$pf/KDemoPre" "$pf/Common Files/KDemoA.dll" "$pf/Common Files/KDemoB.dll"
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[-HKEY_LOCAL_MACHINE\Software\KDemoVendor]' '[-HKEY_CURRENT_USER\Software\KDemoVendor]' \
    '[-HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\KDemo]' \
    '[-HKEY_CURRENT_USER\Software\KDemoPre]' '[-HKEY_CURRENT_USER\Software\Varnok]' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs]' \
    '"C:\\Program Files\\Common Files\\KDemoA.dll"=-' '"C:\\Program Files\\Common Files\\KDemoB.dll"=-' \
    > "$work/cleanup.reg"
  if [ -d "$program" ]; then
    cp "$work/cleanup.reg" "$program/cleanup.reg"
    wine_run reg import 'C:\KelvoraE2E\cleanup.reg' >/dev/null 2>&1 || true
    wine_run reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v Kelvora /f >/dev/null 2>&1 || true
    rm -rf "$program"
  fi
}
trap cleanup EXIT

# -- a clean start: no earlier run, the folders and values the setup meets.
rm -rf "$program" "$pf/KDemo App" "$pf/KDemoPre" "$pf/Common Files/KDemoA.dll" "$pf/Common Files/KDemoB.dll"
mkdir -p "$program" "$pf/KDemoPre" "$pf/Common Files"
cp "$cli_exe" "$KELVORA_BUILD/Volatile.txt" "$program/"
printf 'language=fr\r\n' > "$pf/KDemoPre/settings.ini"
printf 'MZ shared by another program' > "$pf/Common Files/KDemoA.dll"
cat > "$work/before.reg.in" <<'REG'
Windows Registry Editor Version 5.00

[-HKEY_LOCAL_MACHINE\Software\KDemoVendor]
[-HKEY_CURRENT_USER\Software\KDemoVendor]
[-HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\KDemo]
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs]
"C:\\Program Files\\Common Files\\KDemoA.dll"=dword:00000001
"C:\\Program Files\\Common Files\\KDemoB.dll"=-
[-HKEY_CURRENT_USER\Software\KDemoPre]
[HKEY_CURRENT_USER\Software\KDemoPre]
"Setting"="old"
"Obsolete"="bye"
[-HKEY_CURRENT_USER\Software\Varnok]
[HKEY_CURRENT_USER\Software\Varnok\Kelvora]
"LogLevel"=dword:00000007
REG
sed 's/$/\r/' "$work/before.reg.in" > "$program/before.reg"
wine_run reg import 'C:\KelvoraE2E\before.reg' >/dev/null 2>&1 || fail "reg import"
makensis -V1 -DOUTFILE="$program/kdemo_setup.exe" "$here/kdemo_setup.nsi" >/dev/null || fail "makensis"

snapshot before "$pf"

# -- scan: both registry categories of the setup, Program Files.
start=$SECONDS
cli scan KDemo --hklm --hkcu --program-files > "$work/scan.out" 2>&1 || { cat "$work/scan.out"; fail "scan"; }
echo "scan: $((SECONDS - start)) s"
[ "$(tr -d '\r\n' < "$program/Continue.dat")" = KDemo ] || fail "resume marker"

# -- the installation.
wine_run 'C:\KelvoraE2E\kdemo_setup.exe' /S || fail "setup"
[ -f "$pf/KDemo App/data/Ünïcødé 文件.txt" ] || fail "the setup did not run"

start=$SECONDS
cli rescan > "$work/rescan.out" 2>"$work/rescan.err" || { cat "$work/rescan.out" "$work/rescan.err"; fail "rescan"; }
echo "rescan: $((SECONDS - start)) s"
cat "$work/rescan.out"
[ ! -e "$program/Continue.dat" ] || fail "the marker outlived the rescan"

# -- the export holds what the setup did.
cli export KDemo 'C:\KelvoraE2E\KDemo.txt' --hex || fail "export"
iconv -f UTF-8 -t UTF-8 "$program/KDemo.txt" >/dev/null || fail "export is not UTF-8"
tr -d '\r' < "$program/KDemo.txt" > "$work/export.txt"
grep -c $'\r$' "$program/KDemo.txt" >/dev/null || fail "export lines lack CR LF"
expect() { grep -qF -- "$1" "$work/export.txt" || fail "export lacks: $1"; }
expect "'KDemo' changes"
expect "    (+)(FOLDER) C:\\Program Files\\KDemo App"
expect "      (+)(FILE) kdemo.exe = "
expect "    (+)(FOLDER) C:\\Program Files\\KDemo App\\data\\images"
expect "      (+)(FILE) Ünïcødé 文件.txt = "
expect "    (FOLDER) C:\\Program Files\\KDemoPre"
expect "      (*)(FILE) settings.ini"
expect "    (+)(REG KEY) HKEY_LOCAL_MACHINE\\Software\\KDemoVendor"
expect "      (+)(REG VAL) InstallDir = 'C:\\Program Files\\KDemo App'"
expect "      (+)(REG VAL) Version = 258"
expect "      (+)(REG VAL) Blob = 5A 5A 5A"
expect "    (+)(REG KEY) HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KDemo"
expect "      (INCREMENTED) (REG VAL) C:\\Program Files\\Common Files\\KDemoA.dll = 1 (incremented)"
expect "      (INCREMENTED) (REG VAL) C:\\Program Files\\Common Files\\KDemoB.dll = 1 (incremented)"
expect "    (+)(REG KEY) HKEY_CURRENT_USER\\Software\\KDemoVendor"
expect "    (REG KEY) HKEY_CURRENT_USER\\Software\\KDemoPre"
expect "      (*)(REG VAL) Setting"
expect "        'old' ==> 'new'"
expect "      (-)(REG VAL) Obsolete = 'bye'"
# Nothing is ignored: what Wine rewrote by itself meanwhile is there too, but
# all of it is activity, and the setup's changes are exactly its own.
awk '/^    \((REG KEY|FOLDER)\) / { group = substr($0, index($0, ") ") + 2); next }
     /   \[Activity: .*\]$/ { print > "/dev/stderr"; next }
     /^    \([+-]\)\((REG KEY|FOLDER)\) / { group = substr($0, index($0, ") ") + 2); print group; next }
     /^      \(/ && match($0, /\((REG VAL|FILE)\) /) { t = substr($0, RSTART + RLENGTH); sub(/ = .*/, "", t); print group "\\" t }' \
  "$work/export.txt" > "$work/setup.changes" 2> "$work/activity.changes"
grep -q 'KDemo' "$work/activity.changes" && { cat "$work/activity.changes"; fail "a change of the setup is marked as activity"; }
grep -v -e 'KDemo' "$work/setup.changes" && fail "a change that is not the setup's is not marked as activity"
cat > "$work/setup.expected" <<'EOF'
C:\Program Files\KDemo App
C:\Program Files\KDemo App\kdemo.exe
C:\Program Files\KDemo App\uninst.exe
C:\Program Files\KDemo App\data
C:\Program Files\KDemo App\data\readme.txt
C:\Program Files\KDemo App\data\Ünïcødé 文件.txt
C:\Program Files\KDemo App\data\images
C:\Program Files\KDemo App\data\images\logo.bmp
C:\Program Files\Common Files\KDemoB.dll
C:\Program Files\KDemoPre\settings.ini
HKEY_CURRENT_USER\Software\KDemoVendor
HKEY_CURRENT_USER\Software\KDemoVendor\KDemo
HKEY_CURRENT_USER\Software\KDemoVendor\KDemo\Theme
HKEY_CURRENT_USER\Software\KDemoPre\Setting
HKEY_CURRENT_USER\Software\KDemoPre\Obsolete
HKEY_LOCAL_MACHINE\Software\KDemoVendor
HKEY_LOCAL_MACHINE\Software\KDemoVendor\KDemo
HKEY_LOCAL_MACHINE\Software\KDemoVendor\KDemo\Blob
HKEY_LOCAL_MACHINE\Software\KDemoVendor\KDemo\InstallDir
HKEY_LOCAL_MACHINE\Software\KDemoVendor\KDemo\Version
HKEY_LOCAL_MACHINE\Software\KDemoVendor\KDemo\Plugins
HKEY_LOCAL_MACHINE\Software\KDemoVendor\KDemo\Plugins\(Default)
HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs\C:\Program Files\Common Files\KDemoA.dll
HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs\C:\Program Files\Common Files\KDemoB.dll
HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\KDemo
HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\KDemo\DisplayName
HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\KDemo\NoModify
HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\KDemo\UninstallString
EOF
diff -u "$work/setup.expected" "$work/setup.changes" || fail "the setup's changes are not exactly those it makes"
[ "$(grep -c 'Blob = ' "$work/export.txt")" = 1 ] || fail "Blob"
[ "$(grep 'Blob = ' "$work/export.txt" | grep -o '5A' | wc -l)" = 6144 ] || fail "the 6 KiB value is not whole"
cli show KDemo > "$work/show.txt" || fail "show"
grep -qF "(+)(REG VAL) Blob = ZZZZ" "$work/show.txt" || fail "show in text mode"

# -- without anyone to answer, the question is refused before it is shown.
status=0
cli uninstall KDemo > "$work/unanswered.out" 2>&1 || status=$?
[ "$status" = 2 ] || { cat "$work/unanswered.out"; fail "an unanswered uninstall ended with $status"; }
grep -qF -- "--yes" "$work/unanswered.out" || fail "no line asking for --yes"
if grep -qF "Are you sure" "$work/unanswered.out"; then fail "the question was shown before the refusal"; fi

# -- the uninstall, without questions; the unused shared DLL stays.
start=$SECONDS
status=0
cli uninstall KDemo --yes --remove-shared=no > "$work/uninstall.out" 2>&1 || status=$?
echo "uninstall: $((SECONDS - start)) s"
[ "$status" = 0 ] || { cat "$work/uninstall.out"; fail "uninstall ended with $status"; }
grep -qF "Uninstall complete without errors" "$work/uninstall.out" || fail "no summary line"
# The changed settings.ini cannot be brought back, and the run says so.
grep -qF "NOT RESTORED (contents not recorded): C:\\Program Files\\KDemoPre\\settings.ini" "$work/uninstall.out" ||
  fail "no line for the changed file"
grep -qE "Uninstall complete without errors, [0-9]+ warning" "$work/uninstall.out" || fail "no warning count"
grep -qF "DELETE SHARED FILE: C:\\Program Files\\Common Files\\KDemoB.dll ... Ok (Skipped)" "$work/uninstall.out" ||
  fail "shared file question"
grep -qF -- "-----" "$program/Log.txt" || fail "Log.txt"
cli list | grep -q '^KDemo .* 1$' || fail "use count"

snapshot after "$pf"
# What the uninstall rightly leaves: the changed file keeps its new contents
# (a file's contents are not kept), and the shared DLL that no program counts
# any more stays because the answer was No (its counter value is gone).
left='^/Program Files/(KDemoPre/settings.ini|Common Files/KDemoB.dll) '
grep -Ev "$left" "$work/before.files" > "$work/before.cmp"
grep -Ev "$left" "$work/after.files" > "$work/after.cmp"
diff -u "$work/before.cmp" "$work/after.cmp" || fail "folders differ"
grep -q '^/Program Files/Common Files/KDemoB.dll ' "$work/after.files" || fail "the unused shared DLL was removed"
diff -u "$work/before.reg" "$work/after.reg" || fail "registry differs"
echo "PASS"
