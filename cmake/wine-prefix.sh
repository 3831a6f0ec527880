#!/usr/bin/env bash
# Creates the Wine prefix the tests and the run command use, once: a fresh
# Windows profile, Japanese font names mapped to the IPA fonts Debian ships,
# and no crash debugger.
set -eu
prefix="$1"
[ -f "$prefix/.corvela-ready" ] && exit 0
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.corvela-ready" ] && exit 0
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
wineboot -i >/dev/null 2>&1
reg() { wine reg add "$@" /f >/dev/null 2>&1; }
for face in "メイリオ" "Meiryo" "Meiryo UI" "MS UI Gothic" "ＭＳ ゴシック" "MS Gothic" \
            "ＭＳ Ｐゴシック" "MS PGothic" "ＭＳ 明朝" "MS Mincho" "Yu Gothic" "Yu Gothic UI" "游ゴシック"; do
  reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "IPAGothic"
done
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 0
wineserver -w
touch "$prefix/.corvela-ready"
