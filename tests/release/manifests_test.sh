#!/usr/bin/env bash
# The package managers' manifests of a release (tools/write-manifests.sh):
#   manifests_test.sh DIST
#  - valid against the official schemas, winget 1.12.0 and Scoop's, read from
#    ../shared/schemas beside the repository (CHIMEWATCH_SCHEMAS elsewhere),
#    with ajv-cli from npm, installed into build/npm;
#  - each names the files of DIST for its architecture, with their hashes,
#    and what winget and Scoop need to know of them.
# Exits non-zero on a failure.
set -uo pipefail
cd "$(dirname "$0")/../.."
dist=$(cd "$1" && pwd)
schemas=${CHIMEWATCH_SCHEMAS:-$PWD/../shared/schemas}
npm_dir=$PWD/build/npm
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if [ ! -x "$npm_dir/node_modules/.bin/ajv" ]; then
  mkdir -p "$npm_dir"
  npm install --prefix "$npm_dir" --no-audit --no-fund --no-save ajv-cli@5.0.0 ajv-formats@3.0.1 >"$npm_dir/install.log" 2>&1 ||
    { cat "$npm_dir/install.log"; echo "FAIL: cannot install ajv-cli from npm"; exit 1; }
fi

winget=$dist/winget/Chimewatch.Chimewatch
scoop=$dist/scoop/chimewatch.json
if [ -d "$schemas/winget/v1.12.0" ] && [ -f "$schemas/scoop/schema.json" ]; then
  # Non-strict: the winget schemas use a format ("long") that ajv does not
  # know, which strict mode rejects.
  validate() {  # SCHEMA DATA
    "$npm_dir/node_modules/.bin/ajv" validate -c ajv-formats --strict=false --errors=text \
      -s "$1" -d "$2" 2>&1 | grep -v '^unknown format "long" ignored' | sed 's/^/   /'
    return "${PIPESTATUS[0]}"
  }
  for pair in version:"$winget.yaml" installer:"$winget.installer.yaml" defaultLocale:"$winget.locale.en-US.yaml"; do
    validate "$schemas/winget/v1.12.0/manifest.${pair%%:*}.1.12.0.json" "${pair#*:}" || fail "${pair#*:} is not valid"
  done
  validate "$schemas/scoop/schema.json" "$scoop" || fail "$scoop is not valid"
else
  echo "SKIPPED: the official schemas are not in $schemas: the manifests are not checked against them."
fi

# One line per file the manifests name: manager, architecture, file, hash,
# then what each manager needs of the package.
described=$(NODE_PATH="$npm_dir/node_modules" node - "$winget" "$scoop" <<'EOF'
const fs = require('fs');
const yaml = require('js-yaml');
const [prefix, scoopFile] = process.argv.slice(2);
const read = (file) => yaml.load(fs.readFileSync(file, 'utf8'));
const version = read(`${prefix}.yaml`);
const installer = read(`${prefix}.installer.yaml`);
const locale = read(`${prefix}.locale.en-US.yaml`);
const scoop = JSON.parse(fs.readFileSync(scoopFile, 'utf8'));
const file = (url) => url.slice(url.lastIndexOf('/') + 1);
for (const i of installer.Installers)
  console.log(`winget ${i.Architecture} ${file(i.InstallerUrl)} ${i.InstallerSha256.toLowerCase()}`);
for (const [arch, a] of Object.entries(scoop.architecture)) console.log(`scoop ${arch} ${file(a.url)} ${a.hash}`);
console.log(`winget-package ${version.PackageVersion} ${installer.PackageVersion} ${locale.PackageVersion}` +
            ` ${installer.InstallerType} ${installer.Scope} ${version.DefaultLocale} ${locale.PackageLocale}`);
console.log(`scoop-package ${scoop.version} ${scoop.extract_dir} ${scoop.bin} ${scoop.persist} ${JSON.stringify(scoop.shortcuts)}`);
EOF
) || { echo "FAIL: cannot read the manifests"; exit 1; }

version=$(sed -n 's/^PackageVersion: //p' "$winget.yaml")
[ "$(grep -c '' <<<"$described")" -eq 6 ] || fail "the manifests name other than two installers and two zips: $described"
for expected in "winget x86 chimewatch-$version-win32-setup.exe" "winget x64 chimewatch-$version-win64-setup.exe" \
  "scoop 32bit chimewatch-$version-win32.zip" "scoop 64bit chimewatch-$version-win64.zip"; do
  read -r manager arch name <<<"$expected"
  line=$(grep "^$manager $arch $name " <<<"$described") || { fail "$manager names no $name for $arch"; continue; }
  if [ ! -f "$dist/$name" ]; then
    fail "$name is not in $dist"
  elif [ "${line##* }" != "$(sha256sum "$dist/$name" | cut -d' ' -f1)" ]; then
    fail "the $manager hash of $name is not the file's"
  fi
done
grep -qxF "winget-package $version $version $version nullsoft user en-US en-US" <<<"$described" ||
  fail "winget: $(grep winget-package <<<"$described")"
grep -qxF "scoop-package $version Chimewatch chimewatch.exe chimewatch.ini [[\"chimewatch.exe\",\"Chimewatch\"]]" <<<"$described" ||
  fail "scoop: $(grep scoop-package <<<"$described")"
[ "$failures" -eq 0 ] && echo "The manifests name the release's four files with their hashes (version $version)."
exit $((failures > 0))
