#!/usr/bin/env bash
# Runs every test of Chimewatch: the native unit tests (with ASan and UBSan),
# a bounded fuzz run, the Windows-side tests under Wine with Xvfb, and the
# release (built twice) with its installer.
# Installs what it needs first. Exits non-zero when any test fails.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tools/install-deps.sh || exit 1

jobs=$(nproc)
failed=()
step() { echo; echo "== $*"; }

step "Native unit tests"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
  cmake --build build/native -j "$jobs" &&
  (cd build/native && ctest -j "$jobs" --output-on-failure) || failed+=(native)

step "Fuzzing the text readers and the calendar import (bounded)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHIMEWATCH_FUZZ=ON >/dev/null &&
  cmake --build build/fuzz -j "$jobs" --target chimewatch_fuzz_texts chimewatch_fuzz_calendar &&
  (cd build/fuzz && ctest -R fuzz --output-on-failure) || failed+=(fuzz)

step "Windows build (32-bit, the shipped program)"
tools/build-windows.sh i686 || failed+=(windows-build-i686)

arch=$(tools/wine-arch.sh)
if [ "$arch" != i686 ]; then
  step "The Windows-side tests run the 64-bit build under 64-bit Wine (CHIMEWATCH_WINE_ARCH=i686 for the 32-bit one)"
  tools/build-windows.sh "$arch" || failed+=(windows-build-$arch)
fi

step "Windows-side tests under Wine ($arch)"
source tools/xvfb.sh
export CHIMEWATCH_WINEPREFIX="$root/build/wineprefix-$arch"
(cd "build/windows-$arch" && ctest --output-on-failure --timeout 600) || failed+=(windows)

step "Release: reproducible, and the 64-bit installer under Wine"
tests/release/release_test.sh || failed+=(release)
stop_xvfb

echo
if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All tests passed."
