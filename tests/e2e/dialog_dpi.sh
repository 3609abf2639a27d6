#!/usr/bin/env bash
# The unit tests' DialogFit case under Wine at 120, 144 and 192 DPI (their own run is at 96), each
# process started after LogPixels is set. Usage: dialog_dpi.sh UNIT_TESTS_EXE (in the run's prefix)
set -u
: "${WINEPREFIX:?must name the test run prefix}"
root=$(cd "$(dirname "$0")/../.." && pwd)
key='HKCU\Control Panel\Desktop'
trap 'wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1' EXIT
failed=0
for dpi in 120 144 192; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    "$root/tools/wine-run" "$1" --gtest_filter='DialogFit.*' --gtest_brief=1 || failed=1
done
exit $failed
