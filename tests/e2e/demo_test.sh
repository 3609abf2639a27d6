#!/usr/bin/env bash
# The README's main job: tools/demo on the sample book, accepting and renaming the desktop
# shortcut. Its transcript tells each exit code, the book's opening (the opener is not waited
# for, so anywhere in it) and no error.
runner=native program=$1
source "$(dirname "$0")/lib.sh"
shown=$(printf '1\n\n2\nMon livre\n\n' | "$root/tools/demo" --program "$program" 2>&1)
expect "exit codes" $'exit code: 1\nexit code: 1' "$(grep '^exit code' <<<"$shown")"
expect "the book opened" 1 "$(grep -c '(xdg-open asked to open: .*/livre/index.html)' <<<"$shown")"
expect "no error from the stand-in" "" "$(grep -i -E 'tty|not found|cannot' <<<"$shown")"
expect "the renamed desktop shortcut" 1 \
    "$(grep -c '^--- shortcut desktop/Mon livre.desktop' <<<"$shown")"
expect "both launchers valid" 2 "$(grep -c '^(desktop-file-validate: valid)' <<<"$shown")"
[[ $failures == 0 ]]
