#!/usr/bin/env bash
# Source this: starts Xvfb on a free display when no DISPLAY is given, and
# stop_xvfb stops it again.
XVFB_PID=""
if [ -z "${DISPLAY:-}" ]; then
  for number in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
    Xvfb ":$number" -screen 0 1280x1024x24 -dpi "${CHIMEWATCH_DPI:-96}" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$number"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
    break
  done
fi
# Ends the prefix's Wine processes first, so that none loses its display.
stop_xvfb() {
  [ -n "${CHIMEWATCH_WINEPREFIX:-}" ] && WINEPREFIX=$CHIMEWATCH_WINEPREFIX wineserver -k 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  XVFB_PID=""
}
