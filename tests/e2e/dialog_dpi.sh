#!/usr/bin/env bash
# Both dialogs at 120, 144 and 192 DPI under Wine (the unit run is at Wine's default, 96): the
# unit tests' DialogFit case once per DPI, each process started after LogPixels is set to it.
# Usage: dialog_dpi.sh UNIT_TESTS_EXE   (in the test run's WINEPREFIX)
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
