#!/usr/bin/env bash
# The main job: builds everything, starts a simulated projector, and talks to it the way an
# installer's script would: identify it, then read, change and read back its brightness.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
model=${KESTREL_MODEL:-KT-C310}
exec scripts/with-simulator.sh --model "$model" -- bash -c '
  set -e
  ctl() { echo "\$ kestrelctl --port $KESTREL_PORT $*"; build/native/kestrelctl/kestrelctl --port "$KESTREL_PORT" "$@"; }
  ctl identify
  ctl get 0x0300
  ctl set 0x0300 -10
  ctl get 0x0300
  ctl --to 2 get 0x0300
'
