#!/usr/bin/env bash
# Builds the Release programs and makes the two downloads of Kelvora:
#   Kelvora-<version>-win64.zip   the portable program
#   Kelvora-<version>-setup.exe   the setup program (NSIS)
# The same commit gives the same bytes: the programs carry no link time, and
# every packed file carries the commit's time (SOURCE_DATE_EPOCH when set).
#
# Usage: bash tools/package.sh [--no-build]
#   KELVORA_BUILD  the Windows build folder (default build/windows)
#   KELVORA_DIST   the folder of the downloads (default build/dist)
#   --no-build     package what the build folder holds (the tests use it)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KELVORA_BUILD:-$root/build/windows}"
dist="${KELVORA_DIST:-$root/build/dist}"

if [ "${1:-}" != "--no-build" ]; then
  bash "$root/tools/setup-packages.sh"
  (cd "$root" && cmake --preset windows -B "$build" >/dev/null)
  cmake --build "$build" --target Kelvora kelvora-cli
fi
version="$(sed -n 's/^#define KELVORA_VERSION "\(.*\)"$/\1/p' "$build/generated/kelvora_version.h")"
[ -n "$version" ] || { echo "no version in $build/generated/kelvora_version.h" >&2; exit 2; }
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  # Outside a git checkout, the earliest time a zip file can hold.
  SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)"
fi
export TZ=UTC LC_ALL=C

# -- the folder as it is installed.
stage="$dist/.stage"
rm -rf "$stage"
mkdir -p "$stage"
trap 'rm -rf "$stage"' EXIT
cp "$build/Kelvora.exe" "$build/kelvora-cli.exe" "$stage/"
# Text files for Notepad: CR LF.
sed "s/@VERSION@/$version/g; s/\$/\r/" "$root/packaging/README.txt" > "$stage/README.txt"
sed 's/$/\r/' "$root/LICENSE" > "$stage/LICENSE.txt"
# The catalogue of the places Windows changes by itself, for Notepad too.
sed 's/$/\r/' "$build/Volatile.txt" > "$stage/Volatile.txt"
# The files that the build puts beside the programs when it makes them: the
# help file and the language files. Whatever of them exists is packed.
for help in Kelvora.chm Kelvora.hlp; do
  [ -f "$build/$help" ] && cp "$build/$help" "$stage/"
done
if compgen -G "$build/Translations/*.lng" >/dev/null; then
  mkdir "$stage/Translations"
  cp "$build"/Translations/*.lng "$stage/Translations/"
fi
files=()
while IFS= read -r f; do files+=("$f"); done < <(cd "$stage" && find . -type f | sed 's|^\./||' | sort)
# Info-ZIP's zip does not mark a UTF-8 name as such, and Windows would read
# it in the OEM code page: every packed name is ASCII.
for f in "${files[@]}"; do
  if [[ "$f" = *[^\ -~]* ]]; then echo "package.sh: '$f': give it a name in ASCII" >&2; exit 2; fi
done
find "$stage" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

# -- the zip: names in sorted order, no extra fields (owners, exact times).
zip="$dist/Kelvora-$version-win64.zip"
rm -f "$zip"
(cd "$stage" && printf '%s\n' "${files[@]}" | zip -q -X -9 "$zip" -@)

# -- the setup: files.nsh installs and removes the staged files one by one.
{
  echo '!macro KelvoraInstallFiles'
  dir=""
  for f in "${files[@]}"; do
    d="$(dirname "$f")"
    if [ "$d" != "$dir" ]; then
      dir="$d"
      if [ "$d" = . ]; then echo '  SetOutPath "$INSTDIR"'; else echo "  SetOutPath \"\$INSTDIR\\${d//\//\\}\""; fi
    fi
    echo "  File \"\${STAGE}/$f\""
  done
  echo '  SetOutPath "$INSTDIR"'
  echo '!macroend'
  echo '!macro KelvoraUninstallFiles'
  for f in "${files[@]}"; do echo "  Delete \"\$INSTDIR\\${f//\//\\}\""; done
  (cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r) |
    while IFS= read -r d; do echo "  RMDir \"\$INSTDIR\\${d//\//\\}\""; done
  echo '!macroend'
} > "$stage/files.nsh"
size_kb=$(( ($(cat "${files[@]/#/$stage/}" | wc -c) + 1023) / 1024 ))
setup="$dist/Kelvora-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" -DSIZE_KB="$size_kb" \
  "$root/packaging/kelvora.nsi" >/dev/null

(cd "$dist" && sha256sum "$(basename "$zip")" "$(basename "$setup")")
