#!/usr/bin/env bash
# Runs every test of Chimewatch: the native unit tests (with ASan and UBSan),
# a bounded fuzz run, the Windows-side tests under Wine with Xvfb, and the
# release (built twice, then signed) with its installers. The Windows-side
# tests run the 32-bit and the 64-bit program where this machine runs 32-bit
# Windows code (tools/wine-arch.sh asks it), else the 64-bit one only.
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

step "Fuzzing the text readers, chimewatch.ini, stored rules and the calendar import (bounded)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHIMEWATCH_FUZZ=ON >/dev/null &&
  cmake --build build/fuzz -j "$jobs" --target chimewatch_fuzz_texts chimewatch_fuzz_calendar \
    chimewatch_fuzz_store_file chimewatch_fuzz_stored_rule &&
  (cd build/fuzz && ctest -R fuzz --output-on-failure) || failed+=(fuzz)

step "Windows build (32-bit, the shipped program)"
tools/build-windows.sh i686 || failed+=(windows-build-i686)

step "Windows build (64-bit)"
tools/build-windows.sh x86_64 || failed+=(windows-build-x86_64)

step "Does this machine run 32-bit Windows code?"
archs=$(tools/wine-arch.sh)
export CHIMEWATCH_WINE_ARCHS=$archs
echo "The Windows-side tests run: $archs"

# The architectures run at once, each in its own prefix and on its own
# display: their tests mostly wait for real minutes.
windows_side() {  # ARCH
  unset DISPLAY
  source tools/xvfb.sh
  export CHIMEWATCH_WINEPREFIX="$root/build/wineprefix-$1"
  (cd "build/windows-$1" && ctest --output-on-failure --timeout 600)
  local result=$?
  stop_xvfb
  return $result
}
declare -A runs
for arch in $archs; do
  windows_side "$arch" >"build/windows-side-$arch.log" 2>&1 &
  runs[$arch]=$!
done
for arch in $archs; do
  wait "${runs[$arch]}" || failed+=(windows-$arch)
  step "Windows-side tests under Wine ($arch)"
  cat "build/windows-side-$arch.log"
done

source tools/xvfb.sh
step "Release: reproducible, hardened, signed, its manifests, and the installers under Wine ($archs)"
tests/release/release_test.sh || failed+=(release)
stop_xvfb

echo
if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All tests passed (Windows-side: $archs)."
