#!/usr/bin/env bash
# Books past the limits: folders near the path limit, a book identifier too long for a registry key.
runner=$1 program=$2 driver=${3:-}
source "$(dirname "$0")/lib.sh"

pad() { printf '%*s' "$1" '' | tr ' ' d; }
# install LENGTH ID LINE...: mode 2 installs book ID in `livre`, whose path as given (`book`) has
# LENGTH characters in names well below the file systems' limit; its parameters file has the LINEs.
install() {
    livre="$work/$1-"
    book=$(program_path "$livre")
    local missing=$(($1 - ${#book}))
    for (( ; missing > 150; missing -= 100)); do livre+=$(pad 99)/; done
    livre+=$(pad "$missing")
    mkdir -p "$livre/js"
    book=$(program_path "$livre")
    printf '%s\r\n' '[parameters]' "autorunbookid=$2" "${@:3}" >"$work/p.ini"
    answer '' 'click=1004;click=1007;enter' -mode 2 -installdirectory "$book" \
        -parametersfilepath "$(program_path "$work/p.ini")"
}

# FOLDER_LENGTH SCRIPT MARKER: each file (named relative to the book's folder) is written whole,
# no temporary left beside it, when its full path (folder, separator, name) fits a path field's
# 259 characters, and not at all at 260; beside a one-character name, a temporary has room for one.
for row in "243 s.js m.7xe" "244 s.js m.7xe" "250 js\\ab.js m234.7xe" "257 s a"; do
    read -r length script marker <<<"$row"
    install "$length" "livre-$length" "readerJSpath=$script" "importtoquarlofilename=$marker"
    expect "$length: folder length, exit code" "$length 1" "${#book} $code"
    script=${script//\\//}
    files=js
    if ((length + 1 + ${#script} <= 259)); then
        files+=$'\n'$script
        script_is "$length: script" "$livre/$script" '' '' '' \
            '{00000000-0000-0000-0000-000000000000}' 0 "livre-$length"
    fi
    if ((length + 1 + ${#marker} <= 259)); then
        files+=$'\n'$marker
        expect "$length: marker" " 20" "$(od -An -tx1 "$livre/$marker" 2>&1)"
    fi
    expect "$length: the folder's files" "$(LC_ALL=C sort <<<"$files")" \
        "$(cd "$livre" && find . -mindepth 1 | cut -c3- | LC_ALL=C sort)"
done
# A path of 259 characters that names a folder, not a file: nothing is made in that folder,
# not even a temporary (under Wine, its trace of file opens shows every name tried).
if [[ $runner == wine ]]; then
    WBH_WINEDEBUG=trace+file install 255 livre-dossier 'importtoquarlofilename=js\' 2>"$work/trace"
    expect "folder: exit code, traced" "1 1" "$code $(grep -c -m1 CreateFileW "$work/trace")"
    expect "folder: files opened in it" "" \
        "$(grep -F 'CreateFileW' "$work/trace" | grep -F "${book//\\/\\\\}"'\\js\\')"
    expect "folder: its files" "" "$(ls -A "$livre/js")"
fi

# After the folders, whose scripts expect no reader stored: an acceptance, then a refusal in a
# book whose identifier names no registry key: its own record cannot be made, yet its script
# never carries the reader the acceptance stored; a book no consent run recorded counts as allowed.
long=$(printf 'l%.0s' $(seq 300))
answer '1\n\n' 'click=1001;enter' -mode 1 -autorunbookid accepte
answer '2\n\n' 'click=1002;enter' -mode 1 -autorunbookid "$long"
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
    script_is "${id:0:9}: script" "$livre/s.js" '' '' '' "$user" "$count" "$id"
done
[[ $failures == 0 ]]
