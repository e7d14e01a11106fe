# Shared part of the projector control scenarios: arguments, the work folder, kdriver and
# simulator helpers, and starting Kestrel connected on the projector control screen.
# Sourced by control_scenarios.sh and control_variants.sh with the arguments
# KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG.
set -uo pipefail

exe=$1
driver=$2
shots=$3
simlog=$4
: "${DISPLAY:?needs a display (source scripts/wine-session.sh)}"
: "${WINEPREFIX:?needs a Wine prefix (source scripts/wine-session.sh)}"
: "${ZELQSIM_CONTROL:?needs a simulated projector (scripts/with-simulator.sh)}"

mkdir -p "$shots"
rm -f "$shots"/*.png
work=$(mktemp -d /tmp/kestrel4-control.XXXXXX)
cp "$exe" "$work/Kestrel4.exe"
cp "$(dirname "$exe")"/Serilox.dll "$(dirname "$exe")"/Tapline.dll "$work/"
cp "$driver" "$work/kdriver.exe"
app_pid=
keeper_pid=
failures=0
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$keeper_pid" ] && kill "$keeper_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# When the prefix's Wine services start (with its first program, or again after its last
# program ended) they point COM1 back at the machine's own serial port. A program kept
# running for the whole script holds the services up; the simulator's port is then put back.
sim_port=$(readlink "$WINEPREFIX/dosdevices/com1")
(cd "$work" && exec wine kdriver.exe wait-visible "keep the Wine services up" 1800000) >/dev/null 2>&1 &
keeper_pid=$!
for _ in $(seq 50); do
  (cd "$work" && wine kdriver.exe count Kestrel >/dev/null 2>&1) && break
  sleep 0.1
done
sleep 2
ln -sfn "$sim_port" "$WINEPREFIX/dosdevices/com1"

say() { echo "== $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect() {  # expect WHAT EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then echo "ok: $1"; else fail "$1: expected [$2], got [$3]"; fi
}
k() { (cd "$work" && wine kdriver.exe "$@" 2>/dev/null | tr -d '\r'); }
shot() { import -window root "$shots/$1.png" && echo "screenshot: $1.png"; }
sim() { echo "$*" > "$ZELQSIM_CONTROL"; sleep 0.2; }
# The simulator log from a mark on: frames the projector received since then.
mark() { wc -l < "$simlog"; }
since() { tail -n +"$(($1 + 1))" "$simlog"; }
frames_since() {  # frames_since MARK "HEX BYTES" -> how many frames began so
  since "$1" | grep -c "RX frame  $2" || true
}
wait_frames() {  # wait_frames MARK "HEX" COUNT SECONDS
  for _ in $(seq $(($4 * 10))); do
    [ "$(frames_since "$1" "$2")" -ge "$3" ] && return 0
    sleep 0.1
  done
  return 1
}
wait_text() {  # wait_text TITLE ID TEXT SECONDS
  for _ in $(seq $(($4 * 10))); do
    [ "$(k text "$1" "$2")" == "$3" ] && return 0
    sleep 0.1
  done
  return 1
}
wait_pages() {  # wait_pages EXPECTED SECONDS
  for _ in $(seq $(($2 * 5))); do
    [ "$(k pages Kestrel)" == "$1" ] && return 0
    sleep 0.2
  done
  return 1
}
tab() { k tab Kestrel 1218 "$1"; sleep 0.6; }

VC="Kestrel/Video(Computer)"
VV="Kestrel/Video(Video)"

# Start with ConnectMode 0 and show the main window restored, connected.
start_connected() {
  printf '[ConnectStatus]\r\nConnectMode=0\r\n' > "$work/Kestrel4.ini"
  (cd "$work" && exec wine Kestrel4.exe) &
  app_pid=$!
  k wait-visible Kestrel 20000 || fail "main window never shown"
  for _ in $(seq 30); do [ "$(k enabled Kestrel 1040)" = 1 ] && break; sleep 0.3; done
  k show Kestrel restore
  for _ in $(seq 30); do [ "$(k iconic Kestrel)" = 0 ] && break; sleep 0.2; done
  k foreground Kestrel
  sleep 0.5
}

close_app() {
  k close Kestrel
  for _ in $(seq 150); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app_pid" 2>/dev/null && fail "close did not end the program"
  app_pid=
}

finish() {  # finish WHAT
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all $1 passed"
}

