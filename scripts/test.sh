#!/usr/bin/env bash
# Every test: native unit and engine tests under the sanitizers, a bounded fuzz run, then the
# Windows tests and system scenarios under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

status=0
echo "== native tests"
ctest --test-dir build/native --output-on-failure -j 2 || status=1

echo "== Windows tests and system scenarios under Wine"
# The scenarios take a display and a Wine prefix of their own; the other tests share these.
(source scripts/wine-session.sh && ctest --test-dir build/win --output-on-failure) || status=1
exit "$status"
