#!/usr/bin/env bash
# Builds both executables and runs every test under Wine inside a virtual display.
# usage: scripts/test.sh [ctest arguments...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${CORVELA_BUILD:-$root/build}"  # where the two builds go
"$root/scripts/build.sh"
build="$out/x86_64"
export WINEPREFIX="$build/wineprefix"
wineserver -k 2>/dev/null || true
set +e
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir "$build" --output-on-failure --timeout 300 "$@"
code=$?
set -e
wineserver -k 2>/dev/null || true
exit "$code"
