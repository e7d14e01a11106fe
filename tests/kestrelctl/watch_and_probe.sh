#!/bin/sh
# kestrelctl watch prints a power report the simulator sends, in text and JSON; ports --probe
# finds the simulator on a port named beside the system's own.
# Runs inside with-simulator.sh (--power-ms off); $1 is kestrelctl.
set -u
k=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/watch.XXXXXX")
watcher=
cleanup() {
  [ -n "$watcher" ] && kill "$watcher" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Polls for a condition, at most about ten seconds.
await() {
  i=0
  until eval "$1"; do
    i=$((i + 1))
    [ $i -le 200 ] || fail "gave up waiting for: $1"
    sleep 0.05
  done
}

for mode in text json; do
  flag=; [ $mode = json ] && flag=--json
  "$k" --port "$KESTREL_PORT" $flag --seconds 30 watch >"$work/$mode" 2>"$work/$mode.err" &
  watcher=$!
  await 'grep -q "Ctrl+C ends" "$work/$mode.err"'
  echo "power standby" >"$ZELQSIM_CONTROL"
  await '[ -s "$work/$mode" ]'
  kill -INT "$watcher"
  wait "$watcher"; status=$?
  watcher=
  [ $status -eq 0 ] || fail "watch ended with $status after Ctrl+C"
  echo "power on" >"$ZELQSIM_CONTROL"
done
grep -Eq '^[0-9-]+T[0-9:.]+ projector 1 0x0003 power 0 standby$' "$work/text" || fail "watch printed: $(cat "$work/text")"
python3 -c '
import json, sys
r = json.loads(open(sys.argv[1]).readline())
assert (r["projector"], r["item"], r["name"], r["value"], r["meaning"]) == (1, "0x0003", "power", 0, "standby"), r
assert r["time"][:2] == "20", r
' "$work/json" || fail "watch --json printed: $(cat "$work/json")"

"$k" ports --probe "$KESTREL_PORT" >"$work/ports" || fail "ports --probe exited $?"
grep -qx "$KESTREL_PORT KT-C310" "$work/ports" || fail "ports --probe printed: $(cat "$work/ports")"
"$k" ports --json --probe "$KESTREL_PORT" | grep -qF "{\"port\":\"$KESTREL_PORT\",\"model\":\"KT-C310\"}" ||
  fail "ports --json --probe"
echo PASS
