#!/usr/bin/env bash
# Checks a built executable's image: machine type, GUI subsystem, the exported
# log variables and the shared data section that holds them.
# usage: check-image.sh OBJDUMP EXE MACHINE   (MACHINE: x86-64 or i386)
set -u
objdump="$1" exe="$2" machine="$3"
fail=0
check() { if ! grep -q -E "$2" <<<"$3"; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi; }
[ -f "$exe" ] || { echo "FAIL: $exe missing"; exit 1; }
headers="$("$objdump" -p "$exe")"
sections="$("$objdump" -h "$exe")"
check "file format pei-$machine" "file format pei-$machine" "$("$objdump" -f "$exe")"
check "GUI subsystem" "^Subsystem[[:space:]]+0*2[[:space:]]" "$headers"
for name in s_fileOut cm_level s_dbgOut cm_dllOut cm_dbgFile; do
  check "export $name" "\[[[:space:]]*[0-9]+\][[:space:]]+$name\$" "$headers"
done
check "section .QrLogSg is shared data" "\.QrLogSg" "$sections"
flags="$(grep -A1 -E '\.QrLogSg' <<<"$sections" | tail -n 1)"
check ".QrLogSg flags DATA and SHARED" "DATA.*SHARED|SHARED.*DATA" "$flags"
deps="$("$objdump" -p "$exe" | grep 'DLL Name' | tr -d '\t')"
for bad in libstdc++ libgcc libwinpthread; do
  if grep -qi "$bad" <<<"$deps"; then echo "FAIL: depends on $bad"; fail=1; fi
done
exit "$fail"
