# What the scenarios of the user logo and of the test patterns share: pictures made by
# logo_files.py and the file dialogs. Sourced after scenario_lib.sh.
files="python3 $(dirname "$0")/logo_files.py"
win() { winepath -w "$1" 2>/dev/null; }
choose_file() {  # choose_file DIALOG PATH: type the name into the file dialog and wait until it closed
  k file-name "$1" "$(win "$2")" 10000 || { fail "no file dialog \"$1\""; return 1; }
  k box-gone "$1" 10000 || fail "file dialog \"$1\" stayed"
}
