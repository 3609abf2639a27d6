#!/usr/bin/env bash
# The whole story of a book, as its package runs it, twice: the sample book is unpacked, the
# reader accepts in mode 1, then mode 2 finishes the install and the reader, in the finish
# dialog, renames the desktop shortcut and keeps "open the book". Then everything that was
# written is checked from outside: the script byte for byte, both shortcuts read back by
# lnkinfo, the registry listed by another tool, the marker, and how the book was opened.
# Natively the dialogs are answered on standard input and a recording xdg-open comes first on
# PATH; under Wine a driver process clicks the real dialogs and the book's file type opens a
# recording program.
# Usage: setup_test.sh native|wine PROGRAM [DIALOG_DRIVER SHOW_RECORDER]
set -u
runner=$1
program=$2
driver=${3:-}
recorder=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/registry-listing.sh"
source "$here/expect.sh"

work=$(mktemp -d)
cp -r "$root/examples/sample-book" "$work/livre"
desktop=$work/desktop
mkdir -p "$desktop"
opened=$work/opened

if [[ $runner == wine ]]; then
    source "$here/wine-prefix.sh"
    trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
    wine_run() { "$root/tools/wine-run" "$@"; }
    windows_path() { echo "Z:${1//\//\\}"; }
    wine_run reg delete 'HKCU\Software\Quarlo' /f >/dev/null 2>&1
    wine_run reg delete 'HKCR\.7xe' /f >/dev/null 2>&1
    wine_run reg delete 'HKCR\7xefile' /f >/dev/null 2>&1
    # The desktop is a folder of the test's own; the book's pages open the recording program.
    wine_run reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' \
        /v Desktop /t REG_SZ /d "$(windows_path "$desktop")" /f >/dev/null
    wine_run reg add 'HKCR\.html' /ve /d wbhtest.page /f >/dev/null
    wine_run reg add 'HKCR\wbhtest.page\shell\open\command' /ve \
        /d "\"$(windows_path "$recorder")\" \"%1\"" /f >/dev/null
    opened=$work/livre/index.html.shown  # the recording program's record
    book=$(windows_path "$work/livre")
    # run MODE "NATIVE INPUT" DRIVER-ACTIONS...
    run() {
        local mode=$1
        shift 2
        wine_run "$program" -mode "$mode" -installdirectory "$book" \
            -parametersfilepath "$book\\parameters.ini" &
        local pid=$!
        shown=$(wine_run "$driver" "$@" 2>&1)
        local driven=$?
        wait "$pid"
        code=$?
        [[ $driven == 0 ]] || code="driver failed: $shown"
    }
    sep='\'
else
    export XDG_CONFIG_HOME=$work/config HOME=$work/home
    mkdir -p "$HOME"
    ln -s "$desktop" "$HOME/Desktop"
    mkdir -p "$work/bin"
    # It also records the signals it inherited as ignored or blocked: none should be.
    printf '#!/bin/sh\nprintf "%%s\\n" "$#" "$@" >"%s"\ngrep "^Sig[IB]" /proc/$$/status >"%s.signals"\n' \
        "$opened" "$opened" >"$work/bin/xdg-open"
    chmod +x "$work/bin/xdg-open"
    export PATH="$work/bin:$PATH"
    trap 'rm -rf "$work"' EXIT
    book=$work/livre
    run() {
        local mode=$1 input=$2
        shown=$(printf "$input" | "$program" -mode "$mode" -installdirectory "$book" \
            -parametersfilepath "$book/parameters.ini")
        code=$?
    }
    sep=/
fi

# Waits up to 10 s for the record of the opened book.
opened_record() {
    for _ in $(seq 100); do
        [[ -s $opened ]] && break
        sleep 0.1
    done
    tr -d '\r' <"$opened" 2>/dev/null
    rm -f "$opened"
}

lnk_field() { lnkinfo "$1" 2>/dev/null | tr -d '\t' | sed -n "s/^$2 *: //p"; }

user_data='HKEY_CURRENT_USER\Software\Quarlo\UserData'
referral="$user_data\\Referrals\\livre-exemple"

# First run: mode 1, the reader accepts; mode 2, the reader types another name and presses
# "Terminer" with both choices kept.
run 1 '1\n\n' click=1001 enter
expect "mode 1 exit code" 1 "$code"
run 2 '2\nMon livre\n\n' checked=1004 checked=1007 'text=1005:Mon livre' enter
expect "mode 2 exit code" 1 "$code"

listing=$(registry_listing "$runner" "$user_data")
value() { grep -F "$1|$2|" <<<"$listing" | cut -d'|' -f3-; }
reader=$(value "$user_data" ReaderID | cut -d'|' -f2)
expect "Install Directory" "REG_SZ|$book" "$(value "$referral" 'Install Directory')"

header=$'/*\n\tQuarlo web book tracking variables, written when the book is installed.\n\tCopyright (C) Quarlo. All rights reserved.\n\tProprietary and confidential: do not copy, change or redistribute this file.\n*/\n\n\n'
# Every line ends in CR LF.
script="${header}var AuthorUser = \"{7D3E9A41-2B6C-4F0D-9E18-53A2C4B7F610}\";
var AuthorSKU = \"QRL-AUTEUR-01\";
var AuthorPartner = \"partenaire-exemple\";
var ReaderUser = \"$reader\";
var ReaderAutorunCount = 1;
var ReaderSKU = \"\";
var ReaderPartner = \"\";
var WebBookID = \"livre-exemple\";
"
expect "tracking script" "$(printf '%s' "${script//$'\n'/$'\r\n'}" | od -c)" \
    "$(od -c <"$work/livre/js/suivi.js")"
expect "ReaderID in the script" 1 "$(grep -cE '^\{[0-9A-F]{8}-' <<<"$reader")"

target="$book${sep}index.html"
icon="$book${sep}livre.ico"
expect "open shortcut target" "$target" "$(lnk_field "$work/livre/Lancer le livre Web.lnk" 'Local path')"
expect "open shortcut icon" "$icon" "$(lnk_field "$work/livre/Lancer le livre Web.lnk" 'Icon location')"
expect "open shortcut icon index" 0 "$(lnk_field "$work/livre/Lancer le livre Web.lnk" 'Icon index' | head -1)"
expect "desktop shortcut target" "$target" "$(lnk_field "$desktop/Mon livre.lnk" 'Local path')"
expect "desktop shortcut icon" "$icon" "$(lnk_field "$desktop/Mon livre.lnk" 'Icon location')"
expect "marker" " " "$(cat "$work/livre/livre-exemple.7xe")"
expect "marker size" 1 "$(stat -c %s "$work/livre/livre-exemple.7xe")"

classes=$(registry_listing "$runner" 'HKEY_CLASSES_ROOT\.7xe'; registry_listing "$runner" 'HKEY_CLASSES_ROOT\7xefile')
expect "association" $'HKEY_CLASSES_ROOT\\.7xe|(default)|REG_SZ|7xefile\nHKEY_CLASSES_ROOT\\7xefile|||' "$classes"

if [[ $runner == wine ]]; then
    expect "book opened hidden" \
        "$(printf 'argument=%s\nuse_show_window=1\nshow_window=0\ncmd_show=0' "$target")" \
        "$(opened_record)"
else
    expect "book opened by xdg-open" "$(printf '1\n%s' "$target")" "$(opened_record)"
    # glibc's posix_spawn leaves its two internal signals (32 and 33) ignored in every program
    # it starts; a program's own glibc takes them back, and they are no concern of ours.
    signals=$(sed 's/^\(Sig...\):\t\(.*\)$/\1 \2/' "$opened.signals" |
        while read -r name bits; do printf '%s=%x ' "$name" $((0x$bits & ~0x180000000)); done)
    expect "xdg-open starts with no signal ignored or blocked" "SigBlk=0 SigIgn=0 " "$signals"
fi

# Second run: both shortcuts are there, so both new ones are numbered.
run 1 '1\n\n' click=1001 enter
run 2 '2\nMon livre\n\n' 'text=1005:Mon livre' enter
expect "second open shortcut" "Lancer le livre Web (0).lnk|Lancer le livre Web.lnk" \
    "$(cd "$work/livre" && ls -1 *.lnk | paste -sd'|')"
expect "second desktop shortcut" "Mon livre (0).lnk|Mon livre.lnk" "$(cd "$desktop" && ls -1 | paste -sd'|')"
expect "opened again" 1 "$(opened_record | grep -c index.html)"

report
