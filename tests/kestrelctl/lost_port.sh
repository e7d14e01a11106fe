#!/bin/sh
# kestrelctl against a projector that goes away while the tool waits for its answer: the tool
# must report the lost port (status 2) at once instead of waiting out its reply time.
#   lost_port.sh ZELQSIM KESTRELCTL
set -u
sim=$1
tool=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/lost-port.XXXXXX")
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Polls for a condition, at most about five seconds.
await() {
  i=0
  until eval "$1"; do
    i=$((i + 1))
    [ $i -le 100 ] || { echo "gave up waiting for: $1" >&2; exit 1; }
    sleep 0.05
  done
}

"$sim" --faults ack-only --log "$work/log" --link "$work/port" >/dev/null &
sim_pid=$!
await '[ -L "$work/port" ]'

"$tool" --port "$work/port" get 0x0300 2>"$work/stderr" &
tool_pid=$!
# The command has reached the projector, which acknowledges it and then goes away.
await 'grep -q "fault ack-only" "$work/log" 2>/dev/null'
kill "$sim_pid"
wait "$sim_pid" 2>/dev/null
sim_pid=
gone=$(date +%s%N)
wait "$tool_pid"
status=$?
took=$((($(date +%s%N) - gone) / 1000000))
cat "$work/stderr"
[ "$status" -eq 2 ] || { echo "status $status, expected 2 (port)" >&2; exit 1; }
grep -q "no longer available" "$work/stderr" || { echo "no word of the lost port" >&2; exit 1; }
[ "$took" -lt 3000 ] || { echo "exited ${took} ms after the projector went away" >&2; exit 1; }
