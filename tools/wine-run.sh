#!/bin/sh
# ctest's emulator for the Windows test executables: runs one under Wine.
#
# A Windows program may start Wine's background processes (the desktop's
# explorer, services); they inherit its output streams and outlive it. Were
# those streams ctest's pipe, ctest would wait for them to close, seconds per
# test, or for ever. So the program writes into a file, copied out after it ends.
#
# On a loaded machine Wine now and then fails to start a program: it dies
# before main, with no output. The test programs' main prints the line
# kelvora-test-main first (tests/support/test_main.cpp), so a test program
# whose output lacks it never ran and gets one more run, said loudly here and
# in $KELVORA_RETRY_LOG when that is set. A test that fails on its own merits
# has printed the line and fails at once.
marker=kelvora-test-main
out=$(mktemp)
run() {
  /usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null
  rc=$?
}
started() { grep -q "^$marker" "$out"; }
run "$@"
case "$1" in
*_tests.exe)
  if ! started; then
    what=$(printf '%s\n' "$@" | sed -n 's/^--gtest_filter=//p')
    [ -n "$what" ] || what="$(basename "$1") $2"
    note="wine-run: RETRY $what: Wine died before main (exit code $rc, $(wc -c <"$out") bytes of output); running it once more"
    echo "$note" >&2
    [ -n "${KELVORA_RETRY_LOG:-}" ] && echo "$note" >>"$KELVORA_RETRY_LOG"
    sed 's/^/wine-run:   /' "$out" >&2
    run "$@"
  fi
  # Without the marker line: test discovery reads this output.
  sed "/^$marker/d" "$out"
  ;;
*) cat "$out" ;;
esac
rm -f "$out"
exit $rc
