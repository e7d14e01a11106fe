# The one library of the system scenario scripts: arguments, the work folder, kdriver, the
# simulated projector and its log, and waiting for conditions (a frame in the log, a window
# text) rather than for times. Sourced by each scenario script with the arguments
#   KESTREL4_EXE KDRIVER_EXE SCREENSHOT_DIR SIMULATOR_LOG
# Needs DISPLAY and WINEPREFIX (scripts/wine-session.sh) and a simulated projector on COM1
# (scripts/with-simulator.sh, which gives its control FIFO as ZELQSIM_CONTROL); the CMake
# declaration of the scenarios provides all three.
set -uo pipefail

exe=$1
driver=$2
shots=$3
simlog=$4
: "${DISPLAY:?needs a display (source scripts/wine-session.sh)}"
: "${WINEPREFIX:?needs a Wine prefix (source scripts/wine-session.sh)}"
: "${ZELQSIM_CONTROL:?needs a simulated projector (scripts/with-simulator.sh)}"

mkdir -p "$shots"
rm -f "$shots"/*.png
work=$(mktemp -d /tmp/kestrel4-scenario.XXXXXX)
cp "$exe" "$work/Kestrel4.exe"
cp "$(dirname "$exe")"/Serilox.dll "$(dirname "$exe")"/Tapline.dll "$(dirname "$exe")"/Kestrel4.html "$work/"
cp "$driver" "$work/kdriver.exe"
ini="$work/Kestrel4.ini"
app_pid=
failures=0
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  kdriver_stop
  rm -rf "$work"
}
trap cleanup EXIT

# Generous limits: a slow machine waits longer, a fast one no longer than needed.
WAIT_SHORT=10
WAIT_LONG=60

say() { echo "== $*"; }
# Control and string IDs by their names in the program's resource header.
resource_header="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../resources/kestrel4" && pwd)/resource.h"
rid() { awk -v name="$1" '$1 == "#define" && $2 == name { print $3; exit }' "$resource_header"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect() {  # expect WHAT EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then echo "ok: $1"; else fail "$1: expected [$2], got [$3]"; fi
}
# kdriver under Wine: one process per scenario ("kdriver serve"), started by the first
# command, reads requests from one FIFO and answers on another (framing in
# tests/system/driver/serve.h), so that a command costs no Wine start. This shell holds both
# FIFOs open for reading and writing: the server can be started, and started again when it
# dies, from any subshell (the first k often runs inside $(...)), without blocking on an open.
kdriver_requests="$work/kdriver.requests"
kdriver_answers="$work/kdriver.answers"
kdriver_pidfile="$work/kdriver.pid"
mkfifo "$kdriver_requests" "$kdriver_answers"
exec {kdriver_request_fd}<>"$kdriver_requests" {kdriver_answer_fd}<>"$kdriver_answers"
kdriver_alive() {  # without a process started: it runs before every command
  local pid state
  { read -r pid <"$kdriver_pidfile" && read -r _ _ state _ <"/proc/$pid/stat"; } 2>/dev/null && [ "$state" != Z ]
}
kdriver_stop() {
  local pid
  { read -r pid <"$kdriver_pidfile" && kill "$pid"; } 2>/dev/null
  rm -f "$kdriver_pidfile"
}
# Starts the server; a request a dead one left unread is dropped first.
kdriver_start() {
  local _stale
  while IFS= read -r -d '' -t 0.05 -u "$kdriver_request_fd" _stale; do :; done
  (cd "$work" && exec wine kdriver.exe serve <"$kdriver_requests" >"$kdriver_answers" 2>>"$work/kdriver.stderr") \
    {kdriver_request_fd}>&- {kdriver_answer_fd}>&- &
  echo $! > "$kdriver_pidfile"
}
kdriver_request() {  # kdriver_request ID ARGS...: lengths in bytes
  local LC_ALL=C request argument
  request="$1 $(($# - 1))"$'\n'
  shift
  for argument; do request+="${#argument} $argument"$'\n'; done
  printf '%s' "$request" >&"$kdriver_request_fd" 2>/dev/null
}
# kdriver_answer ID: the answer's output in kdriver_output; its status, or 255 when the server
# died before answering.
kdriver_answer() {
  local line= part= begun=
  kdriver_output=
  while :; do
    if IFS= read -r -t 1 -u "$kdriver_answer_fd" part; then
      line+=$part
      line=${line//$'\r'/}
      if [ -z "$begun" ]; then
        [ "$line" == $'\036'"begin $1" ] && begun=1
      elif [[ $line == $'\036'"end $1 "* ]]; then
        while [[ $kdriver_output == *$'\n' ]]; do kdriver_output=${kdriver_output%$'\n'}; done
        return "${line##* }"
      else
        kdriver_output+=$line$'\n'
      fi
      line=
    else
      # A time-out keeps what came of a line; the server may still be working on it.
      line+=$part
      kdriver_alive || return 255
    fi
  done
}
# k COMMAND TITLE [ARGS]: as a run of kdriver.exe, its output on stdout and its status (0, 1,
# 2 or 64). A server that dies is started again and given the command once more. Commands
# that keep running beside the scenario (canvas, splash-ms) are runs of kdriver.exe of their
# own, started by the scenario, as is the stand-in browser (record).
k() {
  local id status _attempt
  if [ "${1-}" == foreground ]; then
    # A run of its own, as before the server: asked for by the long-lived server, a foreground
    # change left keys typed after a later one going astray in the effect scenarios.
    (cd "$work" && wine kdriver.exe "$@" >/dev/null 2>&1)
    return
  fi
  for _attempt in 1 2; do
    kdriver_alive || kdriver_start
    id="$BASHPID.$SRANDOM"
    kdriver_request "$id" "$@"
    kdriver_answer "$id"
    status=$?
    [ "$status" -ne 255 ] && break
    echo "kdriver died during [$*]; started again" >&2
  done
  [ -z "$kdriver_output" ] || printf '%s\n' "$kdriver_output"
  return "$status"
}
shot() { import -window root "$shots/$1.png" && echo "screenshot: $1.png"; }

# Web pages in this prefix open in kdriver, which appends each page or URL it is given to
# $opened: no browser is needed, and none starts.
opened="$work/opened.txt"
stand_in_browser() {
  local command
  command="\"$(winepath -w "$work/kdriver.exe")\" record \"$(winepath -w "$opened")\" \"%1\""
  wine reg add 'HKCR\.html' /ve /d KestrelTestPage /f >/dev/null 2>&1
  wine reg add 'HKCR\KestrelTestPage\shell\open\command' /ve /d "$command" /f >/dev/null 2>&1
  wine reg query 'HKCR\KestrelTestPage\shell\open\command' /ve 2>/dev/null | grep -qF " record " ||
    fail "the stand-in browser is not registered"
}
# A run of the stand-in browser in this prefix, or the console Wine gives it, still going: it
# takes the foreground and the X focus, and keys typed before it ended would go astray.
browser_running() {
  local pid
  for pid in $(pgrep -f 'conhost\.exe|kdriver\.exe.* record ' 2>/dev/null); do
    grep -qzxF "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null && return 0
  done
  return 1
}
# opened_is COUNT LAST: COUNT pages opened so far, the last one LAST, and the stand-in browser
# done with them.
opened_is() {
  last_answer="$(grep -c . "$opened" 2>/dev/null) $(tail -n 1 "$opened" 2>/dev/null | tr -d '\r')"
  [ "$last_answer" == "$1 $2" ] && ! browser_running
}

# wait_for SECONDS COMMAND...: runs COMMAND until it succeeds; false when the time is up.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}
# answer_is EXPECTED COMMAND...: COMMAND prints EXPECTED. What it printed stays in last_answer,
# so that a wait that runs out can say what it saw last.
answer_is() {
  last_answer=$("${@:2}" 2>/dev/null)
  [ "$last_answer" == "$1" ]
}
k_is() { answer_is "$1" k "${@:2}"; }  # k_is EXPECTED KDRIVER-ARGS...: kdriver answers EXPECTED
# wait_box TITLE [SECONDS]: a dialog or message box TITLE (an owned window) is up, asked in
# short waits until SECONDS have passed.
wait_box() { wait_for "${2:-$WAIT_SHORT}" k box "$1" 2000 >/dev/null; }
# expect_until SECONDS WHAT EXPECTED CONDITION...: passes once CONDITION holds (it sets
# last_answer), else fails with the answer seen last.
expect_until() {
  last_answer=
  if wait_for "$1" "${@:4}"; then echo "ok: $2"; else fail "$2: expected [$3], got [$last_answer]"; fi
}
# expect_soon WHAT EXPECTED COMMAND...: as expect, with the answer of COMMAND read again until it
# matches or WAIT_SHORT has passed; a slow program is no failure.
expect_soon() { expect_until "$WAIT_SHORT" "$1" "$2" answer_is "$2" "${@:3}"; }
expect_k() { expect_soon "$1" "$2" k "${@:3}"; }  # expect_k WHAT EXPECTED KDRIVER-ARGS...
# expect_box WHAT TEXT [SECONDS]: a message box "Kestrel" with TEXT comes up.
expect_box() {
  local seconds=${3:-$WAIT_SHORT}
  expect_until "$seconds" "$1" "$2" k_is "$2" box Kestrel $((seconds * 1000))
}
# The screen's colour at X, Y as RRGGBB; the expected colour may be a pattern (FF00?? for red
# with any blue), as pictures with a ramp have colours that depend on a pixel's exact place.
pixel_is() {  # pixel_is RRGGBB X Y
  last_answer=$(k pixel - "$2" "$3")
  [[ $last_answer == $1 ]]
}
wait_pixel() { wait_for "${4:-$WAIT_SHORT}" pixel_is "$1" "$2" "$3"; }  # RRGGBB X Y [SECONDS]
expect_pixel() { expect_until "$WAIT_SHORT" "$1" "$2" pixel_is "$2" "$3" "$4"; }  # WHAT RRGGBB X Y
# answer_box TITLE BUTTON: clicks the button of the box owned by TITLE and waits until the box
# is gone, clicking again while it stays (a busy Wine can drop a posted click).
answer_box() {
  local _attempt
  for _attempt in 1 2 3; do
    k answer "$1" "$2"
    k box-gone "$1" 5000 && return 0
  done
  return 1
}
wait_text() { wait_for "${4:-$WAIT_SHORT}" k_is "$3" text "$1" "$2"; }  # TITLE ID TEXT [SECONDS]
wait_pages() { wait_for "${2:-$WAIT_SHORT}" k_is "$1" pages Kestrel; }  # EXPECTED [SECONDS]
wait_iconic() { wait_for "${2:-$WAIT_SHORT}" k_is "$1" iconic Kestrel; }  # 0|1 [SECONDS]
wait_focus() { wait_for "${2:-$WAIT_SHORT}" k_is "$1" focus Kestrel; }  # ID [SECONDS]
wait_menu() { wait_for "${2:-$WAIT_SHORT}" k_is "$1" menu-open -; }  # 0|1 [SECONDS]

# The simulator log from a mark on: what the projector received since then.
mark() { wc -l < "$simlog"; }
since() { tail -n +"$(($1 + 1))" "$simlog"; }
frames_since() {  # frames_since MARK "HEX BYTES" -> how many frames began so
  since "$1" | grep -c "RX frame  $2" || true
}
log_has() { since "$1" | grep -qF -- "$2"; }  # log_has MARK TEXT
has_frames() { [ "$(frames_since "$1" "$2")" -ge "$3" ]; }
wait_frames() { wait_for "${4:-$WAIT_SHORT}" has_frames "$1" "$2" "$3"; }  # MARK "HEX" COUNT [SECONDS]
# Frames the projector received since its start that begin with these bytes.
received() { grep -c "RX frame  $1" "$simlog" 2>/dev/null || true; }
# wait_quiet: until the projector has received nothing for a second (five ticks of an
# arrow's repeat), for the checks that nothing more is sent.
log_quiet_since() {
  local now
  now=$(mark)
  if [ "$now" != "$quiet_lines" ]; then
    quiet_lines=$now
    quiet_from=$(date +%s%N)
    return 1
  fi
  [ $(($(date +%s%N) - quiet_from)) -ge 1000000000 ]
}
wait_quiet() {
  quiet_lines=$(mark)
  quiet_from=$(date +%s%N)
  wait_for "${1:-$WAIT_SHORT}" log_quiet_since
}
# A command to the simulated projector, taken once its log says so.
sim() {
  local m
  m=$(mark)
  echo "$*" > "$ZELQSIM_CONTROL"
  wait_for "$WAIT_SHORT" log_has "$m" "command $*" || fail "simulator did not take [$*]"
}

ini_value() {  # ini_value SECTION KEY -> value, or <missing>
  awk -v s="[$1]" -v k="$2" 'BEGIN{IGNORECASE=1; v="<missing>"}
    { sub(/\r$/, "") }
    /^\[/ { in_s = (tolower($0) == tolower(s)); next }
    in_s && index($0, "=") { split($0, a, "="); if (tolower(a[1]) == tolower(k)) { v = substr($0, length(a[1]) + 2); exit } }
    END { print v }' "$ini" 2>/dev/null || echo "<missing>"
}

# The start of an ini for the effect scenarios: connected, one setting section, and slot 1 a
# green spot light of 200 pixels; the caller adds its other slots and their keys.
effects_ini_start() {
  cat <<'INI'
[ConnectStatus]
ConnectMode=1
[Support_SectionName]
SectionNum=1
SectionName0=Support_Defaults
[Support_CurrentSection]
Support_Defaults=1
[Support_Defaults]
Effect1=SPOT_LIGHT
E1SpotLightEffectColor=65280
E1SpotLightEffectDiameter=200
E1SpotLightEffectClear=0
INI
}

# kdriver's canvas (a window that logs the keys it sees to $keylog; its process in canvas_pid),
# then Kestrel4, which starts minimized with effects set. READY must hold before anything can
# be checked on the X server: without it the scenario ends with the failure WHY.
start_canvas_and_app() {  # start_canvas_and_app READY WHY SCENARIO-NAME
  (cd "$work" && exec wine kdriver.exe canvas Canvas "$keylog") >/dev/null 2>&1 &
  canvas_pid=$!
  k wait-visible Canvas 30000 || fail "canvas never shown"
  wait_for "$WAIT_LONG" "$1" || { fail "$2"; finish "$3"; }
  start_app
  k wait-visible Kestrel 30000 || fail "main window never shown"
  wait_iconic 1 "$WAIT_LONG" || fail "main window not minimized at start"
}

start_app() {
  (cd "$work" && exec wine Kestrel4.exe) &
  app_pid=$!
}
app_gone() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_app_exit() {  # wait_app_exit [SECONDS]
  wait_for "${1:-$WAIT_SHORT}" app_gone || return 1
  wait "$app_pid" 2>/dev/null
  app_pid=
}
# Shows the minimized main window and makes it the foreground window; without a window
# manager the X focus can lag behind, so the foreground is asked for until it holds.
is_foreground() { k foreground Kestrel; k_is 1 foreground-is Kestrel; }
restore_main() {
  k show Kestrel restore
  wait_iconic 0 || fail "main window not restored"
  wait_for "$WAIT_SHORT" is_foreground || fail "main window not in the foreground"
}
buttons_enabled() {
  local states= id
  for id in 1040 1041 1042 1043 1044 1045; do states+=$(k enabled Kestrel "$id"); done
  echo "$states"
}

# Start with ConnectMode 0 and show the main window restored, connected.
start_connected() {
  printf '[ConnectStatus]\r\nConnectMode=0\r\n' > "$ini"
  start_app
  k wait-visible Kestrel 20000 || fail "main window never shown"
  wait_for "$WAIT_SHORT" k_is 1 enabled Kestrel 1040 || fail "not connected"
  restore_main
}

close_app() {
  k close Kestrel
  wait_app_exit 15 || fail "close did not end the program"
  app_pid=
}

finish() {  # finish WHAT
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all $1 passed"
}

VC="Kestrel/Video(Computer)"
VV="Kestrel/Video(Video)"
tab() {  # tab INDEX: the Projector control screen's tab, and its page shown
  local names=("" Audio Setting Advanced About Gamma)
  # Asked again when the page does not come: a busy Wine can lose the posted selection.
  for _attempt in 1 2 3; do
    k tab Kestrel 1218 "$1"
    case "$1" in
      0) wait_for "$WAIT_SHORT" video_page_shown && return 0 ;;
      *) wait_pages "${names[$1]}" && return 0 ;;
    esac
  done
  return 1
}
video_page_shown() { case "$(k pages Kestrel)" in "Video(Computer)" | "Video(Video)") return 0 ;; esac; return 1; }
