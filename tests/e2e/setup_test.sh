#!/usr/bin/env bash
# The sample book's story natively (under Wine: folder_names_test.sh), checked from outside (by
# desktop-file-validate and gio); then the README's examples and tools/demo, run as a reader would.
runner=native program=$1
source "$(dirname "$0")/lib.sh"
# The book's folder holds what a launcher's command line must quote.
livre="$work/\"été\" \$HOME %u \`id\`"
native_book_desktop "$livre"
# .7xe in the shared MIME database: the user's is the one below the throwaway HOME, and the
# registry file's one root holds no classes.
unset XDG_DATA_HOME

# The record of the book's opening: the opener keeps the program's output open, which answer's
# capture waits for. Its argument count and first argument, joined by "|".
opened_record() {
    tr -d '\r' <"$work/opened" | head -2 | paste -sd'|'
    rm -f "$work/opened"
}

params=(-parametersfilepath "$livre/parameters.ini")
referral="$referrals\\livre-exemple"

# A display that cannot be opened is no display: the terminal's dialog, nothing more.
expect "unopenable display" "$(run -mode 1 </dev/null 2>&1)" \
    "$(DISPLAY=:99999 WAYLAND_DISPLAY=wbh-none run -mode 1 </dev/null 2>&1)"
answer '1\n\n' '' -mode 1 "${params[@]}"
answer '2\nMon livre\n\n' '' -mode 2 -installdirectory "$livre" "${params[@]}"
expect "book opened by xdg-open" "1|$livre/index.html" "$(opened_record)"

listing=$(registry_listing "$runner" "$user_data")
reader=$(value "$user_data" ReaderID | cut -d'|' -f2)
stamp=$(value "$referral" TimeStamp | cut -d'|' -f2)
year=$(date -u +%Y)
year=$(printf '%02X%02X' $((year & 255)) $((year >> 8)))
expect "TimeStamp: 16 bytes, this year first" "$year 32" "${stamp:0:4} ${#stamp}"
# record TRACK USER SKU PARTNER: the listing of the reader's and the book's records.
record() {
    printf '%s\n' "$user_data|ReaderID|REG_SZ|$reader" \
        "$referrals|LastReaderTrack|REG_DWORD|0x0000000$1" \
        "$referral|Install Directory|REG_SZ|$livre" "$referral|PartnerID|REG_SZ|$4" \
        "$referral|QuarloSKU|REG_SZ|$3" "$referral|ReaderTrack|REG_DWORD|0x0000000$1" \
        "$referral|TimeStamp|REG_BINARY|$stamp" "$referral|UserID|REG_SZ|$2" | LC_ALL=C sort
}
expect "registry" "$(record 1 "$author" QRL-AUTEUR-01 partenaire-exemple)" "$listing"
expect "no classes in the registry" 'HKEY_CURRENT_USER' "$(sqlite3 -readonly \
    "$XDG_CONFIG_HOME/webbook-helper/registry.db" 'SELECT name FROM keys WHERE parent IS NULL';
    registry_listing native 'HKEY_CURRENT_USER\Software\Classes')"
expect "globs2 from the MIME package" "50:application/x-7xe:*.7xe" \
    "$(grep -F '*.7xe' "$HOME/.local/share/mime/globs2")"

script_is "tracking script" "$livre/js/suivi.js" "$author" QRL-AUTEUR-01 partenaire-exemple \
    "$reader" 1 livre-exemple
for link in "$livre/Lancer le livre Web.desktop" "$work/desktop/Mon livre.desktop"; do
    expect "$link accepted" "" "$(desktop-file-validate "$link" 2>&1)"
    expect "$link icon" "Icon=$livre/livre.ico" "$(grep '^Icon=' "$link")"
    # Run as a desktop runs it; the stand-in holds gio's output open until it is done.
    expect "$link launched" "" "$(gio launch "$link" 2>&1)"
    expect "$link opens the book" "1|$livre/index.html" "$(opened_record)"
done

# The reader refuses, given the book's identifier alone: the book's record is emptied.
printf '[parameters]\r\nautorunbookid=livre-exemple\r\n' >"$work/refusal.ini"
answer '' '' -mode 1 -parametersfilepath "$work/refusal.ini"
expect "registry after the refusal" "$(record 0 '' '' '')" \
    "$(registry_listing "$runner" "$user_data")"

# Whoever reads the dialog stops reading at once: the answers still count.
printf '1\n\n' | "$program" -mode 1 -autorunbookid livre-exemple | head -c 1 >/dev/null
listing=$(registry_listing "$runner" "$user_data")
expect "output closed early" "REG_DWORD|0x00000001" "$(value "$referral" ReaderTrack)"

# The README's examples, run from a folder holding D:/Livres/b1: a backslash from outside is a
# separator, "D:" a folder like any other. The second mode 2 numbers its shortcut.
readme=$work/readme
mkdir -p "$readme/D:/Livres"
cp -r "$root/examples/sample-book" "$readme/D:/Livres/b1"
cd "$readme" || exit
run -mode 3 -rtpfilename 'D:\Livres\r.rtp' </dev/null >/dev/null
b1=(-installdirectory 'D:\Livres\b1' -parametersfilepath 'D:\Livres\b1\parameters.ini')
for _ in 1 2; do answer '\n' '' -mode 2 "${b1[@]}"; done
expect "README: the result file" $'[ADRTP]\r\nExitCode=0\r' "$(cat "$readme/D:/Livres/r.rtp")"
expect "README: the book installed" \
    "Lancer le livre Web (0).desktop|Lancer le livre Web.desktop|js/suivi.js|livre-exemple.7xe" \
    "$(cd "$readme/D:/Livres/b1" && ls -d js/suivi.js *.7xe *.desktop 2>/dev/null | paste -sd'|')"
expect "README: the launcher's target" "Exec=xdg-open \"$readme/D:/Livres/b1/index.html\"" \
    "$(grep '^Exec=' "$readme/D:/Livres/b1/Lancer le livre Web.desktop")"
expect "README: the book opened" "1|D:/Livres/b1/index.html" "$(opened_record)"
expect "README: nothing else made" "D:" "$(ls "$readme")"

# tools/demo accepts and renames the desktop shortcut. Its transcript tells each exit code, the
# book's opening (the opener is not waited for, so anywhere in it) and no error.
shown=$(printf '1\n\n2\nMon livre\n\n' | "$root/tools/demo" --program "$program" 2>&1)
said() { grep "$@" <<<"$shown"; }
expect "demo: exit codes" $'exit code: 1\nexit code: 1' "$(said '^exit code')"
expect "demo: the book opened" 1 "$(said -c '(xdg-open asked to open: .*/livre/index.html)')"
expect "demo: no error from the stand-in" "" "$(said -i -E 'tty|not found|cannot')"
expect "demo: the renamed desktop shortcut" 1 "$(said -c '^--- shortcut desktop/Mon livre.desktop')"
expect "demo: both launchers valid" 2 "$(said -c '^(desktop-file-validate: valid)')"

[[ $failures == 0 ]]
