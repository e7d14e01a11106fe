# Source this: gives the caller a display (Xvfb when there is none) and a Wine prefix of its
# own, and ends both when the calling shell exits. With KESTREL_WINE_TEMPLATE naming a prefix
# made by scripts/wine-template.sh the prefix is a copy of it, which saves booting Wine.
_kestrel_cleanup=()
kestrel_wine_cleanup() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
  for pid in "${_kestrel_cleanup[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -n "${KESTREL_WINE_TMP:-}" ] && rm -rf "$KESTREL_WINE_TMP"
}
trap kestrel_wine_cleanup EXIT

KESTREL_WINE_TMP=$(mktemp -d /tmp/kestrel-wine.XXXXXX)
export KESTREL_WINE_TMP

if [ -z "${DISPLAY:-}" ] || [ "${KESTREL_FORCE_XVFB:-0}" = 1 ]; then
  # Xvfb takes a free display number itself and writes it once it accepts clients: sessions
  # that start side by side cannot pick the same one.
  mkfifo "$KESTREL_WINE_TMP/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$KESTREL_WINE_TMP/display" >/dev/null 2>&1 &
  _kestrel_cleanup+=($!)
  if ! read -r -t 60 _kestrel_display <"$KESTREL_WINE_TMP/display" || [ -z "$_kestrel_display" ]; then
    echo "wine-session.sh: Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$_kestrel_display"
fi

export WINEPREFIX="$KESTREL_WINE_TMP/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# COM1 leads to whatever this path links to (scripts/with-simulator.sh links it to a
# simulated projector). The registry entry survives restarts of Wine's services, which
# otherwise point dosdevices/com1 back at /dev/ttyS0.
export KESTREL_COM1_DEVICE="$KESTREL_WINE_TMP/com1"
source "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
if [ -n "${KESTREL_WINE_TEMPLATE:-}" ] && [ -f "$KESTREL_WINE_TEMPLATE/system.reg" ]; then
  kestrel_copy_prefix "$KESTREL_WINE_TEMPLATE" "$WINEPREFIX" "$KESTREL_COM1_DEVICE"
else
  kestrel_boot_prefix "$WINEPREFIX" "$KESTREL_COM1_DEVICE"
fi
