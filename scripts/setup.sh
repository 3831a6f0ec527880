#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian machine
# and fetches the Boost sources from Debian's own source package.
# Safe to run again: finished steps are skipped.
set -euo pipefail

CACHE_DIR="${CORVELA_CACHE:-/var/cache/corvela}"
PACKAGES=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  mingw-w64-tools cmake ninja-build googletest dpkg-dev
  wine wine64 xvfb xauth fonts-ipafont-gothic fonts-ipafont-mincho
  imagemagick xcompmgr x11-utils python3
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# Debian's source archive for the machine's own suites (Boost comes from there),
# from the same archives, mirrors or proxies its binary entries use.
src_list=/etc/apt/sources.list.d/corvela-src.sources
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
src_entries=$("$(dirname "${BASH_SOURCE[0]}")/apt-src-entries.sh" "$codename")
if [ -z "$src_entries" ]; then
  echo "setup: no apt entry serves suite $codename; cannot add its sources" >&2
  exit 1
fi
need_update=0
if [ ! -f "$src_list" ] || [ "$(cat "$src_list")" != "$src_entries" ]; then
  printf '%s\n' "$src_entries" | as_root tee "$src_list" >/dev/null
  need_update=1
fi

if [ "${#missing[@]}" -gt 0 ] || [ "$need_update" -eq 1 ]; then
  as_root apt-get update -qq
fi
if [ "${#missing[@]}" -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Boost 1.81 sources: only the headers and the two compiled libraries we use.
boost_src="$CACHE_DIR/boost-src"
if [ ! -f "$boost_src/.done" ]; then
  as_root mkdir -p "$CACHE_DIR"
  as_root chown "$(id -u):$(id -g)" "$CACHE_DIR"
  dl="$CACHE_DIR/boost-dl"
  rm -rf "$dl" "$boost_src"
  mkdir -p "$dl" "$boost_src"
  (cd "$dl" && apt-get source --download-only -qq boost1.81)
  tarball=$(ls "$dl"/boost1.81_*.orig.tar.* | head -n 1)
  # The tarball has Boost's modular layout: merge every libs/<lib>/include/boost
  # (and libs/numeric/<lib>/include/boost) into one include/boost tree, and keep
  # the sources of serialization and filesystem.
  tar -xf "$tarball" -C "$boost_src" --wildcards --no-anchored \
    --transform='s,^[^/]*/libs/numeric/[^/]*/include/,include/,;s,^[^/]*/libs/[^/]*/include/,include/,;s,^[^/]*/libs/\(serialization\|filesystem\)/src/,src/\1/,' \
    '*/libs/*/include/boost/*' '*/libs/serialization/src/*' '*/libs/filesystem/src/*'
  rm -rf "$dl"
  touch "$boost_src/.done"
fi
echo "setup: ready (boost sources in $boost_src)"
