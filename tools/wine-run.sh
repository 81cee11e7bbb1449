#!/bin/sh
# ctest's emulator for the Windows test executables: runs one under Wine.
#
# A Windows program may start Wine's background processes (the desktop's
# explorer, services); they inherit its output streams and outlive it. Were
# those streams ctest's pipe, ctest would wait for them to close, seconds per
# test, or for ever. So the program writes into a file, copied out after it ends.
out=$(mktemp)
/usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
