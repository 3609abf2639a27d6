#!/usr/bin/env bash
# Eight writers put forty book records each into one user's registry at the same time. Every
# writer must succeed and every record must be there afterwards: read back through the registry
# calls, and listed by another tool (natively the sqlite3 shell running the query documented in
# docs/registry.md, under Wine `reg query`).
#
# Natively each writer is a series of runs of one book each, short as the program's own runs
# are. SQLite does not hand its lock over in turn: a process writing forty books back to back
# keeps it, the others' waits add up, and on a busy machine one of them waits out the store's
# limit and gives up, as it should. Under Wine, wineserver serves each registry call in turn,
# and a Wine process costs far more to start: there each writer is one run of forty books.
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
    runs=1
else
    XDG_CONFIG_HOME=$(mktemp -d)
    export XDG_CONFIG_HOME
    trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
    run() { "$writer" "$@"; }
    runs=$books
fi
per_run=$((books / runs))

fail() {
    echo "FAIL: $*"
    exit 1
}

# Writer w's runs write the books $tag-w<w>-r<run>-<i>, i < per_run.
names=()
for ((w = 0; w < writers; ++w)); do
    for ((r = 0; r < runs; ++r)); do names+=("$tag-w$w-r$r"); done
done

pids=()
for ((w = 0; w < writers; ++w)); do
    (for ((r = 0; r < runs; ++r)); do run write "$tag-w$w-r$r" "$per_run" || exit 1; done) &
    pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do
    wait "$pid" || failed=$((failed + 1))
done
[[ $failed == 0 ]] || fail "$failed of $writers writers failed"

run check "${names[@]}" "$per_run" || fail "records missing after the writers finished"

expected=$((writers * books))
source "$here/registry-listing.sh"
listed=$(registry_listing "$runner" "$referrals" | grep -F "$referrals\\$tag-")
wanted=$(for name in "${names[@]}"; do
    for ((i = 0; i < per_run; ++i)); do
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
