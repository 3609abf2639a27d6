#!/usr/bin/env bash
# The sample book's story under Wine (code page 1252) in folders named in any script: every file,
# shortcut and value made, the book opened hidden, nothing else changed in the work folder or C:.
export LC_ALL=C.UTF-8  # Wine names Unix files in the locale's character set
runner=wine program=$1 driver=$2 recorder=$3 reader=$4
source "$(dirname "$0")/lib.sh"
shell_folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'

# .html pages open in the show recorder.
wine_run reg add 'HKCR\.html' /ve /d wbhtest.page /f
wine_run reg add 'HKCR\wbhtest.page\shell\open\command' /ve /f \
    /d "\"$(program_path "$recorder")\" \"%1\""

# Every file below the work folder with its checksum, "path|md5" in byte order.
snapshot() {
    (cd "$work" && find . -type f -print0 | xargs -0 -r md5sum) |
        sed 's/^\([0-9a-f]*\)  \(.*\)$/\2|\1/' | LC_ALL=C sort
}

# install ROW BOOK DESKTOP RESULTS ID ID_IN_SCRIPT PARTNER PARTNER_IN_SCRIPT NAME TYPED ENCODING:
# the sample book in BOOK, its parameters file in ENCODING (CP1252 or UTF-16) naming ID, PARTNER
# and the shortcut NAME (TYPED, if given, replaces it in the finish dialog); *_IN_SCRIPT as the
# script spells them (code page bytes, \uXXXX escapes). A UTF-16 file also holds a section, a key
# and a value that do not convert (an unpaired surrogate, U+E000 until the end), each left out
# alone: the value would take the place of the install directory given on the command line.
install() {
    local row=$1 livre=$work/$2 desktop=$work/$3 results=$work/$4 id=$5 id_js=$6 partner=$7
    local partner_js=$8 name=$9 typed=${10} encoding=${11} s=$'\uE000'
    mkdir -p "$livre" "$desktop" "$results"
    cp -r "$root/examples/sample-book/." "$livre"
    grep -v -e '^;' -e '^\[parameters\]' -e '^autorunbookid=' -e '^authorpartnerid=' \
        -e '^desktopshortcutname=' "$root/examples/sample-book/parameters.ini" |
        { [[ $encoding == UTF-16 ]] && printf '%s\n' "[a$s]" k=v; echo '[parameters]'
            [[ $encoding == UTF-16 ]] && printf '%s\n' "k$s=v" "installdirectory=$s"
            cat; printf '%s\n' "autorunbookid=$id" "authorpartnerid=$partner" \
                "desktopshortcutname=$name"; } | sed 's/$/\r/' |
        # UTF-16 as Windows writes it: little-endian after its byte-order mark.
        { [[ $encoding == UTF-16 ]] && printf '\xff\xfe'; iconv -f UTF-8 -t "${encoding/%16/16LE}"; } |
        perl -0777 -pe '$_ = pack("v*", map { $_ == 0xE000 ? 0xD800 : $_ } unpack("v*", $_))
            if /^\xff\xfe/' >"$livre/parameters.ini"
    for key in 'HKCU\Software\Quarlo' 'HKCR\.7xe' 'HKCR\7xefile'; do wine_run reg delete "$key" /f; done
    wine_run reg add "$shell_folders" /v Desktop /t REG_SZ /d "$(program_path "$desktop")" /f
    local before=$(snapshot) book=$(program_path "$livre") desktop_name=$name
    touch "$work.mark"
    local files=(-parametersfilepath "$book\\parameters.ini"
        -rtpfilename "$(program_path "$results/r.rtp")")

    answer '' 'click=1001;enter' -mode 1 "${files[@]}"
    expect "$row: mode 1 exit code" 1 "$code"
    local name_step="shows=1005:$name"
    [[ -n $typed ]] && name_step="text=1005:$typed" desktop_name=$typed
    answer '' "checked=1004;checked=1007;$name_step;enter" -mode 2 -installdirectory "$book" \
        "${files[@]}"
    expect "$row: mode 2 exit code" 1 "$code"
    for _ in $(seq 300); do [[ -e $livre/index.html.shown ]] && break; sleep 0.1; done
    expect "$row: the book opened hidden" \
        "argument=$book\\index.html|use_show_window=1|show_window=0|cmd_show=0" \
        "$(tr -d '\r' <"$livre/index.html.shown" | paste -sd'|')"
    rm -f "$livre/index.html.shown"

    # The store as reg export writes it, sorted (registry_listing's reg query prints in OEM).
    wine_run reg export 'HKCU\Software\Quarlo' "$(program_path "$work.reg")" /y
    local lines=$(iconv -f UTF-16 -t UTF-8 "$work.reg" | tr -d '\r' |
        grep -v -e '^$' -e '^Windows Registry Editor' | LC_ALL=C sort)
    rm -f "$work.reg"
    local reader_id=$(sed -n 's/^"ReaderID"="\(.*\)"$/\1/p' <<<"$lines")
    expect "$row: registry" "$(printf '%s\n' '[HKEY_CURRENT_USER\Software\Quarlo]' "[$user_data]" \
        "[$user_data\\Referrals]" "[$user_data\\Referrals\\$id]" \
        "\"Install Directory\"=\"${book//\\/\\\\}\"" '"LastReaderTrack"=dword:00000001' \
        "\"PartnerID\"=\"$partner\"" '"QuarloSKU"="QRL-AUTEUR-01"' "\"ReaderID\"=\"$reader_id\"" \
        '"ReaderTrack"=dword:00000001' "\"UserID\"=\"$author\"" | LC_ALL=C sort)" \
        "$(grep -v '^"TimeStamp"' <<<"$lines")"
    local year=$(date -u +%Y)
    expect "$row: TimeStamp: 16 bytes, this year first" \
        "$(printf 'hex:%02x,%02x 16' $((year & 255)) $((year >> 8)))" \
        "$(sed -n 's/^"TimeStamp"=//p' <<<"$lines" | awk -F, '{ print $1 "," $2, NF }')"

    script_is "$row: tracking script" "$livre/js/suivi.js" "$author" QRL-AUTEUR-01 "$partner_js" \
        "$reader_id" 1 "$id_js"
    local link="Lancer le livre Web.lnk" shortcut="$book\\index.html|$book\\livre.ico|0"
    expect "$row: shortcuts, read back by the shell" "$shortcut"$'\n'"$shortcut" \
        "$("$root/tools/wine-run" "$reader" "$book\\$link" \
            "$(program_path "$desktop/$desktop_name.lnk")" | tr -d '\r')"
    # Nothing else: no other book's file, no file at a look-alike's ASCII twin.
    expect "$row: the work folder's changes" "$(printf '%s\n' "./$2/$link" "./$2/js/suivi.js" \
        "./$2/livre-exemple.7xe" "./$3/$desktop_name.lnk" "./$4/r.rtp" | LC_ALL=C sort)" \
        "$(LC_ALL=C comm -3 <(echo "$before") <(snapshot) | sed 's/^\t//; s/|[0-9a-f]*$//' |
            LC_ALL=C sort -u)"
    expect "$row: nothing in the prefix's drive C:" "" \
        "$(find "$WINEPREFIX/drive_c" -newer "$work.mark" -print)"
    rm "$work.mark"
}

# The look-alikes of the folders above, a quote and a hyphen of a result folder that would
# end a value and start an option if they were read as their ASCII twins.
install "fullwidth" "Ｌｉｖｒｅｓ/livre" "Ｂｕｒｅａｕ" "a＂ －mode 9 ＂b" livre-b livre-b \
    partenaire partenaire "Le livre exemple" "" CP1252
install "Cyrillic" "Книги/книга" "Рабочий стол" Темп книга-1 '\u043A\u043D\u0438\u0433\u0430-1' \
    партнёр '\u043F\u0430\u0440\u0442\u043D\u0451\u0440' "Моя книга" "" UTF-16
# A name typed in the finish dialog outside the code page; a partner whose last character the
# reader's first read (16 units) cuts in half.
install "Chinese" 书 桌面 结果 书-1 '\u4E66-1' '伙伴 00000000000😀' \
    '\u4F19\u4F34 00000000000\uD83D\uDE00' 书 "书 Ｌｉｖｒｅ" UTF-16
install "French" "Livres été" "Bureau été" Résultats livre-c livre-c "partenaire-été" \
    "$(printf '%s' partenaire-été | iconv -f UTF-8 -t CP1252)" "Livre été" "" CP1252
# The prefix's desktop is its own again (the last one named is about to be deleted).
wine_run reg add "$shell_folders" /v Desktop /t REG_EXPAND_SZ /d '%USERPROFILE%\Desktop' /f
[[ $failures == 0 ]]
