#!/usr/bin/env bash
# Builds Corvela.exe (x86_64) and Corvela32.exe (i686), and the tests.
# usage: scripts/build.sh        (set-up included: packages, Boost sources)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${CORVELA_BUILD:-$root/build}"  # where the two builds go
"$root/scripts/setup.sh"
jobs="$(nproc)"
for triple in x86_64-w64-mingw32 i686-w64-mingw32; do
  "$root/scripts/build-boost.sh" "$triple" &
done
wait
configure() { # triple dir extra...
  local triple="$1" dir="$2"; shift 2
  cmake -S "$root" -B "$dir" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$triple.cmake" "$@" >/dev/null
}
configure i686-w64-mingw32 "$out/i686"
cmake --build "$out/i686" -j "$jobs"
configure x86_64-w64-mingw32 "$out/x86_64" -DCORVELA32_EXE="$out/i686/Corvela32.exe"
cmake --build "$out/x86_64" -j "$jobs"
echo "built: $out/x86_64/Corvela.exe $out/i686/Corvela32.exe"
