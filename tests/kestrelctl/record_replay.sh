#!/bin/sh
# A line recorded by kestrelctl --record against the simulator plays back under
# zelqsim --replay: the same commands give the same output; a command the record does not
# hold gets no answer (status 3), never a wrong one.
#   record_replay.sh ZELQSIM KESTRELCTL
set -u
sim=$1
k=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/replay.XXXXXX")
pid=
cleanup() {
  [ -n "$pid" ] && { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Starts zelqsim with its arguments on $work/port and waits for the link.
start() {
  [ -n "$pid" ] && { kill "$pid"; wait "$pid" 2>/dev/null; }
  rm -f "$work/port"
  "$sim" --power-ms off --link "$work/port" "$@" >/dev/null 2>>"$work/sim.err" &
  pid=$!
  i=0
  until [ -L "$work/port" ]; do
    i=$((i + 1))
    [ $i -le 100 ] || fail "zelqsim $* did not start"
    sleep 0.05
  done
}

start --model KT-B212
"$k" --port "$work/port" set 0x0301 -9 || fail "set"
"$k" --port "$work/port" --record "$work/identify.rec" identify >"$work/identify.live" || fail "recorded identify"
"$k" --port "$work/port" --record "$work/get.rec" get 0x0301 >"$work/get.live" || fail "recorded get"
printf 'identify\nget 0x0301\n' | "$k" --port "$work/port" --record "$work/batch.rec" batch >"$work/batch.live" ||
  fail "recorded batch"
[ "$(cat "$work/get.live")" = -9 ] || fail "live get printed $(cat "$work/get.live")"
grep -q '^[0-9]*\.[0-9]\{6\} > 1B 06 02 00 04 F4$' "$work/identify.rec" || fail "record: $(cat "$work/identify.rec")"
grep -q '^[0-9]*\.[0-9]\{6\} = ' "$work/identify.rec" || fail "record holds no port opening"

for name in identify get; do
  start --replay "$work/$name.rec"
  case $name in identify) set -- identify ;; get) set -- get 0x0301 ;; esac
  "$k" --port "$work/port" "$@" >"$work/$name.replayed" || fail "replayed $name exited $?"
  cmp -s "$work/$name.live" "$work/$name.replayed" || fail "replayed $name printed $(cat "$work/$name.replayed")"
done
start --replay "$work/batch.rec"
printf 'identify\nget 0x0301\n' | "$k" --port "$work/port" batch >"$work/batch.replayed" || fail "replayed batch"
cmp -s "$work/batch.live" "$work/batch.replayed" || fail "replayed batch printed $(cat "$work/batch.replayed")"

# Another item than the record's: unanswered.
start --replay "$work/get.rec"
"$k" --port "$work/port" get 0x0300 >"$work/other" 2>"$work/other.err"; status=$?
[ $status -eq 3 ] || fail "a command not in the record: status $status, output $(cat "$work/other")"
[ ! -s "$work/other" ] || fail "a command not in the record was answered: $(cat "$work/other")"
grep -q "not in the record" "$work/sim.err" || fail "zelqsim did not say what it left unanswered"
echo PASS
