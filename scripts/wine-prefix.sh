# Source this: making a Wine prefix whose COM1 leads to a path of the caller's, by booting
# Wine or by copying a prefix booted before. WINEDEBUG and WINEDLLOVERRIDES as the caller has
# them (scripts/wine-session.sh).

# kestrel_boot_prefix PREFIX COM1_PATH
kestrel_boot_prefix() {
  WINEPREFIX=$1 wineboot -i >/dev/null 2>&1
  WINEPREFIX=$1 wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$2" /f >/dev/null 2>&1
  ln -sfn "$2" "$1/dosdevices/com1"
}

# kestrel_copy_prefix TEMPLATE PREFIX COM1_PATH: a copy of TEMPLATE (a prefix no Wine runs
# in) at PREFIX, its COM1 entry and link pointed at COM1_PATH.
kestrel_copy_prefix() {
  # The program images, 700 of the prefix's 930 files and nearly all of its 700 MB, are
  # linked: Wine only reads them once the prefix is booted. Every other file (the registry,
  # the ini files) is a copy of the copy's own, as are all folders.
  cp -al "$1" "$2"
  (cd "$1" && find . -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' -o -iname '*.sys' \
    -o -iname '*.ocx' -o -iname '*.cpl' -o -iname '*.acm' -o -iname '*.ax' -o -iname '*.ds' -o -iname '*.tlb' \
    -o -iname '*.nls' -o -iname '*.com' -o -iname '*.msstyles' \) -print0 |
    xargs -0 cp -a --parents --remove-destination -t "$2")
  # Names the template's folder for Wine's server; the copy gets one of its own.
  rm -f "$2/wineserver"
  # Written into the registry file, as no Wine runs in the copy yet; read back through Wine,
  # which starts the copy's server and session here, as booting does, and not inside the
  # first program's wait for its window.
  sed -i '/^\[Software\\\\Wine\\\\Ports\]/,/^$/ s|^"COM1"=.*|"COM1"="'"$3"'"|' "$2/system.reg"
  WINEPREFIX=$2 wine reg query 'HKLM\Software\Wine\Ports' /v COM1 2>/dev/null | grep -qF "$3" ||
    WINEPREFIX=$2 wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$3" /f >/dev/null 2>&1
  ln -sfn "$3" "$2/dosdevices/com1"
}
