#!/usr/bin/env bash
# Prints deb-src entries (deb822) for the suite given and its -updates, taken from the
# machine's own enabled binary entries: their archive addresses, components and keys.
# Reads both formats: one-line sources.list files and deb822 .sources files.
# usage: scripts/apt-src-entries.sh CODENAME [APT_DIR]
set -euo pipefail
codename="$1"
apt_dir="${2:-/etc/apt}"
files=()
[ -f "$apt_dir/sources.list" ] && files+=("$apt_dir/sources.list")
for f in "$apt_dir"/sources.list.d/*.list "$apt_dir"/sources.list.d/*.sources; do
  [ -f "$f" ] && [ "$(basename "$f")" != corvela-src.sources ] && files+=("$f")
done
[ "${#files[@]}" -gt 0 ] || exit 0

awk -v codename="$codename" '
function wanted(suite) { return suite == codename || suite == codename "-updates" }
function emit(uris, suites, comps, key,   n, i, list, kept) {
  n = split(suites, list, /[ \t]+/); kept = ""
  for (i = 1; i <= n; i++) if (wanted(list[i])) kept = kept (kept == "" ? "" : " ") list[i]
  if (kept == "" || uris == "" || comps !~ /(^|[ \t])main([ \t]|$)/) return
  if (printed++) print ""
  print "Types: deb-src"; print "URIs: " uris; print "Suites: " kept; print "Components: " comps
  if (key != "") print "Signed-By: " key
}
function flush() {
  if (types ~ /(^|[ \t])deb([ \t]|$)/ && tolower(enabled) != "no") emit(uris, suites, comps, key)
  types = uris = suites = comps = key = enabled = ""
}
FNR == 1 { flush(); deb822 = (FILENAME ~ /\.sources$/) }
deb822 {
  if ($0 ~ /^[ \t]*#/) next
  if ($0 ~ /^[ \t]*$/) { flush(); next }
  field = $0; sub(/:.*/, "", field); value = $0; sub(/^[^:]*:[ \t]*/, "", value)
  if (field == "Types") types = value; else if (field == "URIs") uris = value
  else if (field == "Suites") suites = value; else if (field == "Components") comps = value
  else if (field == "Signed-By") key = value; else if (field == "Enabled") enabled = value
  next
}
{
  line = $0; sub(/#.*/, "", line)
  n = split(line, w, /[ \t]+/); i = 1; while (i <= n && w[i] == "") i++
  if (w[i] != "deb") next
  i++; opts = ""; key = ""
  if (w[i] ~ /^\[/) {
    while (i <= n) { opts = opts " " w[i]; if (w[i] ~ /\]$/) { i++; break } i++ }
    if (match(opts, /signed-by=[^] \t]+/)) key = substr(opts, RSTART + 10, RLENGTH - 10)
  }
  u = w[i++]; s = w[i++]; c = ""
  for (; i <= n; i++) if (w[i] != "") c = c (c == "" ? "" : " ") w[i]
  emit(u, s, c, key)
}
END { flush() }
' "${files[@]}"
