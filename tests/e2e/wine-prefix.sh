# Sourced by the e2e scripts for their Wine runs: one prefix for all the script's processes (they
# must share one registry), the caller's WINEPREFIX when it made one for the whole test run,
# else a throwaway one removed at exit.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [[ -z "${WINEPREFIX:-}" ]]; then
    WINEPREFIX=$(mktemp -d)
    export WINEPREFIX
    trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"' EXIT
    "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-prefix-init"
fi
