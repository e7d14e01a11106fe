#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages; a no-op when all is present.
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake ninja-build g++ googletest libgtest-dev g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 \
         wine64 wine xvfb imagemagick xdotool ccache xserver-xorg-core xserver-xorg-video-dummy \
         x11-xserver-utils; do
  have "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
