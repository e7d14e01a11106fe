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
source scripts/wine-session.sh
ctest --test-dir build/win --output-on-failure
