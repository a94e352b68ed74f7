#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix.
#   wine-run.sh ARCH PROGRAM [ARGS...]      ARCH is i686 or x86_64
# WINEPREFIX defaults to build/wineprefix-ARCH beside this script; the caller
# (tools/test.sh, tools/run.sh) provides DISPLAY.
set -euo pipefail
arch=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
export WINEDEBUG=${CHIMEWATCH_WINEDEBUG:--all}
# No menu entries on the Linux desktop for shortcuts made in the prefix (the
# installer's); the menu builder would also hold the program's file open
# while the uninstaller removes it.
export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
export WINEARCH=$([ "$arch" = x86_64 ] && echo win64 || echo win32)
export WINEPREFIX=${CHIMEWATCH_WINEPREFIX:-$here/../build/wineprefix-$arch}
if [ "$arch" = x86_64 ]; then export WINELOADER=/usr/lib/wine/wine64; else export WINELOADER=/usr/lib/wine/wine; fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # No Mono or Gecko: the program needs neither, and their installers ask.
  WINEDLLOVERRIDES="mscoree,mshtml=;$WINEDLLOVERRIDES" "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
  # Without a window manager Wine waits ~2 s for each closed top-level window.
  "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  wineserver -w || true
fi
exec "$WINELOADER" "$@"
