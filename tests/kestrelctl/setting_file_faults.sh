#!/bin/sh
# Setting files a projector cannot take whole are never reported as taken: an empty slot,
# a file of the wrong size, a value its item cannot carry, refused values, an item the
# projector will not give on save or diff, one projector saved into a file that holds more
# (a link lost midway is waited out on a test clock in session_test.cpp). Runs inside
# with-simulator.sh; $1 is kestrelctl, $2 a scratch folder, $3 the simulator's log.
set -u
k=$1
dir=$2
log=$3
fail() { echo "FAIL: $*"; exit 1; }
ctl() { "$k" --port "$KESTREL_PORT" "$@"; }
# A control command, once the simulator's log says it took it.
sim() {
  echo "$*" > "$ZELQSIM_CONTROL"
  n=0
  until grep -qF "command $*" "$log" 2>/dev/null; do
    n=$((n + 1)); [ $n -lt 500 ] || fail "simulator did not take [$*]"; sleep 0.01
  done
}
value() { ctl "$@" 2>/dev/null; }
# The 4-byte little-endian cell of item 0xGGII of slot S (1..4) in a file.
poke() {  # poke FILE SLOT GROUP ITEM BYTE
  printf "$(printf '\\%03o' "$5")" |
    dd of="$1" bs=1 seek=$((($2 - 1) * 4096 + $3 * 128 + $4 * 4)) conv=notrunc 2>/dev/null
}

# An empty slot: saved from projector 2 alone, loaded into projector 1.
ctl --to 1 --width 2 set 0x1001 1 || fail "establish"
rm -f "$dir/two.kst"
ctl --to 2 save "$dir/two.kst" || fail "save from projector 2"
ctl --to 1 set 0x0200 16 || fail "volume"
for verb in load diff; do
  err=$(ctl "$verb" "$dir/two.kst" 2>&1); status=$?
  [ $status -eq 7 ] || fail "$verb of an empty slot: status $status"
  case $err in *"projector 1"*) ;; *) fail "$verb does not name the projector: $err" ;; esac
done
[ "$(value --to 1 get 0x0200)" = 16 ] || fail "projector 1 changed"
ctl --to 2 load "$dir/two.kst" || fail "load into projector 2"

# One projector's part saved into a file of the whole stack: the other part stays, and a
# file that is not a setting file is left as it was.
ctl save "$dir/both.kst" || fail "save the stack"
head -c 4096 "$dir/both.kst" > "$dir/part1"
ctl --to 2 set 0x0200 3 || fail "volume of projector 2"
ctl --to 2 save "$dir/both.kst" || fail "save projector 2 into the stack's file"
head -c 4096 "$dir/both.kst" | cmp -s - "$dir/part1" || fail "projector 1's part was replaced"
ctl --to 2 diff "$dir/both.kst" || fail "projector 2's part was not saved"
echo "my notes" > "$dir/notes.txt"
ctl --to 2 save "$dir/notes.txt"; status=$?
[ $status -eq 7 ] || fail "one projector saved into a file that is not a setting file: status $status"
[ "$(cat "$dir/notes.txt")" = "my notes" ] || fail "a file that is not a setting file was replaced"
ctl --to 1 --width 2 set 0x1001 0 || fail "cancel the stack"

# Not exactly 16384 bytes: nothing is taken.
ctl save "$dir/one.kst" || fail "save"
cp "$dir/one.kst" "$dir/long.kst"
head -c 3616 /dev/zero >> "$dir/long.kst"
poke "$dir/long.kst" 1 2 0 9
for verb in load diff; do
  ctl "$verb" "$dir/long.kst"; status=$?
  [ $status -eq 7 ] || fail "$verb of a 20000-byte file: status $status"
done
[ "$(value get 0x0200)" = 16 ] || fail "a long file was loaded"

# A damaged value an item cannot carry (Brightness 255 would arrive as -1): a file failure
# before anything is sent.
cp "$dir/one.kst" "$dir/damaged.kst"
poke "$dir/damaged.kst" 1 3 0 255
poke "$dir/damaged.kst" 1 2 0 9
err=$(ctl load "$dir/damaged.kst" 2>&1); status=$?
[ $status -eq 7 ] || fail "load of a damaged value: status $status"
case $err in *"0x0300 Brightness"*) ;; *) fail "the damaged item is not named: $err" ;; esac
[ "$(value get 0x0200)" = 16 ] || fail "a damaged file was partly loaded"

# A refused value: exit 5, named; the rest still goes.
cp "$dir/one.kst" "$dir/refused.kst"
poke "$dir/refused.kst" 1 3 0 9   # Brightness 9
poke "$dir/refused.kst" 1 2 0 5   # Volume 5
sim range 0x0300 0 5
err=$(ctl load "$dir/refused.kst" 2>&1); status=$?
[ $status -eq 5 ] || fail "refused load: status $status"
case $err in *"0x0300 Brightness"*) ;; *) fail "the refusal is not named: $err" ;; esac
[ "$(value get 0x0200)" = 5 ] || fail "the other values were not sent"

# An item the projector will not give: named, exit 5, and a later load leaves it alone.
sim refuse 0x0301
err=$(ctl save "$dir/unread.kst" 2>&1); status=$?
[ $status -eq 5 ] || fail "save with an unread item: status $status"
case $err in *"0x0301 Contrast"*) ;; *) fail "the unread item is not named: $err" ;; esac
[ "$(wc -c < "$dir/unread.kst")" -eq 16384 ] || fail "the file was not written"
sim refuse none
ctl set 0x0301 4 || fail "contrast"
ctl load "$dir/unread.kst" || fail "load of a file with an unread item"
[ "$(value get 0x0301)" = 4 ] || fail "the unread item was sent"

# diff with an item the projector will not give: that item was not compared, so "nothing
# differs" would be a guess. Named, exit 5; 6 still wins when another item differs.
ctl save "$dir/four.kst" || fail "save with contrast 4"
ctl set 0x0301 2 || fail "contrast 2"
sim refuse 0x0301
for case in "5 same" "6 other"; do
  set -- $case
  [ "$2" = other ] && { ctl set 0x0200 7 || fail "volume 7"; }
  out=$(ctl diff "$dir/four.kst" 2>"$dir/diff.err"); status=$?
  [ $status -eq "$1" ] || fail "diff with an unread item ($2): status $status, not $1"
  grep -q "not read 0x0301 Contrast" "$dir/diff.err" || fail "the unread item is not named ($2): $(cat "$dir/diff.err")"
  case $out in *0x0301*) fail "an unread item was compared: $out" ;; esac
done
sim refuse none
echo PASS
