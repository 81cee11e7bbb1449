#!/usr/bin/env bash
# Reads the compiled help file back with chmls (fp-utils): for every help
# context of the forms' tables, cshelp.txt inside the file has a
# ".topic N" with text under it, and the topic page exists with a heading.
#   help_file_test.sh Kelvora.chm form.cpp...
# A table row with a help context reads
#   {idControl, "name", "English text" (or nullptr), number, "page.htm#anchor"},
set -euo pipefail
chm="$1"
shift
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
extract() { chmls extract "$chm" "/$1" "$work/$1" >/dev/null 2>&1 && [ -s "$work/$1" ]; }

extract cshelp.txt || { echo "FAIL: no cshelp.txt in $chm"; exit 1; }
tr -d '\r' <"$work/cshelp.txt" >"$work/popups"
failures=0
count=0
while read -r number control page; do
  count=$((count + 1))
  text="$(awk -v t=".topic $number" 'found { print; exit } $0 == t { found = 1 }' "$work/popups")"
  if [ -z "$text" ] || [ "${text:0:1}" = "." ]; then
    echo "FAIL: no pop-up text for $control ($number)"; failures=$((failures + 1))
  fi
  if ! { [ -s "$work/$page" ] || extract "$page"; } || ! grep -q '<h1>' "$work/$page"; then
    echo "FAIL: no topic $page for $control ($number)"; failures=$((failures + 1))
  fi
done < <(grep -ohE '"[A-Za-z]+", ("([^"\\]|\\.)*"|nullptr), [0-9]+, "[a-z_]+\.htm' "$@" |
  sed -E 's/^"([A-Za-z]+)", .*, ([0-9]+), "([a-z_]+\.htm)$/\2 \1 \3/')
[ "$count" -gt 50 ] || { echo "FAIL: only $count help contexts read from $*"; exit 1; }
echo "$count help contexts: $((count * 2 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
