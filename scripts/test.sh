#!/usr/bin/env bash
# Every test: native unit and engine tests under the sanitizers, a bounded fuzz run, then the
# Windows tests and system scenarios under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

# One Wine prefix booted for the whole run, while the native tests run; the Windows tests'
# session and each scenario work in a copy of it (scripts/wine-session.sh).
template=$(mktemp -d /tmp/kestrel-template.XXXXXX)
trap 'rm -rf "$template"' EXIT
scripts/wine-template.sh "$template" &
template_pid=$!

status=0
echo "== native tests"
ctest --test-dir build/native --output-on-failure -j "$(nproc)" || status=1

echo "== Windows tests and system scenarios under Wine"
if wait "$template_pid"; then
  export KESTREL_WINE_TEMPLATE="$template/prefix"
else
  echo "no Wine prefix to copy: each session boots its own"
fi
# The scenarios take a display and a Wine prefix of their own, so they run side by side; the
# other tests share these.
(source scripts/wine-session.sh && ctest --test-dir build/win --output-on-failure -j "$(nproc)") || status=1
exit "$status"
