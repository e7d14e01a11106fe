#!/bin/sh
# kestrelctl batch against the simulator (two projectors of a stack): a thousand lines of set
# and get alternating over several items and both projectors read back the right value on
# every line; --stop-on-error stops at the first refusal; --json output parses back.
# Runs inside with-simulator.sh; $1 is kestrelctl.
set -u
k=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/batch.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# 500 set/get pairs; the expected answer of each line beside it.
awk 'BEGIN {
  split("0x0300 0x0301 0x0500 0x0200", items, " ")
  for (i = 0; i < 500; i++) {
    item = items[i % 4 + 1]; to = int(i / 4) % 2 + 1
    value = (i * 7) % 21 - (item == "0x0200" ? 0 : 10)
    print "--to " to " set " item " " value > "'"$work"'/commands"
    print "--to " to " get " item > "'"$work"'/commands"
    print "ok" > "'"$work"'/expected"
    print "ok " value > "'"$work"'/expected"
  }
}'
"$k" --port "$KESTREL_PORT" batch "$work/commands" >"$work/out" || fail "batch exited $?"
[ "$(wc -l <"$work/out")" -eq 1000 ] || fail "$(wc -l <"$work/out") result lines, not 1000"
cmp -s "$work/out" "$work/expected" || { diff "$work/expected" "$work/out" | head; fail "wrong results"; }

# A refused set: the lines after it still run, unless --stop-on-error.
echo "range 0x0301 -5 5" >"$ZELQSIM_CONTROL"
printf 'get 0x0300\n# a comment\n\nset 0x0301 9\nget 0x0301\n' >"$work/refused"
"$k" --port "$KESTREL_PORT" batch <"$work/refused" >"$work/out"; status=$?
[ $status -eq 5 ] || fail "batch with a refusal exited $status, not 5"
[ "$(sed -n 2p "$work/out" | cut -c1-7)" = "error 5" ] || fail "refusal reported as: $(sed -n 2p "$work/out")"
[ "$(wc -l <"$work/out")" -eq 3 ] || fail "the line after the refusal did not run"
"$k" --port "$KESTREL_PORT" --stop-on-error batch <"$work/refused" >"$work/out"; status=$?
[ $status -eq 5 ] || fail "--stop-on-error exited $status, not 5"
[ "$(wc -l <"$work/out")" -eq 2 ] || fail "--stop-on-error went on: $(cat "$work/out")"
printf 'frobnicate 1\nget 0x0300\n' | "$k" --port "$KESTREL_PORT" batch >"$work/out"; status=$?
[ $status -eq 1 ] || fail "an unknown batch command exited $status"
grep -q 'error 1 unknown command "frobnicate"' "$work/out" || fail "unknown command reported as: $(cat "$work/out")"

# --json: every line an object with the text's fields.
printf 'identify\nset 0x0300 4\nget 0x0300\nset 0x0301 9\n' |
  "$k" --port "$KESTREL_PORT" --json batch >"$work/json"
python3 - "$work/json" <<'PY' || fail "JSON batch output"
import json, sys
rows = [json.loads(line) for line in open(sys.argv[1])]
assert [r["status"] for r in rows] == [0, 0, 0, 5], rows
assert rows[0]["type"] == "KT-C310" and rows[2]["value"] == 4, rows
assert rows[3]["command"] == "set 0x0301 9" and rows[3]["error"], rows
assert [r["line"] for r in rows] == [1, 2, 3, 4], rows
PY
"$k" --port "$KESTREL_PORT" --json identify >"$work/id.json" &&
  "$k" --port "$KESTREL_PORT" --json get 0x0300 >"$work/get.json" &&
  "$k" --port "$KESTREL_PORT" save "$work/room.kst" &&
  "$k" --port "$KESTREL_PORT" set 0x0300 -3 || fail "identify/get/save/set"
"$k" --port "$KESTREL_PORT" --json diff "$work/room.kst" >"$work/diff.json"; status=$?
[ $status -eq 6 ] || fail "diff exited $status, not 6"
python3 - "$work" <<'PY' || fail "JSON identify/get/diff output"
import json, sys
d = sys.argv[1]
assert json.load(open(d + "/id.json")) == {"type": "KT-C310"}
assert json.load(open(d + "/get.json")) == {"item": "0x0300", "value": 4}
rows = [json.loads(line) for line in open(d + "/diff.json")]
assert rows == [{"code": "0x0300", "name": rows[0]["name"], "file": 4, "live": -3}], rows
PY
echo PASS
