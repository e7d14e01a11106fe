#!/usr/bin/env bash
# A Kestrel4.ini the user or a crash damaged: a setting count of two thousand million starts
# the program within the usual time with the settings there are, and a type change on a Key
# slot whose value names another section leaves that section alone. Arguments as
# scenario_lib.sh; the program starts unconnected.
source "$(dirname "$0")/scenario_lib.sh"

SP="Kestrel/Presentation Support"
has_section() { grep -qi "^\[$1\]" "$ini"; }
shown_page() { k pages Kestrel | grep -v '^Presentation Support$' | paste -sd, -; }
page_is() { [ "$(shown_page)" == "$1" ]; }

say "a damaged setting count"
printf '%s\r\n' '[ConnectStatus]' 'ConnectMode=1' \
  '[Support_SectionName]' 'SectionNum=2000000000' 'SectionName0=Support_Defaults' 'SectionName1=Support_Talk' \
  '[Support_CurrentSection]' 'Support_Defaults=0' 'Support_Talk=1' \
  '[Support_Talk]' 'Effect1=KEY' 'E1KeyEffectVKeyArrayString0=ConnectStatus' 'E1KeyEffectKeyEventString0=A' \
  > "$ini"
start_app
k wait-visible Kestrel 20000 || fail "main window never shown"
restore_main
expect_k "visible screen" "Presentation Support" screen Kestrel
expect_k "the settings there are" "$(printf '*Talk\n Initial Setting')" combo "$SP" 1001
shot damaged-count

say "a type change on a Key slot whose value names [ConnectStatus]"
k tab "$SP" 1004 0
wait_for "$WAIT_SHORT" page_is "Key" || fail "slot 1 shows [$(shown_page)], expected [Key]"
k lselect "$SP" 1000 4
wait_for "$WAIT_SHORT" page_is "Bar" || fail "type change shows [$(shown_page)]"
wait_for "$WAIT_SHORT" has_section Support_Temporary || fail "the change was not stored"
has_section ConnectStatus || fail "[ConnectStatus] deleted"
expect "connection mode kept" 1 "$(ini_value ConnectStatus ConnectMode)"
close_app
expect "count written for the entries there are" 3 "$(ini_value Support_SectionName SectionNum)"
finish "ini scenarios"
