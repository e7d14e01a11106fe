#!/usr/bin/env bash
# Every test: native unit and engine tests under the sanitizers, a bounded fuzz run, then the
# Windows tests and system scenarios under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

echo "== native tests"
ctest --test-dir build/native --output-on-failure -j 2

echo "== Windows tests under Wine"
failed=0
(source scripts/wine-session.sh && ctest --test-dir build/win --output-on-failure -LE system) || failed=1

echo "== system scenarios under Wine, each on a display and prefix of its own"
for scenario in $(ctest --test-dir build/win -N -L system | sed -n 's/^ *Test *#[0-9]*: //p'); do
  (export KESTREL_FORCE_XVFB=1 && source scripts/wine-session.sh &&
    ctest --test-dir build/win --output-on-failure -R "^${scenario}\$") || failed=1
done
exit "$failed"
