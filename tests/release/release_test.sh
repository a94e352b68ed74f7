#!/usr/bin/env bash
# The release, end to end:
#  - tools/release.sh in two copies of the tree, at different paths and in
#    different time zones, gives the same SHA256SUMS and manifests;
#  - each zip holds exactly its four files (chimewatch.ini makes it
#    portable), the installers hold the same program as the zips and no
#    chimewatch.ini (listed with 7-Zip);
#  - both programs are hardened (hardening_test.sh);
#  - the winget and Scoop manifests pass their official schemas and name the
#    files' hashes (manifests_test.sh);
#  - signed with a throw-away certificate, every program of the release
#    verifies, and a wrong key or password stops the release (signing_test.sh);
#  - the installer and uninstaller of each architecture this machine runs
#    (CHIMEWATCH_WINE_ARCHS, else tools/wine-arch.sh asks), run by
#    installer_tests under Wine in a fresh prefix of their own.
# Needs DISPLAY (tools/test.sh starts Xvfb). Exits non-zero on a failure.
set -euo pipefail
cd "$(dirname "$0")/../.."
# The releases compared are unsigned, whatever the caller's environment holds.
unset CHIMEWATCH_SIGN_CERT CHIMEWATCH_SIGN_KEY CHIMEWATCH_SIGN_PASS CHIMEWATCH_SIGN_TIMESTAMP_URL
root=$PWD
work=$root/build/release-test
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The tree as it is, uncommitted changes included, with its git data.
copy_tree() {
  mkdir -p "$1"
  git ls-files -z --cached --others --exclude-standard |
    tar --null -T - --ignore-failed-read -c 2>/dev/null | tar -x -C "$1"
  cp -a .git "$1/"
}

rm -rf "$work"
copy_tree "$work/first"
copy_tree "$work/second/at/another/depth"
first=$work/first
second=$work/second/at/another/depth
release_in() {  # TREE TZ
  echo "== tools/release.sh in $1 (TZ=$2)"
  TZ=$2 "$1/tools/release.sh" >"$1.log" 2>&1 || { cat "$1.log"; exit 1; }
}
release_in "$first" XST-11
sed -n '/^Made in/,$p' "$first.log"
grep -q '^Made in dist/ (version .*, unsigned,' "$first.log" || fail "the release without a certificate does not say unsigned"
release_in "$second" YST+7
cmp -s "$first/dist/SHA256SUMS" "$second/dist/SHA256SUMS" ||
  fail "SHA256SUMS differ: $(diff "$first/dist/SHA256SUMS" "$second/dist/SHA256SUMS")"
(cd "$first/dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match dist/"
diff -r "$first/dist/winget" "$second/dist/winget" && diff -r "$first/dist/scoop" "$second/dist/scoop" ||
  fail "the manifests differ between the two releases"

dist=$first/dist
source "$first/build/release-x86_64/installer/release.env"  # version
expected="Chimewatch/LICENSE.txt
Chimewatch/README.txt
Chimewatch/chimewatch.exe
Chimewatch/chimewatch.ini
Chimewatch/languages/de.dll
Chimewatch/languages/es.dll
Chimewatch/languages/fr.dll
Chimewatch/languages/it.dll
Chimewatch/languages/ja.dll
Chimewatch/languages/nl.dll
Chimewatch/languages/pl.dll
Chimewatch/languages/pt-BR.dll
Chimewatch/languages/ru.dll
Chimewatch/languages/zh-CN.dll"
for platform in win64:x86_64:pei-x86-64 win32:i686:pei-i386; do
  IFS=: read -r platform arch format <<<"$platform"
  zip=$dist/chimewatch-$version-$platform.zip
  setup=$dist/chimewatch-$version-$platform-setup.exe
  echo "== $(basename "$zip"):"
  unzip -Z1 "$zip" | sed 's/^/   /'
  [ "$(unzip -Z1 "$zip")" = "$expected" ] || fail "$zip does not hold exactly these files"
  unzip -p "$zip" Chimewatch/README.txt | grep -qv $'\r$' && fail "README.txt in $zip has lines without CR LF"
  unzip -p "$zip" Chimewatch/chimewatch.exe >"$work/$platform.exe"
  "$arch-w64-mingw32-objdump" -f "$work/$platform.exe" | grep -q "file format $format" ||
    fail "the program in $zip is not $format"
  echo "== $(basename "$setup"):"
  7z l -ba "$setup" | awk '{print "   " $NF}'
  7z l -ba "$setup" | grep -qi 'chimewatch\.ini' && fail "$(basename "$setup") ships chimewatch.ini"
  for file in chimewatch.exe README.txt LICENSE.txt languages/de.dll languages/zh-CN.dll; do
    cmp -s <(7z e -so "$setup" "$file" 2>/dev/null) <(unzip -p "$zip" "Chimewatch/$file") ||
      fail "$file in $(basename "$setup") is not the one in the zip"
  done
done

echo "== Hardening, read from the programs in the zips"
tests/release/hardening_test.sh i686="$work/win32.exe" x86_64="$work/win64.exe" || fail "hardening"

echo "== The winget and Scoop manifests"
tests/release/manifests_test.sh "$dist" || fail "manifests"

# The second tree's release has served; it is made again, signed.
echo "== Signing"
tests/release/signing_test.sh "$second" "$work/signing" || fail "signing"

archs=${CHIMEWATCH_WINE_ARCHS:-$(tools/wine-arch.sh)}
for arch in $archs; do
  platform=$([ "$arch" = x86_64 ] && echo win64 || echo win32)
  echo "== The $platform installer under Wine ($arch), in a fresh prefix"
  tools/build-windows.sh "$arch" >"$work/build-$arch.log" 2>&1 || { cat "$work/build-$arch.log"; exit 1; }
  export CHIMEWATCH_WINEPREFIX=$work/wineprefix-$arch
  mkdir -p "$work/screenshots-$arch"
  tools/wine-run.sh "$arch" "build/windows-$arch/tests/windows/installer_tests.exe" \
    "$dist/chimewatch-$version-$platform-setup.exe" "$version" "$work/screenshots-$arch" || fail "installer_tests ($arch)"
  WINEPREFIX=$CHIMEWATCH_WINEPREFIX wineserver -k 2>/dev/null || true
done

[ "$failures" -eq 0 ] && echo "Release tests passed ($archs); screenshots of the pages in $work/screenshots-*"
exit $((failures > 0))
