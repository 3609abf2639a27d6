#!/usr/bin/env bash
# Runs the real program as a process and checks exit codes and the result file.
runner=$1 program=$2
source "$(dirname "$0")/lib.sh"

bytes() { od -An -c | tr -s ' \n' ' '; }

# check NAME EXIT RESULT_FILE_BYTES|none ARGS...: runs with the result file holding `before` (if
# set) and under ulimit's `limits` (if set); a temporary left beside the file is reported.
check() {
    local name=$1 expected="$2 $3" file=none
    shift 3
    rm -f "$work"/r.rtp* "$work"/.r.rtp*
    [[ -n ${before:-} ]] && printf '%s' "$before" >"$work/r.rtp"
    ([[ -z ${limits:-} ]] || ulimit $limits; run "$@") </dev/null >/dev/null
    local code=$?
    [[ -e $work/r.rtp ]] && file=$(bytes <"$work/r.rtp")
    ls -A "$work" | grep -q 'r\.rtp.' && file+=" and a temporary"
    expect "$name" "$expected" "$code $file"
}

rtp=$(program_path "$work/r.rtp")
check "no options" 1 none
check "mode 3" 1 "$(printf '[ADRTP]\r\nExitCode=0\r\n' | bytes)" -mode 3 -rtpfilename "$rtp"
if [[ $runner == native ]]; then
    # A name that no level reads is one line on standard error, and changes nothing else.
    said() { run "$@" 2>&1 >/dev/null </dev/null; echo "exit $?"; }
    expect "--help" $'unknown option ignored: --help\nexit 1' "$(said --help)"
    expect "misspelt" $'unknown option ignored: -mdoe\nexit 0' "$(said -mdoe 3 -MODE 7)"
    expect "every level's names" "exit 1" \
        "$(said -mode 3 -installdirectory "$work" -authoruserid u -READERJSPATH j)"
    # A file-size limit fails the result file's write part way: the run ends as usual, the old
    # file stays whole and no temporary stays beside it.
    printf -v big '[caller]\r\nstate=%02000d\r\n' 0
    before=$big limits="-f 1" check "file-size limit" 1 "$(printf '%s' "$big" | bytes)" \
        -mode 3 -rtpfilename "$rtp"
fi
[[ $failures == 0 ]]
