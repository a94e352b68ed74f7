#!/usr/bin/env bash
# Measures Chimewatch: the size of the 32-bit program and the DLLs it
# imports, and under Wine how long it takes to start (to its tray icon and
# to its alarms loaded, empty and with 101 alarms) and to exit; then what it
# costs while it idles in the tray, against a minimal tray program.
#   benchmark.sh [STARTUP_RUNS]; CHIMEWATCH_IDLE_TRIALS (pairs, default 4)
#   and CHIMEWATCH_IDLE_SECONDS (idle window, default 60) tune the second part.
#   benchmark.sh --lateness [MINUTES [REF]]   see the section at the end
#   benchmark.sh --calendar [RUNS]             the calendar export and import, and its worst shapes;
#                                              the followed calendars' reminders and their memory
#   benchmark.sh --store [RUNS]                one save, in chimewatch.ini (also with the file
#                                              read again) and the registry; the load of a
#                                              16 MiB chimewatch.ini
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
# The 32-bit program where this machine runs it (the first of the list).
arch=$(tools/wine-arch.sh | cut -d" " -f1)

# ---- Calendar export and import -------------------------------------------
# Export of 101 alerts and import of a generated 5,000-event calendar: the
# median times and the peak memory. A console program: no display needed.
if [ "${1:-}" = --calendar ]; then
  tools/build-windows.sh "$arch"
  export CHIMEWATCH_WINEPREFIX="$PWD/build/wineprefix-$arch"
  tools/wine-run.sh "$arch" "build/windows-$arch/tests/windows/calendar_benchmark.exe" "${2:-11}"
  # The worst shapes near 16 MiB, each in a process of its own for its peak memory.
  for shape in events overrides observances leapzones parameters; do
    tools/wine-run.sh "$arch" "build/windows-$arch/tests/windows/calendar_benchmark.exe" --shape "$shape"
  done
  tools/wine-run.sh "$arch" "build/windows-$arch/tests/windows/calendar_benchmark.exe" --follow
  exit 0
fi

# ---- A save in the file store and in the registry -------------------------
if [ "${1:-}" = --store ]; then
  tools/build-windows.sh "$arch"
  export CHIMEWATCH_WINEPREFIX="$PWD/build/wineprefix-$arch"
  tools/wine-run.sh "$arch" "build/windows-$arch/tests/windows/store_benchmark.exe" "${2:-101}"
  exit 0
fi

# ---- Lateness of the alarm box after its minute ---------------------------
# Real minutes (5 by default): one alarm due at each, the box's delay after
# the minute begins, median and worst. With REF (a git commit, e.g. main),
# that commit's chimewatch.exe is built apart and measured side by side.
if [ "${1:-}" = --lateness ]; then
  minutes=${2:-5}
  ref=${3:-}
  tools/build-windows.sh "$arch"
  programs=("$PWD/build/windows-$arch/chimewatch.exe")
  if [ -n "$ref" ]; then
    old="$PWD/build/lateness-$(git rev-parse --short "$ref")"
    mkdir -p "$old/src"
    git archive "$ref" | tar -x -C "$old/src"
    cmake -S "$old/src" -B "$old/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$old/src/cmake/mingw-toolchain.cmake" \
      -DCHIMEWATCH_WINDOWS_ARCH="$arch" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$old/build" -j "$(nproc)" --target chimewatch
    programs+=("$old/build/chimewatch.exe")
  fi
  source tools/xvfb.sh
  trap stop_xvfb EXIT
  export CHIMEWATCH_WINEPREFIX="$PWD/build/wineprefix-$arch"
  tools/wine-run.sh "$arch" "build/windows-$arch/tests/windows/lateness_benchmark.exe" "$minutes" "${programs[@]}"
  exit 0
fi
# ---- End of the lateness section ------------------------------------------

tools/build-windows.sh i686
exe=build/windows-i686/chimewatch.exe
echo "chimewatch.exe (i686): $(stat -c %s "$exe") bytes; imports:" \
  $(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')
[ "$arch" = i686 ] || tools/build-windows.sh "$arch"
source tools/xvfb.sh
trap stop_xvfb EXIT
export CHIMEWATCH_WINEPREFIX="$PWD/build/wineprefix-$arch"
tools/wine-run.sh "$arch" "build/windows-$arch/tests/windows/startup_benchmark.exe" \
  "$PWD/build/windows-$arch/chimewatch.exe" "${1:-7}"

# Idle cost: pairs of runs, minimal program and Chimewatch in alternating
# order, each idling a full window; CPU is read from the Unix side.
tools/wine-run.sh "$arch" "build/windows-$arch/tests/windows/idle_benchmark.exe" \
  "$PWD/build/windows-$arch/tests/windows/minimal_tray.exe" "$PWD/build/windows-$arch/chimewatch.exe" \
  "$PWD/$exe" "${CHIMEWATCH_IDLE_TRIALS:-4}" "${CHIMEWATCH_IDLE_SECONDS:-60}"
