#!/usr/bin/env bash
# The program's windows on on_xvfb.sh's X screen, in a session bus of their own: driven by
# xdotool's keyboard as a reader would, and read through AT-SPI as assistive technologies do.
runner=native program=$1 close_request=$2 display=$DISPLAY
source "$(dirname "$0")/lib.sh"
export DISPLAY=$display
native_book_desktop

# silent_wayland DIR COMMAND...: runs COMMAND with a Wayland display that takes the connection
# and never answers (DIR/wayland-silent, listening and never accepting), and ends as it does.
silent_wayland='import os, socket, subprocess, sys
os.mkdir(sys.argv[1], 0o700)
listener = socket.create_server(sys.argv[1] + "/wayland-silent", family=socket.AF_UNIX)
os.environ.update(XDG_RUNTIME_DIR=sys.argv[1], WAYLAND_DISPLAY="wayland-silent")
sys.exit(subprocess.call(sys.argv[2:]))'

# show CAPTION ARGS...: starts the program (through the command in `via`, if any) and gives its
# window the keyboard once shown, not waiting on a run that ends without one; sets window and pid.
via=()
show() {
    "${via[@]}" "$program" "${@:2}" </dev/null >"$work/output" 2>&1 &
    pid=$!
    for _ in $(seq 2400); do
        window=$(xdotool search --onlyvisible --name "^$1\$" | head -n 1)
        [[ -z $window ]] && kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    xdotool windowfocus --sync "$window"
}
track() { registry_listing native "$referrals\\$1" | grep -F '|ReaderTrack|' | cut -d'|' -f4; }

# Nothing stored: the dialog centred; Enter, Escape and the close box do nothing while no answer
# is chosen. Tab goes from the notice to the first answer (Space takes it), then to "Continuer".
caption='Utilisation du livre Web et confidentialité'
consent() { show "$caption" -mode 1 -autorunbookid "$@"; }
consent b1
eval "$(xdotool getwindowgeometry --shell "$window")"
expect "centred" "$(((1024 - WIDTH) / 2)),$(((768 - HEIGHT) / 2))" "$X,$Y"
xdotool key Return Escape
"$close_request" "$window"
xdotool key Tab space Tab space
ended "accepted by keyboard" "$pid"
expect "accepted by keyboard" 0x00000001 "$(track b1)"
# The stored answer is checked and has the keyboard: an arrow takes the other one, the keyboard
# with it (two arrows come back). Beside the X screen, a Wayland display that never answers: the
# window opens on the X screen, GDK never trying the silent one (else b3 could not accept).
for row in 'b2 0x00000000 Down' 'b3 0x00000001 Up' 'b4 0x00000001 Up Up'; do
    read -r book answer keys <<<"$row"
    via=(python3 -c "$silent_wayland" "$work/runtime-$book")
    consent "$book"
    read -ra keys <<<"$keys"
    xdotool key "${keys[@]}" Return
    ended "$row" "$pid"
    expect "$row" "$answer" "$(track "$book")"
done
via=()

# The finish dialog: a name typed into the box (Tab from "Terminer" to the shortcut choice, then
# to the box), and Enter there presses "Terminer".
book=(-installdirectory "$work/livre" -parametersfilepath "$work/livre/parameters.ini")
show "Fin de l'extraction" -mode 2 "${book[@]}"
xdotool key Tab Tab ctrl+a type 'Mon livre'
xdotool key Return
ended "named shortcut" "$pid"
for _ in $(seq 1200); do [[ -s $work/opened ]] && break; sleep 0.05; done
expect "named shortcut, book opened" "Mon livre.desktop 1 $work/livre/index.html" \
    "$(ls "$work/desktop") $(head -n 2 "$work/opened" 2>/dev/null | xargs -d '\n')"

# read_window NAME CAPTION STEPS ARGS...: `reading` is accessible_reading.py's STEPS on the window
# of a run with ARGS and a registry of its own (no answer stored), expected to end answered.
read_window() {
    env -u NO_AT_BRIDGE XDG_CONFIG_HOME="$work/read" "$program" "${@:4}" </dev/null \
        >"$work/output" 2>&1 &
    local pid=$!
    reading=$(/usr/bin/python3 "$here/accessible_reading.py" "$pid" "$2" "$3")
    ended "$1" "$pid"
}

# The consent dialog as it opens, then once "Oui" is clicked: "Oui" checked, "Continuer" enabled.
read_window "consent read" "$caption" "read;click;Oui, je l'accepte.;read;close;Continuer" \
    -mode 1 -autorunbookid b4
opened="frame \"$caption\" [enabled]
  panel \"\" [enabled]
    push button \"Continuer\" [focusable default]
    scroll pane \"\" [enabled focusable]
      text \"\" [enabled focusable read-only]
    label \"Notre politique de confidentialité est consultable\nsur le site Web de Quarlo \
(www.quarlo.example).\" [enabled]
    radio button \"Oui, je l'accepte.\" [enabled focusable] 1 of 2 in its group
    radio button \"Non, je ne veux pas que Quarlo connaisse mon Identifiant de lecteur lorsque \
j'utiliserai ce livre Web.\" [enabled focusable] 2 of 2 in its group
    label \"Acceptez-vous que votre Identifiant de lecteur ANONYME soit généré (s'il ne l'a pas \
déjà été), et communiqué à Quarlo à l'aide des mécanismes de suivi de ce livre Web ?\" [enabled]"
expect "consent dialog" "$opened
$(sed -e 's/"Continuer" \[/&enabled /' -e '/"Oui/s/\] 1/ checked] 1/' <<<"$opened")" "$reading"

# The finish dialog as it opens, then with both choices cleared: neither checked, the name box
# and the static text that names it disabled.
clear='click;Créer un raccourci sur mon bureau.;click;Ouvrir le livre maintenant.'
read_window "finish read" "Fin de l'extraction" "read;$clear;read;close;Terminer" \
    -mode 2 "${book[@]}"
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
$(sed -e 's/ checked\]/]/' -e '/Nom du/s/enabled \| \[enabled\]//' <<<"$opened")" "$reading"

# The terminal dialog, where no window can be shown: a display that never answers (the X server
# stopped, as a stale forwarded display), and one that does but no windows' module loads (no GTK).
terminal() {  # terminal BOOK COMMAND...
    printf '1\n\n' | timeout 120 "${@:2}" -mode 1 -autorunbookid "$1" >"$work/output" 2>&1
    local code=$?
    grep -q '^=== Utilisation du livre Web' "$work/output" && code+=" terminal"
    expect "$1: exit code, dialog, answer" "1 terminal 0x00000001" "$code $(track "$1")"
}
kill -STOP "$WBH_XVFB_PID"
terminal silent-x11 "$program"
kill -CONT "$WBH_XVFB_PID"
install -D "$program" "$work/alone/webbook-helper"
echo 'not a library' >"$work/alone/webbook-helper-gtk.so"
terminal module-unloadable "$work/alone/webbook-helper"

# Last, as nothing can be shown after it: the X server killed while the consent dialog is open.
# The dialog ends as one closed with no answer (the terminal's acceptance, stored last, is
# checked but not confirmed), and the run goes on quietly to its records and result file.
consent b5 -rtpfilename "$work/r.rtp"
kill "$WBH_XVFB_PID"
ended "display lost" "$pid"
expect "display lost: result file, refusal recorded" "[ADRTP] ExitCode=0 0x00000000 0x00000000" \
    "$(tr -d '\r' 2>/dev/null <"$work/r.rtp" | xargs) $(track b5) $(registry_listing native \
    "$referrals" | grep -F '|LastReaderTrack|' | cut -d'|' -f4)"
[[ $failures == 0 ]]
