# Sourced once `runner` (native or wine) and `program` are set: a work folder with a blank and a
# "-" in its path; natively a registry and home of its own, under Wine one prefix for all the
# script's processes (the caller's WINEPREFIX, else a throwaway one).
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/registry-listing.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/webbook e2e-XXXXXX")
trap 'rm -rf "$work"' EXIT
# answer INPUT ACTIONS ARGS... runs the program and answers its dialog, natively with INPUT on
# standard input, under Wine by the dialog driver's ";"-separated actions; it sets `shown` (the
# terminal dialog's text, or the driver's complaints) and `code` (the exit code, or the failure).
if [[ $runner == native ]]; then
    # The dialogs are answered on standard input: no display to open windows on.
    unset DISPLAY WAYLAND_DISPLAY
    export XDG_CONFIG_HOME=$work/config HOME=$work/home
    mkdir -p "$HOME"
    program_path() { echo "$1"; }
    # The sample book in BOOK (default $work/livre), the desktop at $work/desktop, and an
    # xdg-open that records its argument count and its arguments in $work/opened.
    native_book_desktop() {
        cp -r "$root/examples/sample-book" "${1:-$work/livre}"
        mkdir -p "$work/desktop" "$work/bin"
        ln -s "$work/desktop" "$HOME/Desktop"
        cat >"$work/bin/xdg-open" <<END
#!/bin/sh
printf '%s\n' "\$#" "\$@" >"$work/opened"
END
        chmod +x "$work/bin/xdg-open"
        export PATH="$work/bin:$PATH"
    }
    run() { "$program" "$@"; }
    # ended NAME PID: waits for the run PID (started with its output in $work/output) to end,
    # killing it after a minute, and expects the end of a run whose dialog was answered: exit
    # code 1, no output.
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
        local actions pid driven
        IFS=';' read -ra actions <<<"$2"
        run "${@:3}" &
        pid=$!
        shown=$("$root/tools/wine-run" "$driver" "${actions[@]}" 2>&1)
        driven=$?
        wait "$pid"
        code=$?
        [[ $driven == 0 ]] || code="driver failed: $shown"
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

# tracking_script AUTHOR_USER AUTHOR_SKU AUTHOR_PARTNER READER_USER COUNT BOOK_ID: the whole
# tracking script as the program writes it, with no reader component (its two values empty).
tracking_script() {
    printf '%s\r\n' '/*' \
        $'\tQuarlo web book tracking variables, written when the book is installed.' \
        $'\tCopyright (C) Quarlo. All rights reserved.' \
        $'\tProprietary and confidential: do not copy, change or redistribute this file.' \
        '*/' '' '' "var AuthorUser = \"$1\";" "var AuthorSKU = \"$2\";" \
        "var AuthorPartner = \"$3\";" "var ReaderUser = \"$4\";" "var ReaderAutorunCount = $5;" \
        'var ReaderSKU = "";' 'var ReaderPartner = "";' "var WebBookID = \"$6\";"
}

# The type|data of value NAME of KEY in `listing` (registry_listing's output).
value() { grep -F "$1|$2|" <<<"$listing" | cut -d'|' -f3-; }

failures=0
expect() {
    [[ $3 == "$2" ]] && return
    failures=$((failures + 1))
    echo "FAIL $1: expected [$2], got [$3]"
}
