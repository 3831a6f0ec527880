#!/usr/bin/env bash
# Compiles boost_serialization and boost_filesystem as static libraries for one
# mingw-w64 target from the sources that setup.sh extracted. The result lives in
# the cache outside the work tree and is reused by every later build.
# usage: build-boost.sh TRIPLE   (x86_64-w64-mingw32 or i686-w64-mingw32)
set -euo pipefail
triple="$1"
CACHE_DIR="${CORVELA_CACHE:-/var/cache/corvela}"
src="$CACHE_DIR/boost-src"
out="$CACHE_DIR/boost-$triple"
cxx="$triple-g++-posix"
ar="$triple-gcc-ar-posix"
stamp="$out/.stamp"
want="$($cxx --version | head -n 1) / 3"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then
  exit 0
fi
rm -rf "$out"
mkdir -p "$out/obj/serialization" "$out/obj/filesystem" "$out/lib"
flags=(-std=c++17 -O2 -DNDEBUG -D_WIN32_WINNT=0x0601 -DUNICODE -D_UNICODE
       -DBOOST_ALL_NO_LIB -DBOOST_FILESYSTEM_NO_CXX20_ATOMIC_REF
       -DBOOST_SERIALIZATION_STATIC_LINK -DBOOST_FILESYSTEM_STATIC_LINK
       -I"$src/include" -w)

# Narrow archives only: the wide-character archives are not used.
ser=()
for f in "$src"/src/serialization/*.cpp; do
  case "$(basename "$f")" in
    *_w*|xml_wgrammar.cpp|text_w*|binary_w*) ;;
    *) ser+=("$f") ;;
  esac
done
fs=("$src"/src/filesystem/*.cpp)

export cxx out flags_str="${flags[*]}"
printf 'serialization %s\n' "${ser[@]}" > "$out/jobs"
printf 'filesystem %s\n' "${fs[@]}" >> "$out/jobs"
xargs -P "$(nproc)" -L 1 bash -c 'set -e; eval "flags=($flags_str)"; "$cxx" "${flags[@]}" -c "$1" -o "$out/obj/$0/$(basename "${1%.cpp}").o"' < "$out/jobs"
"$ar" rcs "$out/lib/libboost_serialization.a" "$out"/obj/serialization/*.o
"$ar" rcs "$out/lib/libboost_filesystem.a" "$out"/obj/filesystem/*.o
rm -rf "$out/obj" "$out/jobs"
echo "$want" > "$stamp"
echo "boost: built $out (${#ser[@]} serialization, ${#fs[@]} filesystem sources)"
