# Sourced once `runner` (native or wine) and `program` are set: a work folder with a blank and a
# "-" in its path; natively a registry and home of its own, under Wine one prefix for all the
# script's processes (the caller's WINEPREFIX, else a throwaway one).
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/registry-listing.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/webbook e2e-XXXXXX")
trap 'rm -rf "$work"' EXIT
user_data='HKEY_CURRENT_USER\Software\Quarlo\UserData'
referrals="$user_data\\Referrals"
author='{7D3E9A41-2B6C-4F0D-9E18-53A2C4B7F610}'  # the sample book's author
# answer INPUT ACTIONS ARGS... runs the program and answers its dialog, natively with INPUT on
# standard input, under Wine by the dialog driver's ";"-separated actions; it sets `shown` (the
# terminal dialog's text, or the driver's complaints) and `code` (the exit code, or the failure).
if [[ $runner == native ]]; then
    unset DISPLAY WAYLAND_DISPLAY  # the dialogs in the terminal, answered on standard input
    export XDG_CONFIG_HOME=$work/config HOME=$work/home
    mkdir -p "$HOME"
    program_path() { echo "$1"; }
    # The sample book in BOOK (default $work/livre), the desktop at $work/desktop, and an
    # xdg-open that records its argument count and its arguments in $work/opened.
    native_book_desktop() {
        cp -r "$root/examples/sample-book" "${1:-$work/livre}"
        mkdir -p "$work/desktop" "$work/bin"
        ln -s "$work/desktop" "$HOME/Desktop"
        printf '#!/bin/sh\nprintf "%%s\\n" "$#" "$@" >"%s"\n' "$work/opened" >"$work/bin/xdg-open"
        chmod +x "$work/bin/xdg-open"
        export PATH="$work/bin:$PATH"
    }
    run() { "$program" "$@"; }
    # ended NAME PID: expects the run PID (its output in $work/output) to end within a minute,
    # as the run of an answered dialog does: exit code 1, no output (killed after the minute).
    ended() {
        for _ in $(seq 1200); do kill -0 "$2" 2>/dev/null || break; sleep 0.05; done
        kill -0 "$2" 2>/dev/null && { kill "$2"; expect "$1: closed" closed open; }
        wait "$2"
        expect "$1: exit code, output" "1 " "$? $(cat "$work/output")"
    }
    answer() {
        shown=$(printf "$1" | "$program" "${@:3}")
        code=$?
    }
else
    program_path() { echo "Z:${1//\//\\}"; }
    wine_run() { "$root/tools/wine-run" "$@" >/dev/null 2>&1; }
    run() { "$root/tools/wine-run" "$program" "$@"; }
    answer() {
        local actions driven=yes
        IFS=';' read -ra actions <<<"$2"
        run "${@:3}" &
        shown=$("$root/tools/wine-run" "$driver" "${actions[@]}" 2>&1) || driven=no
        wait "$!"  # the program's: the driver ran in a subshell
        code=$?
        [[ $driven == yes ]] || code="driver failed: $shown"
    }
    if [[ -z ${WINEPREFIX:-} ]]; then
        WINEPREFIX=$(mktemp -d)
        export WINEPREFIX
        trap 'wineserver -k; rm -rf "$work" "$WINEPREFIX"' EXIT
        "$root/tools/wine-prefix-init"
    fi
    # The program's store starts empty, as natively.
    wine_run reg delete 'HKCU\Software\Quarlo' /f
fi

# script_is NAME FILE AUTHOR_USER AUTHOR_SKU AUTHOR_PARTNER READER_USER COUNT BOOK_ID: FILE is the
# whole tracking script as the program writes it, with no reader component (its two values empty).
script_is() {
    local expected
    expected=$(printf '%s\r\n' '/*' \
        $'\tQuarlo web book tracking variables, written when the book is installed.' \
        $'\tCopyright (C) Quarlo. All rights reserved.' \
        $'\tProprietary and confidential: do not copy, change or redistribute this file.' \
        '*/' '' '' "var AuthorUser = \"$3\";" "var AuthorSKU = \"$4\";" \
        "var AuthorPartner = \"$5\";" "var ReaderUser = \"$6\";" "var ReaderAutorunCount = $7;" \
        'var ReaderSKU = "";' 'var ReaderPartner = "";' "var WebBookID = \"$8\";" | od -An -c)
    expect "$1" "$expected" "$(od -An -c "$2" 2>&1)"
}

# The type|data of value NAME of KEY in `listing` (registry_listing's output).
value() { grep -F "$1|$2|" <<<"$listing" | cut -d'|' -f3-; }

failures=0
expect() {
    [[ $3 == "$2" ]] && return
    failures=$((failures + 1))
    echo "FAIL $1: expected [$2], got [$3]"
}
