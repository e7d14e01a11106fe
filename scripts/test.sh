#!/usr/bin/env bash
# Every test: native unit and engine tests under the sanitizers, a bounded fuzz run, and the
# Windows tests and system scenarios under Wine. The two trees run at the same time: the
# scenarios spend most of their time waiting on Wine and on the programs under it, and the
# native tests use the processors meanwhile.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

work=$(mktemp -d /tmp/kestrel-test.XXXXXX)
native_pid=
trap '[ -z "$native_pid" ] || kill "$native_pid" 2>/dev/null; rm -rf "$work"' EXIT

# Its report is shown when both trees are done, so that their lines do not interleave.
ctest --test-dir build/native --output-on-failure -j "$(nproc)" >"$work/native.log" 2>&1 &
native_pid=$!

echo "== Windows tests and system scenarios under Wine (the native tests run meanwhile)"
# One Wine prefix booted for the whole run; the Windows tests' session and each scenario work
# in a copy of it (scripts/wine-session.sh).
mkdir "$work/template"
if scripts/wine-template.sh "$work/template"; then
  export KESTREL_WINE_TEMPLATE="$work/template/prefix"
else
  echo "no Wine prefix to copy: each session boots its own"
fi
status=0
# The scenarios take a display and a Wine prefix of their own, so they run side by side; the
# other tests share these. A scenario spends most of its time waiting on Wine and the X server
# rather than computing, so twice as many as there are processors keep them busy.
(source scripts/wine-session.sh && ctest --test-dir build/win --output-on-failure -j "$(($(nproc) * 2))") || status=1

echo "== native tests"
wait "$native_pid" || status=1
native_pid=
cat "$work/native.log"
exit "$status"
