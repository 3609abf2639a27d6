#!/usr/bin/env bash
# The program's windows as assistive technologies read them through AT-SPI (run by on_xvfb.sh,
# in a session bus of its own), before and after a reader's clicks, which then close them.
# Usage: accessibility_test.sh PROGRAM
runner=native
program=$1
display=$DISPLAY
source "$(dirname "$0")/lib.sh"
export DISPLAY=$display
unset NO_AT_BRIDGE
native_book_desktop

# read_window NAME CAPTION STEPS ARGS...: runs the program with ARGS, sets `reading` from
# accessible_reading.py's STEPS on its window (its arguments, separated by ";"), and expects
# the end of an answered dialog's run.
read_window() {
    local steps
    IFS=';' read -ra steps <<<"$3"
    "$program" "${@:4}" </dev/null >"$work/output" 2>&1 &
    local pid=$!
    reading=$(/usr/bin/python3 "$here/accessible_reading.py" "$pid" "$2" "${steps[@]}")
    ended "$1" "$pid"
}

# The consent dialog as it opens, then once "Oui" is clicked: "Oui" checked, "Continuer" enabled.
consent='Utilisation du livre Web et confidentialité'
read_window consent "$consent" "read;click;Oui, je l'accepte.;read;close;Continuer" \
    -mode 1 -autorunbookid b1
policy='"Notre politique de confidentialité est consultable\nsur le site Web de Quarlo '\
'(www.quarlo.example)."'
question="\"Acceptez-vous que votre Identifiant de lecteur ANONYME soit généré (s'il ne l'a pas déjà \
été), et communiqué à Quarlo à l'aide des mécanismes de suivi de ce livre Web ?\""
no="\"Non, je ne veux pas que Quarlo connaisse mon Identifiant de lecteur lorsque j'utiliserai ce \
livre Web.\""
opened="frame \"$consent\" [enabled]
  panel \"\" [enabled]
    push button \"Continuer\" [focusable default]
    scroll pane \"\" [enabled focusable]
      text \"\" [enabled focusable read-only]
    label $policy [enabled]
    radio button \"Oui, je l'accepte.\" [enabled focusable] 1 of 2 in its group
    radio button $no [enabled focusable] 2 of 2 in its group
    label $question [enabled]"
expect "consent dialog" "$opened
$(sed -e 's/"Continuer" \[/&enabled /' -e "s/\(\"Oui, je l'accepte.\" \[.*\)\]/\1 checked]/" \
    <<<"$opened")" "$reading"

# The finish dialog as it opens, then with both choices cleared: neither checked, the name box
# and the static text that names it disabled.
book=(-installdirectory "$work/livre" -parametersfilepath "$work/livre/parameters.ini")
clear='click;Créer un raccourci sur mon bureau.;click;Ouvrir le livre maintenant.'
read_window finish "Fin de l'extraction" "read;$clear;read;close;Terminer" -mode 2 "${book[@]}"
opened="frame \"Fin de l'extraction\" [enabled]
  panel \"\" [enabled]
    push button \"Terminer\" [enabled focusable default]
    panel \"Raccourci\" [enabled]
      label \"Raccourci\" [enabled]
    panel \"Navigateur\" [enabled]
      label \"Navigateur\" [enabled]
    check box \"Créer un raccourci sur mon bureau.\" [enabled focusable checked]
    text \"Nom du raccourci : \" [enabled focusable editable] labelled by \"Nom du raccourci : \"
    label \"Nom du raccourci : \" [enabled] label for text
    check box \"Ouvrir le livre maintenant.\" [enabled focusable checked]"
expect "finish dialog" "$opened
$(sed -e 's/ checked\]/]/' -e 's/\(text "Nom du raccourci : " \[\)enabled /\1/' \
    -e 's/\(label "Nom du raccourci : "\) \[enabled\]/\1/' <<<"$opened")" "$reading"
[[ $failures == 0 ]]
