#!/usr/bin/env bash
# Writes the package managers' manifests of a release made in DIST:
#   write-manifests.sh DIST VERSION URL
# URL is the folder the release files are downloaded from;
# CHIMEWATCH_HOMEPAGE the project's page (default below).
#   DIST/winget/   the winget multi-file manifest (schema 1.12.0): version,
#                  installer (both installers) and default locale
#   DIST/scoop/chimewatch.json   the Scoop manifest (both zips)
# The hashes are those of the files in DIST, as shipped.
set -euo pipefail
dist=$1
version=$2
url=${3%/}
case $url in
  *[[:space:]\"\\]*) echo "The release URL holds a space, quote or backslash: '$url'" >&2; exit 1 ;;
  http://* | https://*) ;;
  *) echo "The release URL must start with https:// (or http://): '$url'" >&2; exit 1 ;;
esac

id=Chimewatch.Chimewatch
manifest_version=1.12.0
description="A small reminder that lives in the Windows notification area."
homepage=${CHIMEWATCH_HOMEPAGE:-https://github.com/chimewatch/chimewatch}
hash() { sha256sum "$dist/$1" | cut -d' ' -f1; }
setup32=chimewatch-$version-win32-setup.exe
setup64=chimewatch-$version-win64-setup.exe
zip32=chimewatch-$version-win32.zip
zip64=chimewatch-$version-win64.zip
for file in "$setup32" "$setup64" "$zip32" "$zip64"; do
  [ -f "$dist/$file" ] || { echo "No $dist/$file to describe" >&2; exit 1; }
done

rm -rf "$dist/winget" "$dist/scoop"
mkdir -p "$dist/winget" "$dist/scoop"
header() { echo "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.$1.$manifest_version.schema.json"; echo; }

{
  header version
  cat <<EOF
PackageIdentifier: $id
PackageVersion: $version
DefaultLocale: en-US
ManifestType: version
ManifestVersion: $manifest_version
EOF
} >"$dist/winget/$id.yaml"

# ProductCode is the installer's key under Uninstall, which lets winget find
# an installed Chimewatch. Hashes and the date are quoted: YAML would read an
# all-digit hash as a number, and the date as a date, not the text the schema
# asks for.
{
  header installer
  cat <<EOF
PackageIdentifier: $id
PackageVersion: $version
InstallerType: nullsoft
Scope: user
InstallModes:
  - interactive
  - silent
UpgradeBehavior: install
ProductCode: Chimewatch
ReleaseDate: "$(date -u -d "@${SOURCE_DATE_EPOCH:-$(date +%s)}" +%F)"
Installers:
  - Architecture: x86
    InstallerUrl: $url/$setup32
    InstallerSha256: "$(hash "$setup32" | tr a-f A-F)"
  - Architecture: x64
    InstallerUrl: $url/$setup64
    InstallerSha256: "$(hash "$setup64" | tr a-f A-F)"
ManifestType: installer
ManifestVersion: $manifest_version
EOF
} >"$dist/winget/$id.installer.yaml"

{
  header defaultLocale
  cat <<EOF
PackageIdentifier: $id
PackageVersion: $version
PackageLocale: en-US
Publisher: the Chimewatch authors
PackageName: Chimewatch
PackageUrl: $homepage
License: MIT
ShortDescription: $description
Tags:
  - reminder
  - alarm
  - tray
ManifestType: defaultLocale
ManifestVersion: $manifest_version
EOF
} >"$dist/winget/$id.locale.en-US.yaml"

# The zip is portable: its alerts live in chimewatch.ini beside the
# program, which persists across Scoop's updates.
cat >"$dist/scoop/chimewatch.json" <<EOF
{
  "version": "$version",
  "description": "$description",
  "homepage": "$homepage",
  "license": "MIT",
  "architecture": {
    "64bit": {
      "url": "$url/$zip64",
      "hash": "$(hash "$zip64")"
    },
    "32bit": {
      "url": "$url/$zip32",
      "hash": "$(hash "$zip32")"
    }
  },
  "extract_dir": "Chimewatch",
  "bin": "chimewatch.exe",
  "persist": "chimewatch.ini",
  "shortcuts": [
    [
      "chimewatch.exe",
      "Chimewatch"
    ]
  ]
}
EOF
