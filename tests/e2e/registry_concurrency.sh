#!/usr/bin/env bash
# Eight processes write forty book records each into one user's registry at the same time. Every
# writer must succeed and every record must be there afterwards: read back through the registry
# calls, and listed by another tool (natively the sqlite3 shell running the query documented in
# docs/registry.md, under Wine `reg query`).
# Usage: registry_concurrency.sh native|wine REGISTRY_WRITER
set -u
runner=$1
writer=$2
here=$(cd "$(dirname "$0")" && pwd)
writers=8
books=40
referrals='HKEY_CURRENT_USER\Software\Quarlo\UserData\Referrals'
tag="c$$"  # a Wine prefix shared by a test run may hold other tests' books

if [[ $runner == wine ]]; then
    source "$here/wine-prefix.sh"
    run() { "$here/../../tools/wine-run" "$writer" "$@"; }
else
    XDG_CONFIG_HOME=$(mktemp -d)
    export XDG_CONFIG_HOME
    trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
    run() { "$writer" "$@"; }
fi

fail() {
    echo "FAIL: $*"
    exit 1
}

names=()
for ((w = 0; w < writers; ++w)); do names+=("$tag-w$w"); done

start=$EPOCHREALTIME
pids=()
for name in "${names[@]}"; do
    run write "$name" "$books" &
    pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do
    wait "$pid" || failed=$((failed + 1))
done
elapsed=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }')
echo "$writers writers x $books books at once ($runner): ${elapsed} s"
[[ $failed == 0 ]] || fail "$failed of $writers writers failed"

run check "${names[@]}" "$books" || fail "records missing after the writers finished"

expected=$((writers * books))
source "$here/registry-listing.sh"
listed=$(registry_listing "$runner" "$referrals" | grep -F "$referrals\\$tag-")
wanted=$(for name in "${names[@]}"; do
    for ((i = 0; i < books; ++i)); do
        echo "$referrals\\$name-$i|ReaderTrack|REG_DWORD|0x00000001"
        echo "$referrals\\$name-$i|UserID|REG_SZ|$name-$i"
    done
done | LC_ALL=C sort)
if [[ $listed != "$wanted" ]]; then
    diff <(echo "$wanted") <(echo "$listed") | head -20
    fail "the listing by another tool differs from the $((expected * 2)) values written"
fi
found=$(grep -c '|UserID|' <<<"$listed")
echo "all $found books complete"
