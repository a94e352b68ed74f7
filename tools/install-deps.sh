#!/usr/bin/env bash
# Installs what building and testing Chimewatch needs on Debian 12, when it
# is missing: the native and MinGW-w64 compilers, GoogleTest, clang for the
# fuzz target, Wine (32- and 64-bit), Xvfb, ImageMagick, and for the release
# NSIS, zip and 7-Zip (which lists what an installer holds), osslsigncode and
# openssl (signing), npm, the Python iCalendar libraries that check the
# calendar export, python3-dateutil, which works out repeat rules for the
# native tests, procps, whose pgrep the two-PC test waits with, and locales,
# for the German locale from which Wine takes Windows' display language, and
# Radicale, the CalDAV server the followed-calendar tests run on 127.0.0.1.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
          wine wine32:i386 wine64 xvfb imagemagick nsis zip unzip p7zip-full
          osslsigncode openssl python3-icalendar python3-recurring-ical-events
          python3-dateutil procps locales radicale)
# npm fetches the schema validator the release test uses; a Node.js from
# elsewhere that brings its own npm is left alone.
command -v npm >/dev/null || packages+=(nodejs npm)

# A mirror caught mid-sync makes apt-get update fail for one index while the
# others arrived: try again a few times, then go on with what did arrive and
# say which failed.
update_package_lists() {
  local try log
  log=$(mktemp)
  for try in 1 2 3; do
    if $sudo apt-get update -qq >"$log" 2>&1; then rm -f "$log"; return 0; fi
    [ "$try" -lt 3 ] && sleep $((try * 10))
  done
  echo "apt-get update failed three times; going on with the package lists that arrived. It said:"
  grep -E '^(E|W):' "$log" | grep -v 'have been ignored' | sed 's/^/  /'
  rm -f "$log"
}

# 32-bit Wine is the one package a machine may lack (an index for i386 that
# did not arrive, or no i386 packages at all): without it the tests run the
# 64-bit program, as tools/wine-arch.sh then says.
install_what_can_be() {
  local wanted=("$@") others=()
  local package
  for package in "${wanted[@]}"; do
    [ "$package" = wine32:i386 ] || others+=("$package")
  done
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${others[@]}" >/dev/null
  if [ ${#others[@]} -ne ${#wanted[@]} ] &&
     ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq wine32:i386 >/dev/null 2>&1; then
    echo "32-bit Wine (wine32:i386) could not be installed: the Windows-side tests run the 64-bit program only."
  fi
}

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo dpkg --add-architecture i386
  update_package_lists
  install_what_can_be "${missing[@]}"
fi
locale -a 2>/dev/null | grep -qx 'de_DE.utf8' || $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
