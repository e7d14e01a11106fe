#!/bin/sh
# set and get in the items' own widths: a small Position goes in its two bytes and reads
# back; a value that does not fit its item is refused before anything is sent.
# Runs inside with-simulator.sh; $1 is kestrelctl.
set -u
k=$1
fail() { echo "FAIL: $*"; exit 1; }

"$k" --port "$KESTREL_PORT" set 0x0500 10 || fail "set of Position 10"
[ "$("$k" --port "$KESTREL_PORT" get 0x0500)" = 10 ] || fail "Position did not read back as 10"
"$k" --port "$KESTREL_PORT" set 0x0300 -7 || fail "set of Brightness -7"
"$k" --port "$KESTREL_PORT" set 0x0300 300 2>/dev/null; status=$?
[ $status -eq 1 ] || fail "Brightness 300 gave status $status"
[ "$("$k" --port "$KESTREL_PORT" get 0x0300)" = -7 ] || fail "Brightness changed by a value that does not fit"
echo PASS
