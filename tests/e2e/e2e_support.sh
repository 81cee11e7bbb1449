# Sourced by the end-to-end tests under Wine: the Wine environment of the
# build (KELVORA_BUILD) and the helpers that run programs and record the
# state that the tests compare. A test sets `work`, a Linux folder of its own.
: "${KELVORA_BUILD:?KELVORA_BUILD must name the Windows build folder}"
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"
# Already running under tools/test.sh, where starting it again fails harmlessly.
kelvora_wine_start || true

drive_c="$WINEPREFIX/drive_c"
pf="$drive_c/Program Files"

fail() { echo "FAIL: $*" >&2; exit 1; }
wine_run() { taskset -c 0 "$WINE64" "$@" </dev/null; }
# A Linux path as Windows programs see it: drive Z: is the root.
winpath() { local p="Z:$1"; echo "${p//\//\\}"; }
# A registry branch exported as UTF-8 text.
reg_dump() {
  wine_run reg export "$1" "$(winpath "$work/dump.reg")" /y >/dev/null 2>&1 || true
  [ -f "$work/dump.reg" ] || return 0
  iconv -f UTF-16LE -t UTF-8 "$work/dump.reg" | tr -d '\r' | grep -v '^$'
  rm -f "$work/dump.reg"
}
# Imports registry text (Windows' .reg format, written with LF) from stdin,
# as regedit writes it: UTF-16 with a byte order mark, so that hex(1) data is
# UTF-16 too.
reg_import() {
  { printf '\xff\xfe'; sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } > "$work/import.reg"
  wine_run reg import "$(winpath "$work/import.reg")" >/dev/null 2>&1
}

# snapshot NAME FOLDER...: the state that the tests compare, in
# $work/NAME.reg and $work/NAME.files: the branches HKLM\Software and
# HKCU\Software, and every file and folder below the given folders with its
# size (as seen from C:, such as "/Program Files/App/app.exe f 1024"). Left out: what Wine writes by itself (HKCU\Software\Wine, and the
# NetworkCards list it fills the first time any process asks for the network
# adapters) and Kelvora's own settings.
snapshot() {
  local name="$1" folder
  shift
  { reg_dump 'HKLM\Software'; reg_dump 'HKCU\Software'; } |
    awk '/^\[/ { key = tolower($0)
                 skip = key ~ /^\[hkey_current_user\\software\\(wine|varnok)(\\|\])/ ||
                        key ~ /^\[hkey_local_machine\\software\\(wow6432node\\)?microsoft\\windows nt\\currentversion\\networkcards\\/ }
         !skip' > "$work/$name.reg"
  for folder in "$@"; do
    (cd "$folder" && find . -type d -printf '%p d\n' -o -printf '%p %y %s\n') |
      sed "s|^\.|${folder#"$drive_c"}|"
  done | sort > "$work/$name.files"
}
