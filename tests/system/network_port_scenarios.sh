#!/usr/bin/env bash
# A projector behind a network serial server: a second simulated projector (KT-A120) served
# by zelqsim --tcp on 127.0.0.1, the usual one on COM1. "Network port..." asks for HOST:PORT
# (a wrong address is refused with its reason, Cancel changes nothing), connects there and
# keeps it in Kestrel4.ini; the next start goes there again; a damaged address starts on the
# serial ports; a refused server gives the port open failure, whose Retry tries it again.
# (Menus stay inside their process under Wine: the menu's check mark is not read from here.)
# Usage: network_port_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
source "$(dirname "$0")/scenario_lib.sh"

: "${ZELQSIM:?needs the simulator (ZELQSIM)}"
NET="Network port"
net_pid=

# The simulator prints its port's path, then its TCP address.
server_ready() { [ "$(grep -c . "$work/network.out" 2>/dev/null)" = 2 ]; }
# start_server [PORT]: starts the server's projector (on a free port unless PORT is given), with
# a log of its own, and sets address to its HOST:PORT.
servers=0
start_server() {
  servers=$((servers + 1))
  netlog="$work/network$servers.log"
  "$ZELQSIM" --model KT-A120 --power-ms off --tcp "${1:-0}" --log "$netlog" >"$work/network.out" &
  net_pid=$!
  wait_for "$WAIT_SHORT" server_ready || fail "the network server did not start"
  address=$(sed -n 2p "$work/network.out")
  address=${address#tcp://}
}
stop_server() {
  kill "$net_pid" 2>/dev/null
  wait "$net_pid" 2>/dev/null
  net_pid=
}
net_mark() { wc -l < "$netlog"; }
net_frames() { tail -n +"$(($1 + 1))" "$netlog" | grep -c "RX frame  $2" || true; }
net_has_frames() { [ "$(net_frames "$1" "$2")" -ge 1 ]; }
# The server's logs go beside the screenshots, as the COM1 simulator's does.
trap 'stop_server; cp "$work"/network*.log "$shots/" 2>/dev/null; cleanup' EXIT

# Types text into the address box and presses OK.
type_address() {
  wait_box "$NET" || { fail "no \"$NET\" dialog"; return 1; }
  k settext "$NET" "$(rid IDC_NETWORK_ADDRESS)" "$1"
  k answer "$NET" 1
}

start_server
say "Network port... on a running, connected Kestrel4"
start_connected
k command Kestrel "$(rid ID_PORT_NETWORK)"
type_address "127.0.0.1:70000"
expect_box "a port past 65535 is refused with its reason" "The port must be a number from 1 to 65535."
answer_box Kestrel 1 || fail "the port message stayed"
k settext "$NET" "$(rid IDC_NETWORK_ADDRESS)" "127.0.0.1"
k answer "$NET" 1
expect_box "an address without a port says how to type it" \
  "Type the address as HOST:PORT, for example 10.0.0.5:4001."
answer_box Kestrel 1 || fail "the address message stayed"
shot 01-network-port-dialog
m=$(net_mark)
answer_box "$NET" 2 || fail "Cancel left the dialog up"
expect "Cancel connects nowhere" 0 "$(net_frames "$m" "1B 06 02 00 04")"
expect "Cancel keeps the port" "<missing>" "$(ini_value ConnectStatus NetworkPort)"
expect_k "Cancel leaves the link open" 1 enabled Kestrel "$(rid IDC_POWER)"

say "127.0.0.1:PORT of the server"
m=$(net_mark)
k command Kestrel "$(rid ID_PORT_NETWORK)"
type_address "127.0.0.1:${address##*:}"
k box-gone "$NET" 10000 || fail "a sound address left the dialog up"
wait_for "$WAIT_LONG" net_has_frames "$m" "1B 06 02 00 04" && echo "ok: the identification went to the server" ||
  fail "the server saw no identification"
# The server's projector is another model than COM1's: the program says so, as for a port.
text=$(k box Kestrel 30000)
case "$text" in
  *"The kind of projector is changed."*) echo "ok: the server's model was read" ;;
  *) fail "no model change shown: [$text]" ;;
esac
answer_box Kestrel 1 || fail "the model change message stayed"
expect_until "$WAIT_LONG" "connected through the server" 1 k_is 1 enabled Kestrel "$(rid IDC_POWER)"
expect_until "$WAIT_SHORT" "Port names the network" Network answer_is Network ini_value ConnectStatus Port
expect "the address is kept" "127.0.0.1:${address##*:}" "$(ini_value ConnectStatus NetworkPort)"
shot 02-connected-through-the-server
close_app

say "The next start goes to the kept server"
m=$(net_mark)
c=$(mark)
start_app
k wait-visible Kestrel 30000 || fail "main window never shown"
expect_until "$WAIT_LONG" "connected again" 1 k_is 1 enabled Kestrel "$(rid IDC_POWER)"
expect "through the server" 1 "$(net_has_frames "$m" "1B 06 02 00 04" && echo 1)"
expect "not through COM1" 0 "$(frames_since "$c" "1B 06 02 00 04")"
close_app

say "A damaged address starts on the serial ports"
printf '[ConnectStatus]\r\nConnectMode=0\r\nPort=Network\r\nNetworkPort=127.0.0.1:99999\r\n' > "$ini"
c=$(mark)
start_app
k wait-visible Kestrel 30000 || fail "main window never shown"
expect_until "$WAIT_LONG" "connected on COM1" 1 k_is 1 enabled Kestrel "$(rid IDC_POWER)"
expect "the identification went to COM1" 1 "$(has_frames "$c" "1B 06 02 00 04" 1 && echo 1)"
expect_until "$WAIT_SHORT" "COM1 is kept" 1 answer_is 1 ini_value ConnectStatus Port
close_app

say "A refused server: the port cannot be opened, and Retry tries the server again"
port=${address##*:}
printf '[ConnectStatus]\r\nConnectMode=1\r\nPort=Network\r\nNetworkPort=127.0.0.1:%s\r\n' "$port" > "$ini"
stop_server
start_app
k wait-visible Kestrel 30000 || fail "main window never shown"
restore_main
k command Kestrel "$(rid ID_PORT_NETWORK)"
wait_box "$NET" || fail "no \"$NET\" dialog"
expect_k "the kept address is offered" "127.0.0.1:$port" text "$NET" "$(rid IDC_NETWORK_ADDRESS)"
k answer "$NET" 1
text=$(k box Kestrel 30000)
case "$text" in *"cannot be opened"*) echo "ok: the open failure is shown" ;; *) fail "no open failure: [$text]" ;; esac
shot 03-refused
start_server "$port"
m=$(net_mark)
answer_box Kestrel 1 || fail "the open failure stayed"
wait_for "$WAIT_LONG" net_has_frames "$m" "1B 06 02 00 04" && echo "ok: Retry went to the server" ||
  fail "Retry sent the server no identification"
expect_until "$WAIT_LONG" "connected through the server again" 1 k_is 1 enabled Kestrel "$(rid IDC_POWER)"
close_app

finish "network port scenarios"
