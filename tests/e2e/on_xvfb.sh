#!/usr/bin/env bash
# Runs a command with an X screen of its own (Xvfb, 1024 x 768, its process WBH_XVFB_PID), GTK's
# accessibility bridge off and GTK's by-design leaks suppressed (gtk.supp). -noreset: an Xvfb left
# by its last client resets, and the next window would find a display that does not answer.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; kill -CONT "$xvfb_pid" 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 600); do [[ -s $display_file ]] && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$display_file") NO_AT_BRIDGE=1 WBH_XVFB_PID=$xvfb_pid
unset WAYLAND_DISPLAY
suppressions=$(cd "$(dirname "$0")" && pwd)/gtk.supp
export LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
"$@"
