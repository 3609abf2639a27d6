#!/usr/bin/env bash
# The Windows program is reproducible: the same sources built with the same preset in another
# folder (source and build paths of another length) give the same bytes, so a packager can check
# a shipped program against one built from its commit.
set -euo pipefail
source_dir=$1 program=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy=$work/an-other-checkout
mkdir "$copy"
# The sources as they stand (a commit not yet made included), without any build or Git's data.
tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
(cd "$copy" && cmake --preset mingw -B "$work/other-build" -DWBH_TESTS=OFF >/dev/null &&
    cmake --build "$work/other-build" --target webbook-helper >/dev/null)
rebuilt=$work/other-build/webbook-helper.exe

if ! cmp -s "$program" "$rebuilt"; then
    differing=$(cmp -l "$program" "$rebuilt" 2>/dev/null || true)
    echo "FAIL: expected the same bytes from $copy, got $(wc -l <<<"$differing") differing bytes" \
        "(sizes $(stat -c %s "$program") and $(stat -c %s "$rebuilt")), the first:"
    head -n 8 <<<"$differing"
    exit 1
fi
echo "ok: the same $(stat -c %s "$program") bytes, sha256 $(sha256sum <"$program" | cut -c1-64)"
