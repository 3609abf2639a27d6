#!/usr/bin/env bash
# Books unpacked into folders near the path limit: mode 2 writes the tracking script and the
# marker whenever their own full path fits the 259 characters of a path field, complete, and
# leaves nothing else beside them (no temporary); a path of 260 is not written at all.
# Usage: long_folder_test.sh native|wine PROGRAM [DIALOG_DRIVER]
runner=$1 program=$2 driver=${3:-}
source "$(dirname "$0")/lib.sh"

# A folder whose path, as the program is given it, has LENGTH characters; its names stay well
# below the file systems' name limit.
pad() { printf '%*s' "$1" '' | tr ' ' d; }
long_folder() {
    local folder="$work/$1-" given
    given=$(program_path "$folder")
    local missing=$(($1 - ${#given}))
    while ((missing > 150)); do
        folder+=$(pad 99)/
        missing=$((missing - 100))
    done
    echo "$folder$(pad "$missing")"
}
# install LENGTH ID LINE...: mode 2 installs book ID in `livre`, a folder whose path as given
# (`book`) has LENGTH characters, from a parameters file holding the LINEs too.
install() {
    livre=$(long_folder "$1")
    mkdir -p "$livre/js"
    book=$(program_path "$livre")
    printf '%s\r\n' '[parameters]' "autorunbookid=$2" "${@:3}" >"$work/p.ini"
    answer '' 'click=1004;click=1007;enter' -mode 2 -installdirectory "$book" \
        -parametersfilepath "$(program_path "$work/p.ini")"
}

# FOLDER_LENGTH SCRIPT MARKER: the book's folder, and the two files' names relative to it; each
# is written when its full path (the folder, a separator, the name) fits. Beside a name of one
# character, a temporary has room for one character only.
for row in "243 s.js m.7xe" "244 s.js m.7xe" "250 js\\ab.js m234.7xe" "257 s a"; do
    read -r length script marker <<<"$row"
    install "$length" "livre-$length" "readerJSpath=$script" "importtoquarlofilename=$marker"
    expect "$length: folder length, exit code" "$length 1" "${#book} $code"
    script=${script//\\//}
    files=js
    if ((length + 1 + ${#script} <= 259)); then
        files+=$'\n'$script
        tracking_script '' '' '' '{00000000-0000-0000-0000-000000000000}' 0 "livre-$length" \
            >"$work/expected.js"
        expect "$length: script" "" "$(cmp "$work/expected.js" "$livre/$script" 2>&1)"
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
    expect "folder: exit code, Wine's trace read" "1 1" "$code $(grep -c -m1 CreateFileW "$work/trace")"
    expect "folder: files opened in it" "" \
        "$(grep -F 'CreateFileW' "$work/trace" | grep -F "${book//\\/\\\\}"'\\js\\')"
    expect "folder: its files" "" "$(ls -A "$livre/js")"
fi
[[ $failures == 0 ]]
