#!/usr/bin/env bash
# A refusal in a book whose identifier is too long to name a registry key cannot be recorded,
# yet its tracking script never carries the reader's identifier that an earlier acceptance
# stored. A book that no consent run recorded still counts as allowed.
# Usage: refused_book_test.sh native|wine PROGRAM [DIALOG_DRIVER]
runner=$1 program=$2 driver=${3:-}
source "$(dirname "$0")/lib.sh"

long=$(printf 'l%.0s' $(seq 300))
answer '1\n\n' 'click=1001;enter' -mode 1 -autorunbookid accepte
answer '2\n\n' 'click=1002;enter' -mode 1 -autorunbookid "$long"
user_data='HKEY_CURRENT_USER\Software\Quarlo\UserData'
listing=$(registry_listing "$runner" "$user_data")
reader=$(value "$user_data" ReaderID | cut -d'|' -f2)
expect "the refusal is the last answer" "REG_DWORD|0x00000000" \
    "$(value "$user_data\\Referrals" LastReaderTrack)"

# BOOK_ID READER_USER COUNT: the script mode 2 writes for the book.
for row in "$long {00000000-0000-0000-0000-000000000001} 0" "jamaisvu $reader 1"; do
    read -r id user count <<<"$row"
    livre=$work/livre-${id:0:9}
    mkdir -p "$livre"
    answer '' 'click=1004;click=1007;enter' -mode 2 -installdirectory "$(program_path "$livre")" \
        -autorunbookid "$id" -readerJSpath s.js
    tracking_script '' '' '' "$user" "$count" "$id" >"$work/expected.js"
    expect "${id:0:9}: script" "" "$(cmp "$work/expected.js" "$livre/s.js" 2>&1)"
done
[[ $failures == 0 ]]
