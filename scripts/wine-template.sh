#!/usr/bin/env bash
# Boots a Wine prefix at DIR/prefix to be copied by scripts/wine-session.sh (export it as
# KESTREL_WINE_TEMPLATE): booting once per test run instead of once per session.
#   wine-template.sh DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
export WINEPREFIX="$1/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
source "$(dirname "$0")/wine-prefix.sh"
kestrel_boot_prefix "$WINEPREFIX" "$1/com1"
# The registry reaches its files when Wine ends; a copy taken earlier could miss entries.
wineboot --shutdown >/dev/null 2>&1 || true
wineserver -w
[ -f "$WINEPREFIX/system.reg" ] && grep -qF "\"COM1\"=\"$1/com1\"" "$WINEPREFIX/system.reg"
