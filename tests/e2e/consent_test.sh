#!/usr/bin/env bash
# Mode 1 as a package runs it, twice for one book: the reader accepts, then refuses. Natively the
# answers come on standard input to the terminal dialog; under Wine a driver process clicks the
# real dialog. The registry is then listed by another tool (registry-listing.sh).
# Usage: consent_test.sh native|wine PROGRAM [DIALOG_DRIVER]
set -u
runner=$1
program=$2
driver=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/registry-listing.sh"
source "$here/expect.sh"
user_data='HKEY_CURRENT_USER\Software\Quarlo\UserData'
book="$user_data\\Referrals\\b1"

if [[ $runner == wine ]]; then
    source "$here/wine-prefix.sh"
    "$here/../../tools/wine-run" reg delete 'HKCU\Software\Quarlo' /f >/dev/null 2>&1
    # consent "NATIVE INPUT" DRIVER-ACTIONS... -- ARGS...
    consent() {
        shift
        local actions=()
        while [[ $1 != -- ]]; do actions+=("$1"); shift; done
        shift
        "$here/../../tools/wine-run" "$program" -mode 1 "$@" &
        local pid=$!
        shown=$("$here/../../tools/wine-run" "$driver" "${actions[@]}" 2>&1)
        local driven=$?
        wait "$pid"
        code=$?
        [[ $driven == 0 ]] || code="driver failed: $shown"
    }
else
    XDG_CONFIG_HOME=$(mktemp -d)
    export XDG_CONFIG_HOME
    trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
    consent() {
        local input=$1
        while [[ $1 != -- ]]; do shift; done
        shift
        shown=$(printf "$input" | "$program" -mode 1 "$@")
        code=$?
    }
fi

value() { grep -F "$1|$2|" <<<"$listing" | cut -d'|' -f3-; }

# First run: nothing stored, the reader accepts.
consent '1\n\n' unchecked=1001 unchecked=1002 disabled=1 click=1001 enter -- \
    -autorunbookid b1 -authoruserid u1 -authorquarlosku s1 -authorpartnerid p1
expect "first run exit code" 1 "$code"
expect "caption shown" 1 "$(grep -c 'Utilisation du livre Web et confidentialité' <<<"$shown")"
listing=$(registry_listing "$runner" "$user_data")
reader=$(value "$user_data" ReaderID)
expect "ReaderID is an upper-case GUID text" 1 \
    "$(grep -cE '^REG_SZ\|\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}$' <<<"$reader")"
expect "UserID" "REG_SZ|u1" "$(value "$book" UserID)"
expect "QuarloSKU" "REG_SZ|s1" "$(value "$book" QuarloSKU)"
expect "PartnerID" "REG_SZ|p1" "$(value "$book" PartnerID)"
expect "ReaderTrack" "REG_DWORD|0x00000001" "$(value "$book" ReaderTrack)"
expect "LastReaderTrack" "REG_DWORD|0x00000001" "$(value "$user_data\\Referrals" LastReaderTrack)"
stamp=$(value "$book" TimeStamp)
year=$(date -u +%Y)
expect "TimeStamp: 16 bytes, this year first" \
    "REG_BINARY|$(printf '%02X%02X' $((year & 255)) $((year >> 8)))" "${stamp:0:15}"
expect "TimeStamp length" 43 "${#stamp}"

# Second run: the acceptance is preselected; the reader refuses (natively: no input at all,
# which ends the dialog with no answer, so the refusal of the reset stands).
consent '' checked=1001 unchecked=1002 enabled=1 click=1002 enter -- -autorunbookid b1
expect "second run exit code" 1 "$code"
if [[ $runner == native ]]; then
    expect "acceptance preselected" 1 "$(grep -c '(\*) Oui, je l.accepte' <<<"$shown")"
fi
listing=$(registry_listing "$runner" "$user_data")
expect "ReaderID kept" "$reader" "$(value "$user_data" ReaderID)"
expect "TimeStamp kept" "$stamp" "$(value "$book" TimeStamp)"
expect "UserID emptied" "REG_SZ|" "$(value "$book" UserID)"
expect "ReaderTrack" "REG_DWORD|0x00000000" "$(value "$book" ReaderTrack)"
expect "LastReaderTrack" "REG_DWORD|0x00000000" "$(value "$user_data\\Referrals" LastReaderTrack)"

if [[ $runner == native ]]; then
    # Whoever reads the dialog stops reading at once: the answers still count.
    printf '1\n\n' | "$program" -mode 1 -autorunbookid b1 | head -c 1 >/dev/null
    listing=$(registry_listing "$runner" "$user_data")
    expect "output closed early" "REG_DWORD|0x00000001" "$(value "$book" ReaderTrack)"
fi

report
