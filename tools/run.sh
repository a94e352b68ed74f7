#!/usr/bin/env bash
# Builds Chimewatch and starts it under Wine. With no DISPLAY it starts Xvfb
# and says where it is; Chimewatch then runs until it is ended from its tray
# menu ("Exit") or with Ctrl+C here.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build-windows.sh i686
# The 32-bit program where this machine runs 32-bit Windows code, else the
# 64-bit one (tools/wine-arch.sh says why).
arch=i686
if [ "$(tools/wine-arch.sh)" = x86_64 ]; then
  arch=x86_64
  echo "Starting the 64-bit build under 64-bit Wine."
  tools/build-windows.sh "$arch"
fi
source tools/xvfb.sh
[ -n "$XVFB_PID" ] && echo "No DISPLAY given: running on Xvfb display $DISPLAY (screenshot: import -display $DISPLAY -window root shot.png)"
export CHIMEWATCH_WINEPREFIX="$PWD/build/wineprefix-$arch"
trap stop_xvfb EXIT
echo "Chimewatch is running: its icon is in Wine's notification area."
tools/wine-run.sh "$arch" "build/windows-$arch/chimewatch.exe"
