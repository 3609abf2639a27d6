#!/usr/bin/env bash
# The shipped Windows program stays small and needs nothing beyond Windows itself: at most
# 98,304 bytes as built (stripped), and every DLL it imports one that every Windows has.
set -euo pipefail
program=$1
limit=98304
system_dlls='advapi32 comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 shlwapi user32'

status=0
fail() { echo "FAIL: $*"; status=1; }
size=$(stat -c %s "$program")
((size <= limit)) || fail "expected at most $limit bytes, got $size"
x86_64-w64-mingw32-objdump -h "$program" | grep -q '\.debug_\|\.stab' &&
    fail "the program still carries debugging sections"
imports=$(x86_64-w64-mingw32-objdump -p "$program" | awk '/DLL Name:/ { print tolower($3) }')
[[ -n $imports ]] || fail "no imported DLL read from the program"
for dll in $imports; do
    grep -qw "${dll%.dll}" <<<"$system_dlls" || fail "imports $dll, which is not a system DLL"
done
((status == 0)) && echo "ok: $size bytes (at most $limit), imports" $imports
exit $status
