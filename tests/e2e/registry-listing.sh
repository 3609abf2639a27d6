# registry_listing native|wine KEY: key|value|type|data for each value of KEY and the keys below
# it, read by another tool: natively sqlite3 running docs/registry.md's listing query, under Wine
# `reg query`. DWORDs as 0x%08x, binary in hexadecimal; a key without values is key|||.
registry_listing() {
    local root output query
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    if [[ $1 == wine ]]; then
        output=$("$root/tools/wine-run" reg query "${2/HKEY_CURRENT_USER/HKCU}" /s 2>/dev/null) ||
            return 0
        # Wine's reg prints nothing at all for a key without values or sub-keys.
        # The key goes in through the environment: awk -v would read its backslashes as escapes.
        tr -d '\r' <<<"$output" | key=$2 awk -F '    ' '
            BEGIN { key = ENVIRON["key"] }
            /^HKEY_/ { if (seen && !valued) print key "|||"; key = $0; seen = 1; valued = 0 }
            /^    [^ ]/ {
                valued = 1
                data = $4
                if ($3 == "REG_DWORD") {
                    data = substr(data, 3)
                    while (length(data) < 8) data = "0" data
                    data = "0x" data
                }
                print key "|" ($2 == "(Default)" ? "(default)" : $2) "|" $3 "|" data
            }
            END { if (!valued) print key "|||" }' | LC_ALL=C sort
    else
        query=$(sed -n '/registry-listing.sh runs the next query/,/^```$/{/^\(```\|<!--\)/!p}' \
            "$root/docs/registry.md")
        query=${query/"('HKEY_CURRENT_USER\\Software\\Quarlo\\UserData\\Referrals')"/"('$2')"}
        sqlite3 -readonly "$XDG_CONFIG_HOME/webbook-helper/registry.db" <<<"$query" | LC_ALL=C sort
    fi
}
