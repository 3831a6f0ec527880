#!/usr/bin/env bash
# Builds both executables and runs every test under Wine.
# Tests run on CORVELA_TEST_SLOTS desks at once (4 by default): each desk is a
# virtual X display of its own with a Wine prefix of its own, so windows,
# focus and foreground of one test never meet those of another.
# usage: scripts/test.sh [ctest arguments...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${CORVELA_BUILD:-$root/build}"  # where the two builds go
"$root/scripts/build.sh"
build="$out/x86_64"
slots="${CORVELA_TEST_SLOTS:-4}"

prefix_of() { if [ "$1" -eq 0 ]; then echo "$build/wineprefix"; else echo "$build/wineprefix-$1"; fi; }
stop_wine() {
  for ((i = 0; i < slots; i++)); do
    WINEPREFIX="$(prefix_of "$i")" wineserver -k 2>/dev/null || true
    WINEPREFIX="$(prefix_of "$i")" wineserver -w 2>/dev/null || true
  done
}
xvfb_pids=()
cleanup() {
  stop_wine
  for pid in "${xvfb_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
work="$(mktemp -d)"
trap cleanup EXIT
stop_wine

displays=()
for ((i = 0; i < slots; i++)); do
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display$i" >/dev/null 2>&1 &
  xvfb_pids+=($!)
done
for ((i = 0; i < slots; i++)); do
  for _ in $(seq 100); do [ -s "$work/display$i" ] && break; sleep 0.1; done
  [ -s "$work/display$i" ] || { echo "test.sh: Xvfb did not start" >&2; exit 1; }
  displays+=("$(head -n 1 "$work/display$i")")
done
{
  printf '{"version":{"major":1,"minor":0},"local":[{"desk":['
  for ((i = 0; i < slots; i++)); do printf '%s{"id":"%d","slots":1}' "$([ "$i" -gt 0 ] && echo ,)" "$i"; done
  printf ']}]}\n'
} >"$work/desks.json"

export CORVELA_DISPLAYS="${displays[*]}"
export DISPLAY=":${displays[0]}"
export WINEPREFIX="$(prefix_of 0)"
ctest_run() {
  ctest --test-dir "$build" --output-on-failure --timeout 300 \
    --resource-spec-file "$work/desks.json" -j "$slots" "$@"
}
# Programs that Wine did not start and the wrapper started a second time (cmake/wine-run.sh).
export CORVELA_SECOND_STARTS="$work/second-starts"
: >"$CORVELA_SECOND_STARTS"
failed_list="$build/Testing/Temporary/LastTestsFailed.log"
set +e
bench=0
if [ "$#" -eq 0 ]; then
  # The benchmarks first and alone, showing their figures; then everything else.
  rm -f "$failed_list"
  ctest_run -L bench -V | sed -n '/^[0-9]*: /s/^[0-9]*: //p'
  bench=${PIPESTATUS[0]}
  failed_benchmarks=""
  if [ "$bench" -ne 0 ]; then
    failed_benchmarks="$(sed 's/^[0-9]*://' "$failed_list" 2>/dev/null | paste -s -d ' ' -)"
  fi
  # The benchmarks' Wine server may still be on its way out: a test that starts
  # against a server that is exiting dies at once. Start the tests on fresh ones.
  stop_wine
  ctest_run -LE bench
else
  ctest_run "$@"
fi
code=$?
set -e
if [ "$bench" -ne 0 ]; then
  # Said last, so that the rest's "100% tests passed" cannot hide it.
  echo
  echo "test.sh: BENCHMARK FAILED: ${failed_benchmarks:-see the figures above} (its output is at the top)"
  code=1
fi
second="$(sort "$CORVELA_SECOND_STARTS" | uniq -c | awk '{printf "%s%s x%s", sep, $2, $1; sep=", "}')"
echo "test.sh: $(wc -l <"$CORVELA_SECOND_STARTS") second start(s) of a program that Wine did not start${second:+: $second}"
exit "$code"
