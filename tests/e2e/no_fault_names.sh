#!/usr/bin/env bash
# The shipped program carries no fault injection: none of the injectable calls' names (the list
# in platform/portable/fault.h) is among its strings, except the ones it really calls by name:
# the functions it imports and the ones it looks up itself.
# Usage: no_fault_names.sh native|wine PROGRAM SOURCE_DIR
set -euo pipefail
runner=$1 program=$2 source_dir=$3

names=$(sed -n 's/^ *X(\([A-Za-z_0-9]*\)).*/\1/p' "$source_dir/src/platform/portable/fault.h")
if [[ $(wc -w <<<"$names") -lt 10 ]]; then
    echo "FAIL: no call names read from fault.h"
    exit 1
fi
if [[ $runner == wine ]]; then
    imported=$(x86_64-w64-mingw32-objdump -p "$program" | awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print $3 }')
else
    imported=$(nm -D --undefined-only "$program" | awk '{ print $2 }' | sed 's/@.*//')
fi
looked_up=$(grep -rhoE 'SystemProc<[^>]*>\([^,]*, *"[A-Za-z_0-9]+"' "$source_dir/src" |
    sed -E 's/.*"([A-Za-z_0-9]+)"$/\1/' || true)
found=$(strings -a "$program" | grep -xF "$names" | sort -u |
    grep -vxF "$(printf '%s\n' $imported $looked_up)" || true)
if [[ -n $found ]]; then
    echo "FAIL: the program holds the fault names:" $found
    exit 1
fi
echo "ok: none of $(wc -w <<<"$names") fault names in the program"
