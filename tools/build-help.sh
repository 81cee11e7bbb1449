#!/usr/bin/env bash
# Compiles the help sources into the HTML Help file the program opens:
#   build-help.sh HELP_SOURCE_FOLDER OUTPUT.chm
# chmcmd (Debian's fp-utils) writes the time of day into two places of the
# file (the ITSF header and the #SYSTEM entry 10); both are zeroed so that
# the same sources give the same bytes.
set -euo pipefail
src="$1"
out="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$src"/* "$work"/
(cd "$work" && chmcmd --no-html-scan Kelvora.hhp >chmcmd.log 2>&1) || { cat "$work/chmcmd.log"; exit 1; }
chm="$work/Kelvora.chm"

u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
zero4() { printf '\0\0\0\0' | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }

# The ITSF header's time stamp.
zero4 "$chm" 16
# #SYSTEM lies uncompressed in content section 0, whose place the ITSF
# header gives at 0x58; its entries are (code, length, data) after a
# version dword.
section0="$(u32 "$chm" 88)"
read -r at size < <(chmls -p list "$chm" 2>/dev/null | awk '$4 == "/#SYSTEM" { print $2, $3 }')
pos=$((section0 + at + 4))
end=$((section0 + at + size))
while [ "$pos" -lt "$end" ]; do
  code="$(u16 "$chm" "$pos")"
  len="$(u16 "$chm" $((pos + 2)))"
  if [ "$code" -eq 10 ] && [ "$len" -ge 4 ]; then zero4 "$chm" $((pos + 4)); fi
  pos=$((pos + 4 + len))
done
mv "$chm" "$out"
