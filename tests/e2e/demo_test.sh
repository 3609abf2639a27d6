#!/usr/bin/env bash
# The README's main job: tools/demo on the sample book with the native program, accepting and
# then renaming the desktop shortcut. Its transcript must tell each run's real exit code and
# show the book being opened (the opener is not waited for, so its line may come anywhere), and
# nothing else.
runner=native
program=$1
source "$(dirname "$0")/lib.sh"
shown=$(printf '1\n\n2\nMon livre\n\n' | "$root/tools/demo" --program "$program" 2>&1)
expect "exit codes" $'exit code: 1\nexit code: 1' "$(grep '^exit code' <<<"$shown")"
expect "the book opened" 1 "$(grep -c '(xdg-open asked to open: .*/livre/index.html)' <<<"$shown")"
expect "no error from the stand-in" "" "$(grep -i -E 'tty|not found|cannot' <<<"$shown")"
expect "the renamed desktop shortcut" 1 \
    "$(grep -c '^--- shortcut desktop/Mon livre.lnk' <<<"$shown")"
[[ $failures == 0 ]]
