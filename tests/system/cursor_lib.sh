# What the scenarios of the cursor/stamp set screen and of the item libraries share: Glyphpad
# and the item pages beside the program, the IDs of both resource headers, a pencil stroke.
# Sourced after scenario_lib.sh.
here=$(cd "$(dirname "$0")" && pwd)
bin=$(dirname "$exe")
cp "$bin/Glyphpad.exe" "$bin/Glyphpad.html" "$bin/item_pages_host.exe" "$work/"
check() { python3 "$here/cursor_check.py" "$@"; }
# Control and string IDs by their names in the resource headers; gid for the editor's own.
rid() {
  awk -v name="$1" '$1 == "#define" && $2 == name { print $3; exit }' \
    "$here/../../resources/kestrel4/resource.h" "$here/../../resources/glyphpad/glyphpad_resource.h"
}
gid() {
  awk -v name="$1" '$1 == "#define" && $2 == name { print $3; exit }' "$here/../../resources/glyphpad/glyphpad_resource.h"
}
# A pencil stroke along a row of the editor's grid, from cell X1 to cell X2.
stroke() {  # stroke TITLE ROW X1 X2
  read -r w _ < <(k size "$1" "$(rid IDC_GRID)")
  local cell=$((w / 32)) half=$((w / 64))
  # Posted like the clicks that follow, so the editor takes them in this order.
  k drag "$1" "$(rid IDC_GRID)" $(($3 * cell + half)) $(($2 * cell + half)) $(($4 * cell + half)) $(($2 * cell + half))
}
