#!/usr/bin/env bash
# Installs what building and testing Chimewatch needs on Debian 12, when it
# is missing: the native and MinGW-w64 compilers, GoogleTest, clang for the
# fuzz target, Wine (32- and 64-bit), Xvfb, ImageMagick, and for the release
# NSIS, zip and 7-Zip (which lists what an installer holds), osslsigncode and
# openssl (signing), npm, the Python iCalendar libraries that check the
# calendar export, python3-dateutil, which works out repeat rules for the
# native tests, procps, whose pgrep the two-PC test waits with, and locales,
# for the German locale from which Wine takes Windows' display language.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
          wine wine32:i386 wine64 xvfb imagemagick nsis zip unzip p7zip-full
          osslsigncode openssl python3-icalendar python3-recurring-ical-events
          python3-dateutil procps locales)
# npm fetches the schema validator the release test uses; a Node.js from
# elsewhere that brings its own npm is left alone.
command -v npm >/dev/null || packages+=(nodejs npm)

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
locale -a 2>/dev/null | grep -qx 'de_DE.utf8' || $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
