#!/usr/bin/env bash
# Runs the real program as a process and checks exit codes and the result file.
# Usage: program_test.sh native|wine PROGRAM
set -u
runner=$1
program=$2
here=$(cd "$(dirname "$0")" && pwd)
failures=0
passes=0

if [[ $runner == wine ]]; then
    source "$here/wine-prefix.sh"
    work="$WINEPREFIX/drive_c/x"
    rm -rf "$work"
    mkdir -p "$work"
    dir='C:\x'   # how the program names the work directory
    sep='\'
    run() { "$here/../../tools/wine-run" "$program" "$@"; }
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/webbook e2e-XXXXXX")  # a blank and a "-" in the path
    trap 'rm -rf "$work"' EXIT
    dir=$work
    sep=/
    export XDG_CONFIG_HOME="$work/config"  # the registry of this run
    # With `limits` set (ulimit's options), the program runs under those limits.
    run() { ( [[ -z ${limits:-} ]] || ulimit $limits; exec "$program" "$@" ) </dev/null; }
fi

bytes() { od -An -c | tr -s ' \n' ' '; }

# check NAME EXPECTED_EXIT EXPECTED_RESULT_FILE_BYTES|none -- ARGS...
# The result file holds `before` when that is set, else there is none; a temporary left beside
# it is reported with the file.
check() {
    local name=$1 expected=$2 expected_file=$3
    shift 4
    rm -f "$work"/r.rtp* "$work"/.r.rtp*
    [[ -n ${before:-} ]] && printf '%s' "$before" >"$work/r.rtp"
    run "$@" >/dev/null
    local code=$?
    local file=none
    [[ -e "$work/r.rtp" ]] && file=$(bytes <"$work/r.rtp")
    ls -A "$work" | grep -q 'r\.rtp.' && file+=" and a temporary"
    if [[ $code == "$expected" && $file == "$expected_file" ]]; then
        passes=$((passes + 1))
    else
        failures=$((failures + 1))
        echo "FAIL $name: expected exit $expected and file [$expected_file], got exit $code and file [$file]"
    fi
}

written=$(printf '[ADRTP]\r\nExitCode=0\r\n' | bytes)
rtp="$dir${sep}r.rtp"
ini="$dir${sep}p.ini"

check "no options" 1 none --
check "mode 3" 1 "$written" -- -mode 3 -rtpfilename "$rtp"
check "mode 7" 0 "$written" -- -mode 7 -rtpfilename "$rtp"
check "mode of letters" 0 "$written" -- -mode abc -rtpfilename "$rtp"
check "no mode" 1 "$written" -- -rtpfilename "$rtp"
printf '[parameters]\r\nmode=3\r\n' > "$work/p.ini"
check "file mode overrides" 1 "$written" -- -mode 7 -parametersfilepath "$ini" -rtpfilename "$rtp"
printf '[Parameters]\r\nmode=7\r\n' > "$work/p.ini"
check "file mode, other case" 0 "$written" -- -mode 3 -parametersfilepath "$ini" -rtpfilename "$rtp"
printf '[parameters]\r\nx=not_found_error\r\nmode=7\r\n' > "$work/p.ini"
check "sentinel ends the run" 1 "$written" -- -mode 7 -parametersfilepath "$ini" -rtpfilename "$rtp"
# Under Wine the dialogs wait for a reader: consent_test.sh and setup_test.sh drive them.
if [[ $runner == native ]]; then
    check "mode 1, input ended" 1 "$written" -- -mode 1 -autorunbookid b1 -rtpfilename "$rtp"
    check "mode 2, input ended" 1 "$written" -- -mode 2 -installdirectory "$dir" -rtpfilename "$rtp"
    # A file-size limit below the result file's size fails its write part way: the run ends as
    # usual, the old file stays whole and no temporary stays beside it.
    printf -v big '[caller]\r\nstate=%02000d\r\n' 0
    before=$big limits="-f 1" check "file-size limit" 1 "$(printf '%s' "$big" | bytes)" \
        -- -mode 3 -rtpfilename "$rtp"
    # A parameters file larger than the memory the run may use fails as a read, as an unreadable
    # file would: the command line's mode stands (the file's would exit 0). The program starts in
    # 8 MiB; the sanitizers reserve far more address space than the limit, so not under them.
    if [[ ${WBH_SANITIZED:-0} != 1 ]]; then
        printf '[parameters]\r\nmode=7\r\n' >"$work/p.ini"
        truncate -s 256M "$work/p.ini"  # sparse: nothing stored on disk
        limits="-v 65536" check "parameters file larger than the memory" 1 "$written" \
            -- -mode 3 -parametersfilepath "$ini" -rtpfilename "$rtp"
    fi
fi

echo "$passes passed, $failures failed"
[[ $failures == 0 ]]
