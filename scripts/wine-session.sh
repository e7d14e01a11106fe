# Source this: gives the caller a display (Xvfb when there is none) and a Wine prefix of its
# own, and ends both when the calling shell exits.
_kestrel_cleanup=()
kestrel_wine_cleanup() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
  for pid in "${_kestrel_cleanup[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -n "${KESTREL_WINE_TMP:-}" ] && rm -rf "$KESTREL_WINE_TMP"
}
trap kestrel_wine_cleanup EXIT

if [ -z "${DISPLAY:-}" ] || [ "${KESTREL_FORCE_XVFB:-0}" = 1 ]; then
  for n in $(seq 91 120); do
    [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  _kestrel_cleanup+=($!)
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${n}" ] && break; sleep 0.1; done
fi

KESTREL_WINE_TMP=$(mktemp -d /tmp/kestrel-wine.XXXXXX)
export KESTREL_WINE_TMP
export WINEPREFIX="$KESTREL_WINE_TMP/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
# COM1 leads to whatever this path links to (scripts/with-simulator.sh links it to a
# simulated projector). The registry entry survives restarts of Wine's services, which
# otherwise point dosdevices/com1 back at /dev/ttyS0.
export KESTREL_COM1_DEVICE="$KESTREL_WINE_TMP/com1"
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$KESTREL_COM1_DEVICE" /f >/dev/null 2>&1
ln -sfn "$KESTREL_COM1_DEVICE" "$WINEPREFIX/dosdevices/com1"
