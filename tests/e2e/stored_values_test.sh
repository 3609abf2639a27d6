#!/usr/bin/env bash
# Values that another program stored in the program's keys, of types and lengths it never
# writes, under Wine (ANSI code page 1252): read as the ANSI calls read them, a value of any type
# as text is its bytes in the code page, at most 512 of them, and a text read as a number is its
# bytes in the code page.
# Usage: stored_values_test.sh PROGRAM DIALOG_DRIVER
export LC_ALL=C.UTF-8  # reg reads "éé" in the locale's character set
runner=wine
program=$1
driver=$2
source "$(dirname "$0")/lib.sh"

referrals='HKEY_CURRENT_USER\Software\Quarlo\UserData\Referrals'
book=$referrals'\livre'
wine_run reg delete 'HKCU\Software\Quarlo' /f
store() { wine_run reg add "$1" /v "$2" /t "$3" /d "$4" /f; }
repeat() { printf "%.0s$1" $(seq "$2"); }

# "éé" is E9 E9 00: an answer other than 0 and 1, so both are checked and "Continuer" accepts. A
# stamp of 1,000 bytes is none the program can read, though its UTF-8 (é 500 times) is fewer
# characters: it gets a stamp of its own.
store "$referrals" LastReaderTrack REG_SZ éé
store "$book" TimeStamp REG_BINARY "$(repeat C3A9 500)"
answer '' 'checked=1001;checked=1002;enter' -mode 1 -autorunbookid livre
expect "consent: exit code" 1 "$code"
listing=$(registry_listing wine 'HKEY_CURRENT_USER\Software\Quarlo')
expect "consent: the answer" "REG_DWORD|0x00000001" "$(value "$referrals" LastReaderTrack)"
expect "consent: a new stamp" "REG_BINARY 32" "$(value "$book" TimeStamp | tr '|' ' ' | 
    awk '{ print $1, length($2) }')"

# The author's identifiers as data: "Éditions" in the code page, the number 233 (E9 00 00 00,
# "é"), and 600 bytes, more than a text's 512 whatever they read as.
store "$book" UserID REG_BINARY C9646974696F6E73
store "$book" QuarloSKU REG_DWORD 233
store "$book" PartnerID REG_BINARY "$(repeat C3A9 300)"
mkdir "$work/livre"
answer '' 'click=1004;click=1007;enter' -mode 2 -installdirectory "$(program_path "$work/livre")" \
    -autorunbookid livre -readerJSpath s.js
expect "setup: exit code" 1 "$code"
tracking_script $'\xC9ditions' $'\xE9' '' "$(value 'HKEY_CURRENT_USER\Software\Quarlo\UserData' \
    ReaderID | cut -d'|' -f2)" 1 livre >"$work/expected.js"
expect "setup: script" "" "$(cmp "$work/expected.js" "$work/livre/s.js" 2>&1)"
[[ $failures == 0 ]]
