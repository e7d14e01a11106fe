#!/bin/sh
# save, change one value, diff names exactly it, load puts it back, diff is clean; a bad file
# sends nothing. With "stack" the projectors form a stack first and projector 2 is changed.
# Runs inside with-simulator.sh; $1 is kestrelctl, $2 a scratch folder.
set -u
k=$1
dir=$2
mode=${3:-single}
file=$dir/roundtrip_$mode.kst
fail() { echo "FAIL: $*"; exit 1; }

to=
if [ "$mode" = stack ]; then
  "$k" --port "$KESTREL_PORT" --to 1 --width 2 set 0x1001 1 || fail "establish"
  to="--to 2"
fi
"$k" --port "$KESTREL_PORT" save "$file" || fail "save"
[ "$(wc -c < "$file")" -eq 16384 ] || fail "size"
"$k" --port "$KESTREL_PORT" $to set 0x0300 7 || fail "set"
out=$("$k" --port "$KESTREL_PORT" diff "$file"); status=$?
[ $status -eq 6 ] || fail "diff status $status"
echo "$out"
expected="0x0300 Brightness 0 7"
[ "$mode" = stack ] && expected="0x0300 Brightness 0 7 (projector 2)"
[ "$out" = "$expected" ] || fail "diff said: $out"
"$k" --port "$KESTREL_PORT" load "$file" || fail "load"
"$k" --port "$KESTREL_PORT" diff "$file" || fail "diff after load"

head -c 100 "$file" > "$dir/short_$mode.kst"
"$k" --port "$KESTREL_PORT" load "$dir/short_$mode.kst"; [ $? -eq 7 ] || fail "short file"
"$k" --port "$KESTREL_PORT" diff "$dir/missing.kst"; [ $? -eq 7 ] || fail "missing file"
echo PASS
