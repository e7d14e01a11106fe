#!/usr/bin/env bash
# The setup program in a fresh prefix: a silent install into the per-user folder with its
# shortcuts and uninstall entry, the installed Kestrel4 with its starter cursors and stamps,
# an upgrade that keeps what the user changed, the refusal while Kestrel4 runs, and the
# silent uninstall. Arguments as scenario_lib.sh; scripts/package.sh builds the setup.
source "$(dirname "$0")/scenario_lib.sh"

repo=$(cd "$(dirname "$0")/../.." && pwd)
ITEM_LIST=$(rid IDC_ITEM_LIST)
SP="Kestrel/Presentation Support"
version=$(sed -n 's/^project(Kestrel VERSION \([0-9][0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
setup=$("$repo/scripts/package.sh" | grep -- '-setup\.exe$')
[ -f "$repo/$setup" ] || { echo "FAIL: no setup program ($setup)"; exit 1; }
setup=$repo/$setup
expect "setup named by the version" "Kestrel-$version-setup.exe" "$(basename "$setup")"

user=$(id -un)
inst="$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/Kestrel"
menu="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kestrel"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrel'
listed() { grep -v '^#' "$repo/resources/package/contents.txt" | awk -v k="$1" 'NF == 2 && $1 == k { print $2 }'; }
reg_value() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v v="$1" '$1 == v { print $3 }'; }
run_setup() { (cd "$work" && timeout 120 wine "$setup" /S "$@"); }
# The installed program, from its folder, with its own ini.
start_installed() {
  (cd "$inst" && exec wine Kestrel4.exe) &
  app_pid=$!
}
ini="$inst/Kestrel4.ini"

say "silent install into a fresh prefix"
run_setup
expect "setup ends with 0" 0 "$?"
missing=
for f in $(listed program) $(listed starter) Uninstall.exe; do [ -f "$inst/$f" ] || missing+=" $f"; done
expect "every listed file installed" "" "$missing"
for f in Kestrel4.exe Serilox.dll Tapline.dll Glyphpad.exe kestrelctl.exe Kestrel4.html Glyphpad.html; do
  cmp -s "$inst/$f" "$(dirname "$exe")/$f" || fail "$f is not the built one"
done
for l in Kestrel Glyphpad "Kestrel manual"; do [ -f "$menu/$l.lnk" ] || fail "no Start-menu shortcut $l"; done
expect "DisplayVersion" "$version" "$(reg_value DisplayVersion)"
expect "DisplayName" Kestrel "$(reg_value DisplayName)"
expect "InstallLocation" 'C:\users\'"$user"'\AppData\Local\Programs\Kestrel' "$(reg_value InstallLocation)"
expect "NoModify" 0x1 "$(reg_value NoModify)"
for v in Publisher DisplayIcon UninstallString QuietUninstallString EstimatedSize NoRepair; do
  [ -n "$(reg_value $v)" ] || fail "uninstall entry without $v"
done

say "the installed Kestrel4 starts there and finds its cursor and stamp"
start_installed
k wait-visible Kestrel 30000 || fail "installed Kestrel4 never shown"
restore_main
expect_until "$WAIT_SHORT" "first start seeded its ini beside it" CUSTOM_CURSOR answer_is CUSTOM_CURSOR ini_value Support_Defaults Effect1
k tab "$SP" 1004 0
expect_k "Cursor Change lists the starter cursors, 00.crs chosen" "$(printf '*00.crs\n 01.crs\n 02.crs\n 03.crs')" \
  list "Kestrel/Cursor change" "$ITEM_LIST"
k tab "$SP" 1004 1
expect_k "Stamp lists the starter stamps, 00.stp chosen" \
  "$(printf '*00.stp\n 01.stp\n 02.stp\n 03.stp\n 04.stp\n 05.stp')" list "Kestrel/Stamp" "$ITEM_LIST"
shot 01-installed-stamps

say "a running Kestrel4 stops the setup before it changes anything"
before=$(md5sum "$inst/Kestrel4.exe" "$inst/Uninstall.exe")
touch -d '2001-01-01' "$inst/Kestrel4.exe"
run_setup
status=$?
[ "$status" -ne 0 ] && echo "ok: setup refuses with $status" || fail "setup reported success while Kestrel4 ran"
expect "nothing replaced" "2001-01-01" "$(date -r "$inst/Kestrel4.exe" +%F)"
expect "nothing changed" "$before" "$(md5sum "$inst/Kestrel4.exe" "$inst/Uninstall.exe")"
close_app

say "an upgrade keeps the ini and the user's items"
printf '[Mine]\r\nKept=1\r\n' >> "$ini"
cp "$inst/cursor/00.crs" "$inst/cursor/04.crs"
printf 'x' | dd of="$inst/cursor/00.crs" bs=1 seek=100 conv=notrunc 2>/dev/null
redrawn=$(md5sum < "$inst/cursor/00.crs")
run_setup
expect "the second setup ends with 0" 0 "$?"
expect "the changed ini is kept" 1 "$(ini_value Mine Kept)"
expect "the added cursor is kept" 1 "$([ -f "$inst/cursor/04.crs" ] && echo 1)"
expect "a redrawn starter cursor is kept" "$redrawn" "$(md5sum < "$inst/cursor/00.crs")"
expect "the program is replaced" 0 "$(cmp -s "$inst/Kestrel4.exe" "$(dirname "$exe")/Kestrel4.exe"; echo $?)"

say "silent uninstall"
(cd "$work" && timeout 120 wine "$inst/Uninstall.exe" /S)
programs_gone() { for f in $(listed program) Uninstall.exe; do [ ! -e "$inst/$f" ] || return 1; done; }
wait_for "$WAIT_LONG" programs_gone || fail "program files left: $(ls "$inst")"
expect "shortcuts removed" 0 "$(ls "$menu" 2>/dev/null | wc -l)"
expect "uninstall entry removed" 1 "$(wine reg query "$key" >/dev/null 2>&1 || echo 1)"
expect "the user's ini is kept" 1 "$(ini_value Mine Kept)"
expect "the user's cursor is kept" 1 "$([ -f "$inst/cursor/04.crs" ] && echo 1)"

finish "setup scenarios"
