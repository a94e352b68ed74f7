#!/usr/bin/env bash
# Source this: starts Xvfb on a free display when no DISPLAY is given, and
# stop_xvfb stops it again.
XVFB_PID=""
if [ -z "${DISPLAY:-}" ]; then
  # Xvfb takes the first free display itself, so that two started at once
  # (tools/test.sh runs each architecture on its own) never take the same.
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi "${CHIMEWATCH_DPI:-96}" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 50); do [ -s "$number_file" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n 1 "$number_file")"
  rm -f "$number_file"
fi
# Ends the prefix's Wine processes first, so that none loses its display.
stop_xvfb() {
  [ -n "${CHIMEWATCH_WINEPREFIX:-}" ] && WINEPREFIX=$CHIMEWATCH_WINEPREFIX wineserver -k 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  XVFB_PID=""
}
