#!/usr/bin/env bash
# A projector on a USB adapter's port: the simulator on COM7 only (no COM1), as Windows lists
# such a port. Kestrel4 connecting at start-up without a kept port finds it by itself, keeps
# Port=7 and offers COM7 in the port menu; kestrelctl reaches it as COM12, a name that only
# opens through the device namespace.
# Usage: port_scenarios.sh KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
source "$(dirname "$0")/scenario_lib.sh"

: "${KESTREL_COM1_DEVICE:?needs the prefix of scripts/wine-session.sh}"
pty=$(readlink "$KESTREL_COM1_DEVICE")
[ -n "$pty" ] || { echo "FAIL: no simulator on COM1 to move"; exit 1; }
kestrelctl=$(dirname "$exe")/kestrelctl.exe

# port_only N: the simulator is COM N, and no other port exists. Wine maps a port through its
# dosdevices link and keeps that mapping in its Ports key; the system's serial-port list is
# what Windows fills when a driver (here: the adapter's) starts, which Wine leaves to us.
port_only() {
  local n=$1
  wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d /nonexistent/com1 /f >/dev/null 2>&1
  ln -sfn /nonexistent/com1 "$WINEPREFIX/dosdevices/com1"
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /t REG_SZ /d "$pty" /f >/dev/null 2>&1
  ln -sfn "$pty" "$WINEPREFIX/dosdevices/com$n"
  # The key itself is volatile, as on Windows: its values change, the key stays.
  wine reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /va /f >/dev/null 2>&1
  wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\USBSER000' /t REG_SZ /d "COM$n" /f >/dev/null 2>&1
  wine reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' 2>/dev/null | grep -q "COM$n\b" ||
    fail "the system's serial-port list does not show COM$n"
}

say "Simulator on COM7 only; connecting at start-up without a kept port"
port_only 7
printf '[ConnectStatus]\r\nConnectMode=0\r\n' > "$ini"
m=$(mark)
start_app
k wait-visible Kestrel 30000 || fail "main window never shown"
expect_until "$WAIT_LONG" "connected by itself" 1 k_is 1 enabled Kestrel "$(rid IDC_POWER)"
expect "no question on the way" 1 "$(k box Kestrel 500 >/dev/null || echo 1)"
expect_until "$WAIT_SHORT" "the port found is kept" 7 answer_is 7 ini_value ConnectStatus Port
expect "the identification went to the projector" 1 "$(log_has "$m" "RX frame  1B 06 02 00 04" && echo 1)"
# Menus stay inside their process under Wine; the COM7 item's command shows it works.
restore_main
m=$(mark)
k command Kestrel $(($(rid ID_PORT_ANY) + 7))
wait_frames "$m" "1B 06 02 00 04" 1 "$WAIT_LONG" && echo "ok: the port menu's COM7 reconnects" ||
  fail "the port menu's COM7 sent no identification"
wait_for "$WAIT_SHORT" k_is 1 enabled Kestrel "$(rid IDC_POWER)" || fail "not connected after the menu's COM7"
shot 01-connected-on-com7
close_app

say "A second start goes straight to the kept COM7"
m=$(mark)
start_app
k wait-visible Kestrel 30000 || fail "main window never shown"
expect_until "$WAIT_LONG" "connected again" 1 k_is 1 enabled Kestrel "$(rid IDC_POWER)"
expect "Port stays 7" 7 "$(ini_value ConnectStatus Port)"
close_app

say "No answer on the kept COM7: \"Selecting Port\" offers it under Other:"
sim "fault no-ack*3"  # the three attempts of the identification
start_app
wait_box Kestrel 30 || fail "no question after the silent projector"
answer_box Kestrel 1 || fail "the no-response question stayed"
wait_box "Selecting Port" || fail "no port choice"
expect_k "the other present port is offered" "*COM7" combo "Selecting Port" "$(rid IDC_PORT_LIST)"
expect_k "and chosen, as it is the current port" 1 checked "Selecting Port" "$(rid IDC_PORT_OTHER)"
expect_k "COM1 is not chosen" 0 checked "Selecting Port" "$(rid IDC_PORT1)"
shot 02-selecting-port
answer_box "Selecting Port" 1 || fail "the port choice stayed"
k wait-visible Kestrel 30000 || fail "main window never shown"
expect_until "$WAIT_LONG" "connected on the chosen COM7" 1 k_is 1 enabled Kestrel "$(rid IDC_POWER)"
close_app

say "kestrelctl on COM12"
port_only 12
out=$(cd "$work" && timeout 60 wine "$kestrelctl" --port COM12 identify 2>&1 | tr -d '\r')
status=$?
expect "kestrelctl --port COM12 identify succeeds" 0 "$status"
expect "kestrelctl names the projector" KT-C310 "$out"
out=$(cd "$work" && timeout 60 wine "$kestrelctl" --port COM257 identify 2>&1 | tr -d '\r')
expect "COM257 is no port" 1 "$?"

finish "port scenarios"
