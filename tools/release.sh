#!/usr/bin/env bash
# Builds the release of Chimewatch into dist/, from nothing but the sources:
# for the 64-bit and the 32-bit program the installer and the portable zip,
# and SHA256SUMS of the four. The same commit gives the same bytes, in any
# folder, at any time, in any time zone.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS
tools/install-deps.sh

if [ -n "$(GIT_OPTIONAL_LOCKS=0 git status --porcelain)" ]; then
  echo "Note: the tree has uncommitted changes; the release is built from them," \
    "with the time of the last commit." >&2
fi
# Every time stamp in the release is the commit's time (unless the caller
# gives SOURCE_DATE_EPOCH); zip writes local times, so the time zone is fixed
# too.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export TZ=UTC LC_ALL=C
umask 022

# Text files for Windows readers.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }

rm -rf dist build/release-x86_64 build/release-i686
mkdir dist
for arch in x86_64 i686; do
  build=build/release-$arch
  echo "== $arch: chimewatch.exe"
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-toolchain.cmake \
    -DCHIMEWATCH_WINDOWS_ARCH="$arch" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
  nice cmake --build "$build" --target chimewatch -j "$(nproc)" >/dev/null
  # version, release_name, nsis_target and program, as CMake knows them.
  source "$build/installer/release.env"

  folder=$root/$build/portable/Chimewatch
  mkdir -p "$folder"
  cp "$program" "$folder/chimewatch.exe"
  crlf installer/README.txt "$folder/README.txt"
  crlf LICENSE "$folder/LICENSE.txt"
  chmod 644 "$folder"/*
  chmod 755 "$folder"
  touch -d "@$SOURCE_DATE_EPOCH" "$folder"/* "$folder"

  echo "== $arch: $release_name-setup.exe"
  makensis -V2 -DVERSION="$version" -DNSIS_TARGET="$nsis_target" -DPROGRAM="$folder/chimewatch.exe" \
    -DREADME="$folder/README.txt" -DLICENSE="$folder/LICENSE.txt" \
    -DOUTFILE="$root/dist/$release_name-setup.exe" installer/chimewatch.nsi

  echo "== $arch: $release_name.zip"
  (cd "$folder/.." && find Chimewatch -type f | sort | zip -q -X -D "$root/dist/$release_name.zip" -@)
done

(cd dist && sha256sum -- *-setup.exe *.zip >SHA256SUMS)

echo
echo "Made in dist/ (version $version, $((SECONDS - started)) s):"
for file in dist/*; do
  printf '%10d bytes  %s\n' "$(stat -c %s "$file")" "${file#dist/}"
done
