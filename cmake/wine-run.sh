#!/usr/bin/env bash
# Runs one Windows test executable under Wine for CTest.
# The prefix belongs to the build (created on first use, then reused); output
# goes through files because Wine's background processes would otherwise hold
# CTest's pipe open. Exits with the program's own exit code.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ "${1:-}" = "--prefix" ]; then export WINEPREFIX="$2"; shift 2; fi
: "${WINEPREFIX:?usage: wine-run.sh --prefix DIR program.exe [args]}"
# A test that CTest placed on a desk (scripts/test.sh) gets that desk's display
# and Wine prefix: desk 0 uses the build's prefix itself, desk N "<prefix>-N".
if [ -n "${CTEST_RESOURCE_GROUP_COUNT:-}" ] && [ -n "${CTEST_RESOURCE_GROUP_0_DESK:-}" ]; then
  desk="${CTEST_RESOURCE_GROUP_0_DESK#id:}"
  desk="${desk%%,*}"
  read -r -a desk_displays <<<"${CORVELA_DISPLAYS:-}"
  if [ -n "${desk_displays[$desk]:-}" ]; then export DISPLAY=":${desk_displays[$desk]}"; fi
  if [ "$desk" != 0 ]; then WINEPREFIX="$WINEPREFIX-$desk"; fi
fi
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
"$here/wine-prefix.sh" "$WINEPREFIX" || exit 1

# Every test program writes this line first (tests/TestStart.cpp).
start_line="test program started"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
run() {
  wine "$@" </dev/null >"$tmp/out" 2>"$tmp/err"
  code=$?
  head -n 1 "$tmp/out" | tr -d '\r' | grep -q -x -F "$start_line"
}
# Now and then Wine fails to start a process at all. Only then, when the program's
# first line is missing, is it started once more; the second start is said on the
# test's output and counted in $CORVELA_SECOND_STARTS (scripts/test.sh). A program
# that started and then failed, however early, is never run again.
if ! run "$@"; then
  echo "wine-run: Wine did not start $1 (exit code $code, no start line); Wine said:"
  tail -n 20 "$tmp/err"
  echo "wine-run: starting $1 a second time"
  if [ -n "${CORVELA_SECOND_STARTS:-}" ]; then echo "$1" >>"$CORVELA_SECOND_STARTS"; fi
  if ! run "$@"; then
    echo "wine-run: Wine did not start $1 the second time either (exit code $code)"
    [ "$code" -ne 0 ] || code=1
  fi
fi
# The start line is the wrapper's: the test's output (and CTest's test listing) goes on without it.
sed "1{/^${start_line}\r\?\$/d}" "$tmp/out"
grep -v -E '^(fixme|err|warn):|^[0-9a-f]{4}:(fixme|err|warn)' "$tmp/err" >&2
exit "$code"
