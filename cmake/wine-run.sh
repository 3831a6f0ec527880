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
tmp="$(mktemp -d)"
wine "$@" </dev/null >"$tmp/out" 2>"$tmp/err"
code=$?
# Now and then Wine fails to start a process at all: it ends at once with no line of
# output. Show what Wine said and start the program once more; a program that really
# fails that way fails the second time too.
if [ "$code" -ne 0 ] && [ ! -s "$tmp/out" ]; then
  echo "wine-run: $1 did not start (exit code $code); Wine said:" >&2
  tail -n 20 "$tmp/err" >&2
  echo "wine-run: starting it once more" >&2
  wine "$@" </dev/null >"$tmp/out" 2>"$tmp/err"
  code=$?
fi
cat "$tmp/out"
grep -v -E '^(fixme|err|warn):|^[0-9a-f]{4}:(fixme|err|warn)' "$tmp/err" >&2
rm -rf "$tmp"
exit "$code"
