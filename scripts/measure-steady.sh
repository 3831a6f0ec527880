#!/usr/bin/env bash
# The real Corvela.exe in the steady state, under Wine on a virtual display: idle
# with a window in front for SECONDS (default 60), its CPU use and resident memory
# read from /proc; then COUNT (default 5000) hook messages posted from another
# process followed by the exit command, the time to work them off and the exit code.
#
# usage: scripts/measure-steady.sh [SECONDS [COUNT]]   (after scripts/build.sh)
# Prints its figures; exits 1 when it could not measure, when the idle program used 2 %
# of one core or more, when the flood and the exit took more than 10 s after the last
# post (the time includes the program's own exit), or when Corvela did not exit with 0.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${CORVELA_BUILD:-$root/build}"
build="$out/x86_64"
seconds="${1:-60}"
count="${2:-5000}"

export WINEPREFIX="$build/wineprefix-steady"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
"$root/cmake/wine-prefix.sh" "$WINEPREFIX"

work="$(mktemp -d)"
pids=()
cleanup() {
  WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "measure-steady: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

probe="$build/steady-probe.exe"
x86_64-w64-mingw32-gcc -O2 -o "$probe" "$root/scripts/steady-probe.c"

mkdir -p "$work/run"
(cd "$work/run" && exec wine "$build/Corvela.exe") >/dev/null 2>&1 &
corvela=$!
pids+=("$corvela")

# CPU ticks (user + system) and resident KiB of the Corvela process.
ticks() { awk '{print $14 + $15}' "/proc/$corvela/stat"; }
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$corvela/status"; }
hz="$(getconf CLK_TCK)"

mkfifo "$work/probe"
wine "$probe" "$seconds" "$count" >"$work/probe" 2>/dev/null &
pids+=($!)
exec 4<"$work/probe"
next_line() { line=""; read -r line <&4 || true; line="${line%$'\r'}"; }
next_line
[ "$line" = "ready" ] || { echo "measure-steady: $line" >&2; exit 1; }
grep -q 'Corvela.exe' "/proc/$corvela/cmdline" || {
  echo "measure-steady: process $corvela is not Corvela.exe" >&2; exit 1; }
t0="$(ticks)"; m0="$(rss)"; s0="$(date +%s.%N)"
next_line
t1="$(ticks)"; m1="$(rss)"; s1="$(date +%s.%N)"
next_line  # flooded
next_line
code=0
wait "$corvela" || code=$?
share="$(awk -v t0="$t0" -v t1="$t1" -v hz="$hz" -v s0="$s0" -v s1="$s1" \
  'BEGIN { printf "%.2f", 100 * (t1 - t0) / hz / (s1 - s0) }')"
awk -v t0="$t0" -v t1="$t1" -v hz="$hz" -v s0="$s0" -v s1="$s1" -v m0="$m0" -v m1="$m1" \
  'BEGIN { cpu = (t1 - t0) / hz; span = s1 - s0;
    printf "measure-steady: idle %.1f s with a window in front: %.2f s CPU (%.2f %% of one core)\n",
      span, cpu, 100 * cpu / span;
    printf "  resident memory %d KiB -> %d KiB (%+d KiB)\n", m0, m1, m1 - m0 }'
case "$line" in
  gone*) ms="${line#gone }"
    echo "  $count hook messages and the exit command worked off $ms ms after the last post; exit code $code" ;;
  *) echo "measure-steady: the flood was not worked off ($line)" >&2; exit 1 ;;
esac
fail=0
awk -v s="$share" 'BEGIN { exit !(s >= 2) }' && { echo "measure-steady: idle CPU $share % >= 2 %" >&2; fail=1; }
[ "$ms" -le 10000 ] || { echo "measure-steady: the flood took $ms ms > 10 s" >&2; fail=1; }
[ "$code" -eq 0 ] || { echo "measure-steady: exit code $code" >&2; fail=1; }
exit "$fail"
