#!/usr/bin/env bash
# The shipped program holds nothing of the tests' fault injection: neither the names it fails
# calls by (the kInjectable lists of tests/support/*/system_faults.cpp), bar the functions the
# program imports or looks up itself, nor its message.
set -euo pipefail
runner=$1 program=$2 source_dir=$3
fail() { echo "FAIL: $*"; exit 1; }

names=$(sed -n '/kInjectable\[\] = {/,/};/p' "$source_dir"/tests/support/*/system_faults.cpp |
    grep -oE '"[^"]+"' | tr -d '"' | sort -u)
(($(wc -l <<<"$names") >= 10)) || fail "no fault names read from the tests' support"
if [[ $runner == wine ]]; then
    imported=$(x86_64-w64-mingw32-objdump -p "$program" |
        awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print $3 }')
else
    imported=$(nm -D --undefined-only "$program" | awk '{ print $2 }' | sed 's/@.*//')
fi
looked_up=$(grep -rhoE 'SystemProc<[^>]*>\([^,]*, *"[A-Za-z_0-9]+"' "$source_dir/src" |
    sed -E 's/.*"([A-Za-z_0-9]+)"$/\1/' || true)
found=$(strings -a "$program" | grep -xF "$names" | sort -u |
    grep -vxF "$(printf '%s\n' $imported $looked_up)" || true)
if strings -a "$program" | grep -qF 'fault injection:'; then found+=" (the support's message)"; fi
[[ -z $found ]] || fail "the program holds the fault names:" $found
echo "ok: none of $(wc -l <<<"$names") fault names in the program"
