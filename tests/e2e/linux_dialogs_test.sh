#!/usr/bin/env bash
# The program's dialog windows on an X screen (run by on_xvfb.sh), driven by xdotool's keyboard
# and pointer as a reader would; each run is checked by what it wrote: the registry, the
# desktop's shortcuts, the opener's record.
# Usage: linux_dialogs_test.sh PROGRAM CLOSE_REQUEST
runner=native
program=$1
close_request=$2
display=$DISPLAY
source "$(dirname "$0")/lib.sh"
export DISPLAY=$display
native_book_desktop
referrals='HKEY_CURRENT_USER\Software\Quarlo\UserData\Referrals'

# free_display FIRST: binds `listener` to the first free X display's abstract socket from :FIRST
# (100 tried) and names it in DISPLAY.
free_display='
import os, socket, subprocess, sys
def free_display(listener, first):
    for n in range(first, first + 100):
        try:
            listener.bind("\0/tmp/.X11-unix/X%d" % n)
            os.environ["DISPLAY"] = ":%d" % n
            return
        except OSError:
            pass
    sys.exit(125)
'
# silent_display x11|wayland DIR COMMAND...: runs COMMAND with the display named by a socket
# that listens and never accepts (X11: the abstract socket libxcb tries first for DISPLAY=:N,
# from :1000, in place of DISPLAY; Wayland: DIR/wayland-silent, beside DISPLAY), and ends as
# COMMAND does.
silent_display=$free_display'
listener = socket.socket(socket.AF_UNIX)
if sys.argv[1] == "x11":
    free_display(listener, 1000)
    os.environ.pop("WAYLAND_DISPLAY", None)
else:
    listener.bind(sys.argv[2] + "/wayland-silent")
    os.environ.update(XDG_RUNTIME_DIR=sys.argv[2], WAYLAND_DISPLAY="wayland-silent")
listener.listen(16)
sys.exit(subprocess.call(sys.argv[3:]))'

# cut_display N COMMAND...: runs COMMAND with DISPLAY naming a proxy to the X screen (an
# abstract socket from :1100) that passes its first connection whole (the display probe's) and
# cuts each later one (GTK's) N bytes into the server's answers after its connection setup; ends
# as COMMAND does.
cut_display=$free_display'
import struct, threading
screen, limit = "\0/tmp/.X11-unix/X" + os.environ["DISPLAY"].lstrip(":"), int(sys.argv[1])
listener = socket.socket(socket.AF_UNIX)
free_display(listener, 1100)
listener.listen(16)
def pump(source, sink, cut):
    setup, left = b"", None
    while True:
        try:
            data = source.recv(65536)
        except OSError:
            data = b""
        if cut and left is None:
            setup += data
            if len(setup) >= 8:  # the setup answer: 8 bytes, then its length in 4-byte units
                left = 8 + 4 * struct.unpack("<H", setup[6:8])[0] + limit - len(setup) + len(data)
        if left is not None:
            data = data[:max(left, 0)]
            left -= len(data)
        try:
            sink.sendall(data)
        except OSError:
            data = b""
        if not data or left == 0:
            for end in (source, sink):
                try:
                    end.shutdown(socket.SHUT_RDWR)
                except OSError:
                    pass
            return
def serve():
    first = True
    while True:
        client = listener.accept()[0]
        upstream = socket.socket(socket.AF_UNIX)
        upstream.connect(screen)
        threading.Thread(target=pump, args=(client, upstream, False), daemon=True).start()
        threading.Thread(target=pump, args=(upstream, client, not first), daemon=True).start()
        first = False
threading.Thread(target=serve, daemon=True).start()
sys.exit(subprocess.call(sys.argv[2:]))'

# show CAPTION ARGS...: starts the program (through the command in `via`, if any) and waits for
# its window to show; it gets the keyboard; sets `window`, `pid`, and the window's `width`,
# `height` and position `left`, `top`. A program that ends without one is not waited for.
via=()
show() {
    "${via[@]}" "$program" "${@:2}" </dev/null >"$work/output" 2>&1 &
    pid=$!
    window=
    for _ in $(seq 2400); do
        window=$(xdotool search --onlyvisible --name "^$1\$" | head -n 1)
        [[ -z $window ]] && kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    xdotool windowfocus --sync "$window"
    eval "$(xdotool getwindowgeometry --shell "$window" | sed 's/^X=/left=/; s/^Y=/top=/;
        s/^WIDTH=/width=/; s/^HEIGHT=/height=/')"
}
# click X Y WIDTH HEIGHT DIALOG_WIDTH DIALOG_HEIGHT: a pointer click left in the control at
# this template rectangle, placed by the base units that the window's size shows.
click() {
    xdotool mousemove --window "$window" $(awk -v x="$1" -v y="$2" -v h="$4" -v w="$width" \
        -v hh="$height" -v dw="$5" -v dh="$6" 'BEGIN {
            cx = int(w * 4 / dw + 0.5); cy = int(hh * 8 / dh + 0.5)
            print int((x + 4) * cx / 4), int((y + h / 2) * cy / 8) }') click 1
}
# finish NAME: the window has gone and the program ended with exit code 1; its output is empty.
finish() { ended "$1" "$pid"; }
track() { registry_listing native "$referrals\\$1" | grep -F '|ReaderTrack|' | cut -d'|' -f4; }

# Nothing stored: Enter does nothing while no answer is chosen, nor do Escape and the close
# box. Tab goes from the notice to the first answer (Space takes it), then to "Continuer". The
# dialog is centred on the screen.
consent() { show 'Utilisation du livre Web et confidentialité' -mode 1 -autorunbookid "$1"; }
consent b1
expect "centred" "$(((1024 - width) / 2)),$(((768 - height) / 2))" "$left,$top"
xdotool key Return Escape
"$close_request" "$window"
xdotool key Tab space Tab space
finish "accepted by keyboard"
expect "accepted by keyboard" 0x00000001 "$(track b1)"
# The stored answer is checked (the pointer takes the other one) and has the keyboard (an
# arrow goes to the other one and takes it).
for row in 'b2 0x00000000 click 49 250 200 20 300 305' 'b3 0x00000001 xdotool key Up' \
    'b4 0x00000000 xdotool key Down'; do
    read -r book answer action <<<"$row"
    consent "$book"
    $action
    xdotool key Return
    finish "$row"
    expect "$row" "$answer" "$(track "$book")"
done

# A Wayland display that takes the connection and never answers, beside the X screen: the
# window opens on the X screen, GDK never trying the silent one; it has the last answer (b4's).
mkdir -m 700 "$work/runtime-beside"
via=(python3 -c "$silent_display" wayland "$work/runtime-beside")
consent beside
via=()
xdotool key Return
finish "silent Wayland beside X"
expect "silent Wayland beside X" 0x00000000 "$(track beside)"

# The finish dialog: a name typed into the box, and Enter there presses "Terminer".
book=(-installdirectory "$work/livre" -parametersfilepath "$work/livre/parameters.ini")
show "Fin de l'extraction" -mode 2 "${book[@]}"
click 120 45 105 12 250 154
xdotool key ctrl+a type 'Mon livre'
xdotool key Return
finish "named shortcut"
for _ in $(seq 1200); do [[ -s $work/opened ]] && break; sleep 0.05; done
expect "named shortcut, book opened" "Mon livre.desktop 1 $work/livre/index.html" \
    "$(ls "$work/desktop") $(head -n 2 "$work/opened" 2>/dev/null | xargs -d '\n')"
# Both choices off by the keyboard (Tab from "Terminer" to each choice, Space); Enter from
# the second choice presses "Terminer": nothing saved, nothing opened.
rm -f "$work/desktop"/* "$work/opened"
show "Fin de l'extraction" -mode 2 "${book[@]}"
xdotool key Tab space Tab space Return
finish "both off"
expect "both off" "" "$(ls "$work/desktop"; ls "$work/opened" 2>/dev/null)"

# The display lost while a dialog is open: each run on an X server of its own, killed then. The
# dialog ends as one that closed with no answer (an answer chosen but not confirmed is none),
# and the run goes on to its records, its result file and its exit code.
# lose_display KEYS CAPTION ARGS...: shows the dialog there, presses KEYS (none if empty), kills
# the server and waits for the end of the run, which is as `finish` expects.
lose_display() {
    local keys=$1
    shift
    local display_file xvfb shared=$DISPLAY
    display_file=$(mktemp -p "$work")
    # -noreset: a server whose last client (the test's own xdotool) has just left resets, and
    # refuses the program's connection meanwhile.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
    xvfb=$!
    for _ in $(seq 600); do [[ -s $display_file ]] && break; sleep 0.05; done
    export DISPLAY=:$(head -n 1 "$display_file")
    show "$@" -rtpfilename "$work/r.rtp"
    [[ -z $keys ]] || xdotool key $keys
    kill "$xvfb"
    wait "$xvfb"
    export DISPLAY=$shared
    finish "display lost: $1"
    expect "display lost: $1, result file" "[ADRTP] ExitCode=0" \
        "$(tr -d '\r' 2>/dev/null <"$work/r.rtp" | xargs)"
    rm -f "$work/r.rtp"
}
# The refusal stored last is checked, and the arrow takes the acceptance without pressing
# "Continuer"; the finish dialog has both choices checked.
lose_display Up 'Utilisation du livre Web et confidentialité' -mode 1 -autorunbookid b5
expect "display lost: refusal recorded" "0x00000000 0x00000000" \
    "$(track b5) $(registry_listing native "$referrals" | grep -F '|LastReaderTrack|' | cut -d'|' -f4)"
rm -f "$work/desktop"/* "$work/opened"
lose_display '' "Fin de l'extraction" -mode 2 "${book[@]}"
sleep 0.5  # as long as an opener started by the run would take to write its record
expect "display lost: no desktop shortcut, nothing opened" "" \
    "$(ls "$work/desktop"; ls "$work/opened" 2>/dev/null)"

# The display's connection cut while GTK opens it (early, in its first requests, and later):
# the dialog ends as one that closed without an answer, not as one that could not be opened
# (the terminal would take the answers offered on the input), and the run goes on to its
# records, its result file and its exit code.
for limit in 20 300 3800; do
    rm -f "$work/r.rtp"
    printf '1\n\n' | timeout 120 python3 -c "$cut_display" "$limit" "$program" -mode 1 \
        -autorunbookid "cut$limit" -rtpfilename "$work/r.rtp" >"$work/output" 2>&1
    ended="$? $(tr -d '\r' 2>/dev/null <"$work/r.rtp" | xargs)"
    grep -q '^===' "$work/output" && ended+=" terminal"
    expect "cut after $limit bytes: exit code, result file, refusal" \
        "1 [ADRTP] ExitCode=0 0x00000000" "$ended $(track "cut$limit")"
done

# The terminal dialog, taking the answers on its input, where no window can be shown: a display
# that takes the connection and never says anything (a stale forwarded one), and GTK not on the
# machine (the program in a folder without its windows' module, or with one that cannot be
# loaded) with a display that answers.
terminal() {  # terminal BOOK COMMAND...
    printf '1\n\n' | timeout 120 "${@:2}" -mode 1 -autorunbookid "$1" >"$work/output" 2>&1
    local code=$?
    grep -q '^=== Utilisation du livre Web' "$work/output" && code+=" terminal"
    expect "$1: exit code, dialog, answer" "1 terminal 0x00000001" "$code $(track "$1")"
}
for kind in x11 wayland; do
    mkdir -m 700 "$work/runtime-$kind"
    terminal "silent-$kind" env -u DISPLAY python3 -c "$silent_display" "$kind" \
        "$work/runtime-$kind" "$program"
done
mkdir "$work/alone"
cp "$program" "$work/alone/"
terminal module-absent "$work/alone/$(basename "$program")"
echo 'not a library' >"$work/alone/webbook-helper-gtk.so"
terminal module-unloadable "$work/alone/$(basename "$program")"
[[ $failures == 0 ]]
