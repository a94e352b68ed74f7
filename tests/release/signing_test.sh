#!/usr/bin/env bash
# A signed release, with a throw-away CA and certificates made in WORK (never
# committed), and no network:   signing_test.sh TREE WORK   (TREE: a copy of
# the repository to release)
#  - each wrong signing setting stops tools/release.sh at once, with a message;
#  - with a PKCS#12 file, each installer, the uninstaller inside it and the
#    program in each zip verify against the CA, and SHA256SUMS is over them;
#  - PEM files sign a program too, time-stamped (RFC 3161) by a server of the
#    test's own (Node.js answering with `openssl ts -reply`) when
#    CHIMEWATCH_SIGN_TIMESTAMP_URL is set.
# Exits non-zero on a failure.
set -uo pipefail
# Only what each case gives: not a maintainer's own certificate.
unset CHIMEWATCH_SIGN_CERT CHIMEWATCH_SIGN_KEY CHIMEWATCH_SIGN_PASS CHIMEWATCH_SIGN_TIMESTAMP_URL
tree=$1
work=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
quiet() { "$@" >>openssl.log 2>&1 || { cat openssl.log; exit 1; }; }
quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Chimewatch Test CA" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign"
quiet openssl req -newkey rsa:2048 -keyout signer.key -passout pass:pem-secret -out signer.csr \
  -subj "/CN=Chimewatch Test Signer"
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
quiet openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext -out signer.pem
quiet openssl pkcs12 -export -inkey signer.key -passin pass:pem-secret -in signer.pem -certfile ca.pem \
  -out signer.p12 -passout pass:p12-secret
quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout other.key -out other.pem -days 2 -subj "/CN=Someone Else"

verify() {  # FILE WHAT
  if osslsigncode verify -CAfile "$work/ca.pem" -in "$1" >"$1.verify" 2>&1 &&
    grep -q '^Signature verification: ok' "$1.verify"; then
    echo "   $2: $(grep -m1 -E '^\s+Subject:' "$1.verify" | xargs), $(grep -E '^Signature verification|^Number of verified' "$1.verify" | tr '\n' ' ')"
  else
    fail "$2 does not verify: $(tail -3 "$1.verify" | tr '\n' ' ')"
  fi
}

# What must stop the release before it builds anything.
refused() {  # MESSAGE, with the environment given by env
  local message=$1; shift
  local log=$work/refused.log
  if env "$@" "$tree/tools/release.sh" >"$log" 2>&1; then
    fail "the release went on with $*"
  elif ! grep -qF "$message" "$log" || grep -q '^Made in' "$log"; then
    fail "with $*, the release did not stop with \"$message\": $(cat "$log")"
  else
    echo "   refused ($message)"
  fi
}
p12=$work/signer.p12
refused "wrong CHIMEWATCH_SIGN_PASS" CHIMEWATCH_SIGN_CERT="$p12" CHIMEWATCH_SIGN_KEY="$p12" CHIMEWATCH_SIGN_PASS=guess
refused "does not belong to the certificate" CHIMEWATCH_SIGN_CERT="$work/other.pem" \
  CHIMEWATCH_SIGN_KEY="$work/signer.key" CHIMEWATCH_SIGN_PASS=pem-secret
refused "set both CHIMEWATCH_SIGN_CERT and CHIMEWATCH_SIGN_KEY" CHIMEWATCH_SIGN_CERT="$work/signer.pem"
refused "set both CHIMEWATCH_SIGN_CERT and CHIMEWATCH_SIGN_KEY" CHIMEWATCH_SIGN_TIMESTAMP_URL=http://127.0.0.1:9
refused "cannot read $work/missing.pem" CHIMEWATCH_SIGN_CERT="$work/missing.pem" CHIMEWATCH_SIGN_KEY="$work/signer.key"

echo "   release signed with a PKCS#12 file"
CHIMEWATCH_SIGN_CERT=$p12 CHIMEWATCH_SIGN_KEY=$p12 CHIMEWATCH_SIGN_PASS=p12-secret "$tree/tools/release.sh" \
  >signed.log 2>&1 || { cat signed.log; fail "the signed release failed"; exit 1; }
grep -q '^Made in dist/ (version .*, signed,' signed.log || fail "the release does not say it is signed"
dist=$tree/dist
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS is not over the signed files"
for setup in "$dist"/*-setup.exe; do
  name=$(basename "$setup" -setup.exe)
  verify "$setup" "$name-setup.exe"
  rm -rf "unpacked-$name" && mkdir "unpacked-$name"
  7z e -o"unpacked-$name" "$setup" Uninstall.exe >/dev/null 2>&1 || fail "no Uninstall.exe in $setup"
  verify "unpacked-$name/Uninstall.exe" "the uninstaller in $name-setup.exe"
  unzip -p "$dist/$name.zip" Chimewatch/chimewatch.exe >"$name-chimewatch.exe"
  verify "$name-chimewatch.exe" "chimewatch.exe in $name.zip"
done

echo "   a program signed with a PEM certificate and key"
osslsigncode remove-signature -in "$name-chimewatch.exe" -out pem.exe >/dev/null 2>&1
osslsigncode verify -CAfile ca.pem -in pem.exe >/dev/null 2>&1 && fail "the signature was not removed"
CHIMEWATCH_SIGN_CERT=signer.pem CHIMEWATCH_SIGN_KEY=signer.key CHIMEWATCH_SIGN_PASS=pem-secret \
  "$tree/tools/sign.sh" pem.exe >/dev/null || fail "tools/sign.sh with a PEM key"
verify pem.exe "chimewatch.exe signed with PEM files"
grep -q '^Timestamp is not available' pem.exe.verify || fail "a time stamp without CHIMEWATCH_SIGN_TIMESTAMP_URL"

echo "   a program signed and time-stamped"
quiet openssl req -newkey rsa:2048 -nodes -keyout tsa.key -out tsa.csr -subj "/CN=Chimewatch Test Time Stamps"
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=critical,timeStamping\n' >tsa.ext
quiet openssl x509 -req -in tsa.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile tsa.ext -out tsa.pem
cat >tsa.cnf <<CONFIG
[ tsa ]
default_tsa = here
[ here ]
serial = $work/tsa.serial
signer_cert = $work/tsa.pem
signer_key = $work/tsa.key
signer_digest = sha256
default_policy = 1.3.6.1.4.1.99999.1
digests = sha1, sha256, sha384, sha512
ess_cert_id_alg = sha256
CONFIG
# Answers each time-stamp query posted to it with `openssl ts -reply`.
node - "$work" >tsa.log 2>&1 <<'SERVER' &
const fs = require('fs');
const http = require('http');
const {execFileSync} = require('child_process');
const dir = process.argv[2];
const server = http.createServer((request, response) => {
  const body = [];
  request.on('data', (chunk) => body.push(chunk));
  request.on('end', () => {
    fs.writeFileSync(`${dir}/query.tsq`, Buffer.concat(body));
    try {
      execFileSync('openssl', ['ts', '-reply', '-config', `${dir}/tsa.cnf`, '-queryfile', `${dir}/query.tsq`,
                               '-out', `${dir}/reply.tsr`]);
      response.writeHead(200, {'Content-Type': 'application/timestamp-reply'});
      response.end(fs.readFileSync(`${dir}/reply.tsr`));
    } catch (error) {
      console.error(String(error));
      response.writeHead(500);
      response.end();
    }
  });
});
server.listen(0, '127.0.0.1', () => fs.writeFileSync(`${dir}/tsa.port`, String(server.address().port)));
SERVER
tsa_pid=$!
for _ in $(seq 50); do [ -s tsa.port ] && break; sleep 0.1; done
osslsigncode remove-signature -in "$name-chimewatch.exe" -out stamped.exe >/dev/null 2>&1
no_proxy=127.0.0.1 CHIMEWATCH_SIGN_CERT=signer.pem CHIMEWATCH_SIGN_KEY=signer.key CHIMEWATCH_SIGN_PASS=pem-secret \
  CHIMEWATCH_SIGN_TIMESTAMP_URL="http://127.0.0.1:$(cat tsa.port)" "$tree/tools/sign.sh" stamped.exe >/dev/null ||
  fail "tools/sign.sh with a time-stamp server: $(cat tsa.log)"
kill "$tsa_pid" 2>/dev/null
verify stamped.exe "chimewatch.exe signed and time-stamped"
osslsigncode verify -CAfile ca.pem -TSA-CAfile ca.pem -in stamped.exe >stamped.tsa 2>&1
if grep -q '^Timestamp Server Signature verification: ok' stamped.tsa; then
  echo "   $(grep -m1 'Timestamp time:' stamped.tsa | xargs), Timestamp Server Signature verification: ok"
else
  fail "the signature holds no time stamp of the test's server: $(grep -i timestamp stamped.tsa | tr '\n' ' ')"
fi

exit $((failures > 0))
