#!/usr/bin/env bash
# Runs a command with an X screen of its own (Xvfb, 1024 x 768), for tests that open the
# program's windows; GTK's accessibility bridge stays off (no session bus here). Under the
# sanitizers, the leaks that GTK, GLib and fontconfig keep until exit by design are suppressed
# for these processes only (gtk.supp). The screen never resets (-noreset): by default Xvfb
# resets whenever its last client leaves, and refuses connections while it does, which a test
# starting its next window at that moment would take for a display that does not answer. The
# server's process is WBH_XVFB_PID, for a test that loses its display.
# Usage: on_xvfb.sh COMMAND...
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 600); do [[ -s $display_file ]] && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$display_file") NO_AT_BRIDGE=1 WBH_XVFB_PID=$xvfb_pid
unset WAYLAND_DISPLAY
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/gtk.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
"$@"
