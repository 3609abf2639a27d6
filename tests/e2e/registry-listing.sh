# Sourced by the e2e scripts. registry_listing native|wine KEY prints one line per value of KEY
# and of every key below it, as key|value|type|data, read by a tool other than the program:
# natively the sqlite3 shell running the listing query of docs/registry.md (so the documented
# query is known to work), under Wine `reg query`. Strings come without their NUL, DWORDs as
# 0x%08x, anything else in upper-case hexadecimal; a key without values is one line key|||.
registry_listing() {
    local runner=$1 key=$2
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    if [[ $runner == wine ]]; then
        local output line current='' name type data valued=1
        output=$("$root/tools/wine-run" reg query "${key/HKEY_CURRENT_USER/HKCU}" /s 2>/dev/null) ||
            return 0
        # Wine's reg prints nothing at all for a key without values or sub-keys.
        grep -q '^HKEY_' <<<"$output" || { echo "$key|||"; return 0; }
        { printf '%s\n' "$output"; echo '<end>'; } |
            tr -d '\r' | while IFS= read -r line; do
            if [[ $line == HKEY_* || $line == '<end>' ]]; then
                [[ $valued == 1 ]] || echo "$current|||"
                current=$line
                valued=0
            elif [[ $line == "    "* ]]; then
                valued=1
                line=${line#    }
                name=${line%%    *}
                line=${line#*    }
                type=${line%%    *}
                data=${line#*    }
                [[ $data == "$type" ]] && data=''
                [[ $name == '(Default)' ]] && name='(default)'
                [[ $type == REG_DWORD ]] && data=$(printf '0x%08x' "$data")
                echo "$current|$name|$type|$data"
            fi
        done | LC_ALL=C sort
    else
        local query
        query=$(awk '/registry-listing.sh runs the next query/ { found = 1; next }
                     found && /^```sql/ { inside = 1; next }
                     inside && /^```/ { exit }
                     inside' "$root/docs/registry.md")
        query=${query/"VALUES ('HKEY_CURRENT_USER\\Software\\Quarlo\\UserData\\Referrals')"/"VALUES ('$key')"}
        [[ -n $query ]] || { echo "no listing query in docs/registry.md" >&2; return 1; }
        [[ -e "$XDG_CONFIG_HOME/webbook-helper/registry.db" ]] || return 0
        sqlite3 -readonly "$XDG_CONFIG_HOME/webbook-helper/registry.db" <<<"$query" | LC_ALL=C sort
    fi
}
