#!/usr/bin/env bash
# Cross-compiles chimewatch.exe and the Windows-side tests for one
# architecture (i686 by default) into build/windows-ARCH.
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${1:-i686}
cmake -S . -B "build/windows-$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-toolchain.cmake \
  -DCHIMEWATCH_WINDOWS_ARCH="$arch" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "build/windows-$arch" -j "$(nproc)"
