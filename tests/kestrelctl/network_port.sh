#!/bin/sh
# kestrelctl on tcp://127.0.0.1:PORT, as through a network serial server, against zelqsim --tcp:
# identify, set/get and save/diff; a server that closes the connection in the middle of a save
# is a port that went away (status 2), and a refused connection one that cannot be opened.
#   network_port.sh ZELQSIM KESTRELCTL
set -u
sim=$1
k=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/network-port.XXXXXX")
pids=
cleanup() {
  for p in $pids; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Starts a simulator with a TCP port; sets url to its address.
start() {
  "$sim" --power-ms off --tcp 0 "$@" >"$work/stdout.$#" &
  pids="$pids $!"
  i=0
  until [ "$(grep -c . "$work/stdout.$#" 2>/dev/null)" = 2 ]; do
    i=$((i + 1))
    [ $i -le 100 ] || fail "the simulator did not start"
    sleep 0.05
  done
  url=$(sed -n 2p "$work/stdout.$#")
}

start
case "$url" in tcp://127.0.0.1:*) ;; *) fail "no TCP address: $url" ;; esac
[ "$("$k" --port "$url" identify)" = KT-C310 ] || fail "identify over TCP"
"$k" --port "$url" set 0x0300 12 || fail "set over TCP"
[ "$("$k" --port "$url" get 0x0300)" = 12 ] || fail "get over TCP"
"$k" --port "$url" save "$work/room.kst" || fail "save over TCP"
"$k" --port "$url" diff "$work/room.kst" || fail "diff right after save"
"$k" --port "$url" set 0x0300 -4 || fail "second set over TCP"
[ "$("$k" --port "$url" diff "$work/room.kst")" = "0x0300 Brightness 12 -4" ] || fail "diff over TCP"
[ "$(printf 'get 0x0300\nset 0x0300 5\nget 0x0300\n' | "$k" --port "$url" batch | tr '\n' ' ')" = "ok -4 ok ok 5 " ] ||
  fail "batch over TCP"

# A server that closes the connection after 300 bytes from the client: well into the save.
start --tcp-drop-after 300
cp "$work/room.kst" "$work/kept.kst"
"$k" --port "$url" save "$work/kept.kst" 2>"$work/stderr"; status=$?
[ $status -eq 2 ] || fail "closed connection: status $status, expected 2 ($(cat "$work/stderr"))"
grep -q "no longer available" "$work/stderr" || fail "closed connection reported as: $(cat "$work/stderr")"
cmp -s "$work/room.kst" "$work/kept.kst" || fail "the failed save replaced the file"

# Nobody listening: the port cannot be opened.
port=${url##*:}
for p in $pids; do kill "$p"; wait "$p" 2>/dev/null; done
pids=
"$k" --port "tcp://127.0.0.1:$port" identify 2>"$work/stderr"; status=$?
[ $status -eq 2 ] || fail "refused connection: status $status, expected 2"
grep -q "cannot be opened" "$work/stderr" || fail "refused connection reported as: $(cat "$work/stderr")"
echo PASS
