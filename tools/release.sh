#!/usr/bin/env bash
# Builds the release of Chimewatch into dist/, from nothing but the sources:
# for the 64-bit and the 32-bit program the installer and the portable zip,
# SHA256SUMS of the four, and the winget and Scoop manifests. The same
# commit gives the same bytes, in any folder, at any time, in any time zone.
#
# With a code-signing certificate (CHIMEWATCH_SIGN_CERT, CHIMEWATCH_SIGN_KEY,
# CHIMEWATCH_SIGN_PASS, CHIMEWATCH_SIGN_TIMESTAMP_URL: see tools/sign.sh) it
# signs every program it ships: chimewatch.exe, the uninstaller and the
# installer. A signature holds its own time, so a signed release is not
# reproducible; without the certificate nothing is signed.
# CHIMEWATCH_RELEASE_URL is where the release files will be downloaded from,
# for the manifests (default below).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS
tools/install-deps.sh

# A wrong key or password stops the release here, before anything is built;
# so does a password or time-stamp server given without the certificate.
sign=""
nsis_sign=()
if [ -n "${CHIMEWATCH_SIGN_CERT:-}${CHIMEWATCH_SIGN_KEY:-}${CHIMEWATCH_SIGN_PASS:-}${CHIMEWATCH_SIGN_TIMESTAMP_URL:-}" ]; then
  tools/sign.sh --check || { echo "The release is not made: the certificate cannot sign." >&2; exit 1; }
  sign=$root/tools/sign.sh
  nsis_sign=(-DSIGN="$sign")
  echo "Signing with $CHIMEWATCH_SIGN_CERT${CHIMEWATCH_SIGN_TIMESTAMP_URL:+, time-stamped by $CHIMEWATCH_SIGN_TIMESTAMP_URL}"
fi

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
    -DCHIMEWATCH_WINDOWS_ARCH="$arch" -DCMAKE_BUILD_TYPE=Release >/dev/null
  nice cmake --build "$build" --target chimewatch -j "$(nproc)" >/dev/null
  # version, release_name, nsis_target and program, as CMake knows them.
  source "$build/installer/release.env"

  folder=$root/$build/portable/Chimewatch
  mkdir -p "$folder"
  cp "$program" "$folder/chimewatch.exe"
  # Signed before it goes into the zip and the installer.
  [ -z "$sign" ] || "$sign" "$folder/chimewatch.exe"
  crlf installer/README.txt "$folder/README.txt"
  crlf LICENSE "$folder/LICENSE.txt"
  # Only the zip is portable: the installer takes the three files above.
  crlf installer/chimewatch.ini "$folder/chimewatch.ini"
  # The language files (the tests' pseudo-language is not built here).
  mkdir -p "$folder/languages"
  cp "$(dirname "$program")"/languages/*.dll "$folder/languages/"
  rm -f "$folder/languages/qps-ploc.dll"
  chmod 644 "$folder"/*.* "$folder"/languages/*
  chmod 755 "$folder" "$folder/languages"
  touch -d "@$SOURCE_DATE_EPOCH" "$folder"/languages/* "$folder"/* "$folder"

  echo "== $arch: $release_name-setup.exe"
  # With SIGN, makensis signs the uninstaller and the installer as it writes
  # them.
  makensis -V2 "${nsis_sign[@]}" -DVERSION="$version" -DNSIS_TARGET="$nsis_target" -DPROGRAM="$folder/chimewatch.exe" \
    -DREADME="$folder/README.txt" -DLICENSE="$folder/LICENSE.txt" -DLANGUAGES="$folder/languages" \
    -DOUTFILE="$root/dist/$release_name-setup.exe" installer/chimewatch.nsi

  echo "== $arch: $release_name.zip"
  (cd "$folder/.." && find Chimewatch -type f | sort | zip -q -X -D "$root/dist/$release_name.zip" -@)
done

(cd dist && sha256sum -- *-setup.exe *.zip >SHA256SUMS)
tools/write-manifests.sh dist "$version" "${CHIMEWATCH_RELEASE_URL:-https://github.com/chimewatch/chimewatch/releases/download/v$version}"

echo
echo "Made in dist/ (version $version, $([ -n "$sign" ] && echo signed || echo unsigned), $((SECONDS - started)) s):"
for file in dist/* dist/*/*; do
  [ -f "$file" ] || continue
  printf '%10d bytes  %s\n' "$(stat -c %s "$file")" "${file#dist/}"
done
