#!/usr/bin/env bash
# Runs COMMAND on an Xvfb display and a Wine prefix of its own, both ended afterwards: input
# injected by earlier programs can leave a shared display's keyboard focus elsewhere, and
# a shared prefix's services can hold a port.
#   isolated.sh COMMAND [ARGS...]
export KESTREL_FORCE_XVFB=1
source "$(dirname "$0")/../../scripts/wine-session.sh"
"$@"
