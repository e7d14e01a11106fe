#!/bin/sh
# A result that could not be written to standard output (a full disk, a closed pipe) is not a
# success: each command that prints goes well into /dev/null and fails with status 7 into
# /dev/full. Runs inside with-simulator.sh; $1 is kestrelctl.
set -u
k=$1
fail() { echo "FAIL: $*"; exit 1; }
[ -w /dev/full ] || fail "no /dev/full to write into"
while IFS='|' read -r input args; do
  for sink in /dev/null /dev/full; do
    # shellcheck disable=SC2086 # the arguments are words of the table
    printf '%s\n' "$input" | "$k" --port "$KESTREL_PORT" $args >"$sink" 2>/dev/null; status=$?
    want=0; [ "$sink" = /dev/full ] && want=7
    [ $status -eq $want ] || fail "[$args] into $sink: status $status, not $want"
  done
done <<'TABLE'
|--version
|--help
|identify
|get 0x0300
|--json get 0x0300
|ports /dev/kestrel-none
get 0x0300|batch
get 0x0300|--json batch
TABLE
echo PASS
