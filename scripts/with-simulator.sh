#!/usr/bin/env bash
# Runs a command against a simulated projector and exits with the command's status.
#
#   with-simulator.sh [zelqsim arguments] -- command [arguments...]
#
# With WINEPREFIX set the port appears as that prefix's COM1 (and KESTREL_PORT=COM1);
# otherwise KESTREL_PORT names a link to the port in a temporary directory. The simulator's
# control FIFO is exported as ZELQSIM_CONTROL unless --control is given. The binary is
# $ZELQSIM, or build/native/simulator/zelqsim of this checkout.
set -u

usage() {
  echo "usage: $0 [zelqsim arguments] -- command [arguments...]" >&2
  exit 2
}

sim_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  sim_args+=("$1")
  shift
done
[ $# -gt 1 ] || usage
shift

repo=$(cd "$(dirname "$0")/.." && pwd)
sim=${ZELQSIM:-$repo/build/native/simulator/zelqsim}
[ -x "$sim" ] || { echo "$0: no simulator at $sim (build it, or set ZELQSIM)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/with-simulator.XXXXXX")
sim_pid=
link=
previous=
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill -TERM "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
  fi
  # Give the prefix back its own COM1 link.
  if [ -n "$previous" ] && ! [ -e "$link" ] && ! [ -L "$link" ]; then
    ln -s "$previous" "$link"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [ -n "${WINEPREFIX:-}" ]; then
  mkdir -p "$WINEPREFIX/dosdevices"
  # Wine's mount manager rewrites dosdevices/com1 whenever its services start; a prefix made
  # by wine-session.sh maps COM1 in the registry to a path of ours, which it keeps.
  link=${KESTREL_COM1_DEVICE:-$WINEPREFIX/dosdevices/com1}
  export KESTREL_PORT=COM1
else
  link="$work/port"
  export KESTREL_PORT="$link"
fi
# A link already there must not pass for this simulator's.
if [ -L "$link" ]; then
  previous=$(readlink "$link")
  rm -f "$link"
fi

case " ${sim_args[*]-} " in
  *" --control "*) ;;
  *)
    export ZELQSIM_CONTROL="$work/control"
    sim_args+=(--control "$ZELQSIM_CONTROL")
    ;;
esac

"$sim" ${sim_args[@]+"${sim_args[@]}"} --link "$link" >"$work/stdout" &
sim_pid=$!
for _ in $(seq 100); do
  [ -L "$link" ] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.05
done
if ! [ -L "$link" ]; then
  echo "$0: the simulator did not start" >&2
  exit 2
fi

"$@"
status=$?
exit "$status"
