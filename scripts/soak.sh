#!/usr/bin/env bash
# Soak benchmark: N get/set commands through one kestrelctl batch session against the
# simulated projector (paced to 9600 baud), once with 10 % random faults and once without.
#
#   scripts/soak.sh [N] [PERCENT...]      (default 10000 commands, at 10 and 0 %)
#
# For each fault rate it reports the commands, those that succeeded, those that failed with a
# status, wrong values (a get answering other than what was last set and acknowledged),
# hangs (a command taking longer than its time limit) and the session's time against the
# line time of the bytes carried. It exits 1 when a goal is missed: no wrong value, no hang,
# at least 90 % succeeded, and without faults a time within 1.2 x the line time
# (SOAK_TIME_GOAL=0 leaves that goal out, for a loaded machine). The binaries are $ZELQSIM
# and $KESTRELCTL, or those of build/native.
set -u
n=${1:-10000}
shift || true
percents=${*:-10 0}
repo=$(cd "$(dirname "$0")/.." && pwd)
sim=${ZELQSIM:-$repo/build/native/simulator/zelqsim}
tool=${KESTRELCTL:-$repo/build/native/kestrelctl/kestrelctl}
for program in "$sim" "$tool"; do
  [ -x "$program" ] || { echo "$0: no $program (build it, or set ZELQSIM/KESTRELCTL)" >&2; exit 2; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/soak.XXXXXX")
trap 'rm -rf "$work"' EXIT

status=0
for percent in $percents; do
  # The same commands at every rate: sets and gets alternating over four items.
  python3 - "$n" "$work/commands" <<'PY'
import random, sys
count, path = int(sys.argv[1]), sys.argv[2]
rng = random.Random(21)
items = {"0x0300": (-10, 10), "0x0301": (-10, 10), "0x0500": (-100, 100), "0x0200": (0, 20)}
with open(path, "w") as out:
    for i in range(count):
        item = rng.choice(sorted(items))
        if i % 2 == 0:
            out.write("set %s %d\n" % (item, rng.randint(*items[item])))
        else:
            out.write("get %s\n" % item)
PY
  faults=()
  [ "$percent" -gt 0 ] && faults=(--random-faults "21:$percent")
  ZELQSIM=$sim "$repo/scripts/with-simulator.sh" --power-ms off --pace --baud 9600 ${faults[@]+"${faults[@]}"} -- \
    python3 - "$tool" "$work" "$percent" "${SOAK_TIME_GOAL:-1}" <<'PY' || status=1
import os, subprocess, sys, time
tool, work, percent, time_goal = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4] != "0"
LIMIT = 15.0  # seconds: the engine's longest wait for a command and its answer, with margin
commands = [line.split() for line in open(work + "/commands")]
record = work + "/line.rec"
start = time.monotonic()
process = subprocess.Popen([tool, "--port", os.environ["KESTREL_PORT"], "--record", record, "batch",
                            work + "/commands"], stdout=subprocess.PIPE, text=True)
results, hangs, last = [], 0, start
for line in process.stdout:
    now = time.monotonic()
    # The first line also waits out the identification.
    if now - last > LIMIT + (1.5 if not results else 0):
        hangs += 1
    last = now
    results.append(line.split(None, 2))
process.wait()
elapsed = time.monotonic() - start
hangs += len(commands) - len(results)  # commands that never answered

# A failed set may or may not have reached the projector: both values are right until the
# next acknowledged set.
allowed, wrong, failed = {}, 0, {}
for number, (words, result) in enumerate(zip(commands, results), 1):
    item = words[1]
    if result[0] != "ok":
        failed[result[1]] = failed.get(result[1], 0) + 1
        if words[0] == "set":
            allowed.setdefault(item, set()).add(int(words[2]))
        continue
    if words[0] == "set":
        allowed[item] = {int(words[2])}
    elif item in allowed and int(result[1]) not in allowed[item]:
        wrong += 1
        if wrong <= 5:
            print("wrong value: command %d (%s) gave %s, expected %s" % (
                number, " ".join(words), result[1], " or ".join(map(str, sorted(allowed[item])))))
    else:
        allowed[item] = {int(result[1])}

line_bytes = 0
with open(record) as rec:
    for entry in rec:
        parts = entry.split()
        if len(parts) > 1 and parts[1] in "<>":
            line_bytes += len(parts) - 2
line_time = line_bytes * 10 / 9600.0
succeeded = sum(1 for r in results if r[0] == "ok")
share = 100.0 * succeeded / max(1, len(commands))
ratio = elapsed / line_time if line_time else float("inf")
print("faults %d %%: commands %d, succeeded %d (%.1f %%), failed %d (%s), wrong values %d, hangs %d" % (
    percent, len(commands), succeeded, share, sum(failed.values()),
    ", ".join("status %s: %d" % kv for kv in sorted(failed.items())) or "none", wrong, hangs))
print("faults %d %%: time %.1f s, line time %.1f s (%d bytes at 9600 baud), %.2f x" % (
    percent, elapsed, line_time, line_bytes, ratio))
missed = wrong or hangs or share < 90 or (percent == 0 and time_goal and ratio > 1.2)
sys.exit(1 if missed else 0)
PY
done
[ $status -eq 0 ] && echo "soak: every goal met" || echo "soak: a goal was missed"
exit $status
