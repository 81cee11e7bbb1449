#!/usr/bin/env bash
# End-to-end test of activity under Wine: two setups are monitored with
# kelvora-cli monitor while a background program writes before, during and
# after each (busy_writer_win.cpp). In the second monitoring every background
# change and everything Wine writes by itself must be activity and every
# change of the setup must not; an uninstall with the default choices then
# undoes the setup exactly and leaves the background's writes. Prints the
# precision and recall of the activity marks of both monitorings.
# Usage: busy_machine_test.sh <kelvora-cli.exe> <kelvora_busy_writer.exe>
set -euo pipefail
cli_exe="$(realpath "$1")"
writer_exe="$(realpath "$2")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/e2e_support.sh"

work="$KELVORA_BUILD/e2e-busy"
rm -rf "$work"
mkdir -p "$work"
program="$drive_c/KelvoraBusy"
data="$drive_c/KBgData"
cli() { wine_run 'C:\KelvoraBusy\kelvora-cli.exe' "$@"; }

clean() {
  rm -rf "$pf/KSetupApp1" "$pf/KSetupApp2" "$data"
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[-HKEY_LOCAL_MACHINE\Software\KSetupVendor]' '[-HKEY_CURRENT_USER\Software\KSetupVendor]' \
    '[-HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\KSetupApp1]' \
    '[-HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\KSetupApp2]' \
    '[-HKEY_LOCAL_MACHINE\Software\KBgEarly]' '[-HKEY_CURRENT_USER\Software\KBgCounter]' \
    '[-HKEY_CURRENT_USER\Software\KBgBulk]' \
    '[-HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\UserAssist\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}]' \
    > "$work/clean.reg"
  mkdir -p "$program"
  cp "$work/clean.reg" "$program/clean.reg"
  wine_run reg import 'C:\KelvoraBusy\clean.reg' >/dev/null 2>&1 || true
}
writer_pid=""
cleanup() {
  mkdir -p "$data" && touch "$data/stop"
  [ -n "$writer_pid" ] && wait "$writer_pid" 2>/dev/null || true
  clean
  rm -rf "$program"
}
trap cleanup EXIT

rm -rf "$program"
clean
mkdir -p "$program"
cp "$cli_exe" "$KELVORA_BUILD/Volatile.txt" "$program/"
cp "$writer_exe" "$program/busy_writer.exe"
for app in 1 2; do
  makensis -V1 -DAPP=$app -DOUTFILE="$program/kbusy_setup$app.exe" "$here/kbusy_setup.nsi" >/dev/null || fail "makensis"
done

# Many keys of the background's under HKEY_CURRENT_USER: the first scan
# walks them after HKEY_LOCAL_MACHINE and before the setup starts, long
# enough for the background's write (a) into HKEY_LOCAL_MACHINE to fall in
# between.
{ printf '%s\n' 'Windows Registry Editor Version 5.00' ''
  for i in $(seq 4000); do printf '[HKEY_CURRENT_USER\\Software\\KBgBulk\\k%d]\n"v"=dword:00000001\n\n' "$i"; done
} | reg_import || fail "reg import"
# The background program, running through both monitorings, on the CPU that
# the monitoring does not use.
taskset -c 1 "$WINE64" 'C:\KelvoraBusy\busy_writer.exe' 'C:\KelvoraBusy' </dev/null >"$work/writer.out" 2>&1 &
writer_pid=$!
for _ in $(seq 100); do [ -f "$data/busy.log" ] && break; sleep 0.1; done
[ -f "$data/busy.log" ] || fail "the background program did not start"

targets=(--hklm --hkcu --program-files --other 'C:\KBgData')
# classify NAME: the changes of show NAME as "class activity path" lines:
# class is setup (KSetup), background (KBg) or wine (anything else);
# activity is 1 for a change marked as activity.
classify() {
  cli show "$1" | tr -d '\r' > "$work/$1.show"
  awk '
    { line = $0; act = (line ~ /   \[Activity: .*\]$/) ? 1 : 0; sub(/   \[Activity: .*\]$/, "", line) }
    line ~ /^    \((REG KEY|FOLDER)\) / { group = substr(line, index(line, ") ") + 2); next }
    line ~ /^    \([+-]\)\((REG KEY|FOLDER)\) / { path = substr(line, index(line, ") ") + 2); group = path; emit(act, path); next }
    line ~ /^      \(/ && match(line, /\((REG VAL|FILE)\) /) {
      text = substr(line, RSTART + RLENGTH); sub(/ = .*/, "", text); emit(act, group "\\" text)
    }
    function emit(act, path) { print (path ~ /KSetup/ ? "setup" : (path ~ /KBg/ ? "background" : "wine")), act, path }
  ' "$work/$1.show" > "$work/$1.classes"
}
# report NAME: precision and recall of the activity marks.
report() {
  awk -v name="$1" '
    { total[$1]++; if ($2 == 1) { marked++; if ($1 != "setup") right++ } }
    END {
      other = total["background"] + total["wine"]
      printf "%s: %d setup, %d background, %d Wine changes; marked as activity: %d, of which right %d; ", name,
             total["setup"], total["background"], total["wine"], marked, right
      printf "precision %.2f, recall %.2f\n", marked ? right / marked : 1, other ? right / other : 1
    }' "$work/$1.classes" | tee -a "$work/report.txt"
}

for app in 1 2; do
  cli monitor "KSetupApp$app" "${targets[@]}" -- "C:\\KelvoraBusy\\kbusy_setup$app.exe" /S \
    > "$work/monitor$app.out" 2>&1 || { cat "$work/monitor$app.out"; fail "monitor $app"; }
  grep -q '^The setup ended with exit code 0\.' "$work/monitor$app.out" || { cat "$work/monitor$app.out"; fail "exit code $app"; }
  classify "KSetupApp$app"
  report "KSetupApp$app"
done

# The second monitoring: every setup change is the setup's, everything else
# is activity, and each of the background's four kinds of writes is there.
c="$work/KSetupApp2.classes"
if awk '($1 == "setup") == ($2 == 1)' "$c" | grep -q .; then
  awk '($1 == "setup") == ($2 == 1)' "$c"
  fail "the second monitoring marks these changes wrongly"
fi
for place in 'KBgEarly\Before' 'KBgCounter\Count' 'UserAssist\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\Count\KBgTool' \
             'KBgData\busy.log' 'KBgData\after'; do
  grep -qF "$place" "$c" || { cat "$c"; fail "the background's write to $place is not among the changes"; }
done
grep '^setup' "$c" | cut -d' ' -f3- | sort > "$work/setup2.txt"
sort > "$work/setup2.expected" <<'EOF2'
C:\Program Files\KSetupApp2
C:\Program Files\KSetupApp2\app.exe
C:\Program Files\KSetupApp2\readme.txt
C:\Program Files\KSetupApp2\uninst.exe
HKEY_CURRENT_USER\Software\KSetupVendor\App2
HKEY_CURRENT_USER\Software\KSetupVendor\App2\Theme
HKEY_LOCAL_MACHINE\Software\KSetupVendor\App2
HKEY_LOCAL_MACHINE\Software\KSetupVendor\App2\InstallDir
HKEY_LOCAL_MACHINE\Software\KSetupVendor\App2\Version
HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\KSetupApp2
HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\KSetupApp2\DisplayName
HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\KSetupApp2\UninstallString
EOF2
diff -u "$work/setup2.expected" "$work/setup2.txt" || fail "the setup's changes are not exactly those it makes"

# The default undo takes the setup's changes back and leaves the rest.
cli uninstall KSetupApp2 --yes > "$work/uninstall.out" 2>&1 || { cat "$work/uninstall.out"; fail "uninstall"; }
[ ! -e "$pf/KSetupApp2" ] || fail "the setup's folder is still there"
reg_dump 'HKLM\Software\KSetupVendor' | grep -q 'App2' && fail "the setup's key is still there"
reg_dump 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KSetupApp2' | grep -q . && fail "the uninstall key is still there"
early=$(grep -o 'KBgEarly\\Before[0-9]*$' "$c" | head -1 | cut -d'\' -f2)
reg_dump 'HKLM\Software\KBgEarly' | grep -q "\"$early\"" || fail "the background's early value $early was undone"
reg_dump 'HKCU\Software\KBgCounter' | grep -q '"Count"' || fail "the background's counter was undone"
ls "$data"/after*.txt >/dev/null 2>&1 || fail "the background's late files were undone"
[ -d "$pf/KSetupApp1" ] || fail "the first setup's folder went too"
touch "$data/stop"
wait "$writer_pid" 2>/dev/null || true
writer_pid=""
grep -Eq '^([0-9]+) early, \1 held' "$work/writer.out" || { cat "$work/writer.out"; fail "the background did not hold the monitoring"; }
cat "$work/report.txt" "$work/writer.out"
echo "PASS"
