#!/usr/bin/env bash
# Eight writers record forty books each in one registry at once, a run in mode 1 (refused, no
# input) per book: every run ends as usual and every book's record is there afterwards.
runner=native program=$1
source "$(dirname "$0")/lib.sh"
for w in {0..7}; do
    for i in {0..39}; do
        run -mode 1 -autorunbookid "w$w-$i" -authoruserid "w$w-$i" </dev/null >/dev/null
        echo "$?" >>"$work/codes"
        printf '%s\n' "$referrals\\w$w-$i|ReaderTrack|REG_DWORD|0x00000000" \
            "$referrals\\w$w-$i|UserID|REG_SZ|w$w-$i" >>"$work/wanted"
    done &
done
wait
expect "runs that ended as usual" 320 "$(grep -cx 1 "$work/codes")"
expect "every writer's books are all there" "$(LC_ALL=C sort "$work/wanted")" \
    "$(registry_listing "$runner" "$referrals" | grep -E '\|(ReaderTrack|UserID)\|')"
[[ $failures == 0 ]]
