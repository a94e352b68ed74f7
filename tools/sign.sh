#!/usr/bin/env bash
# Signs a Windows program in place (Authenticode, SHA-256, osslsigncode):
#   sign.sh FILE        signs FILE; exits non-zero when it could not
#   sign.sh --check     checks the certificate, key and password; signs nothing
# tools/release.sh calls it for every program it ships, and makensis for the
# uninstaller and the installer. What to sign with comes from:
#   CHIMEWATCH_SIGN_CERT           the certificate (PEM, the chain may follow it)
#   CHIMEWATCH_SIGN_KEY            its private key (PEM)
#                                  or both naming one PKCS#12 file (.p12, .pfx)
#   CHIMEWATCH_SIGN_PASS           the password of the key or PKCS#12 file, if any
#   CHIMEWATCH_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamp server (optional)
set -euo pipefail

cert=${CHIMEWATCH_SIGN_CERT:-}
key=${CHIMEWATCH_SIGN_KEY:-}
export CHIMEWATCH_SIGN_PASS=${CHIMEWATCH_SIGN_PASS:-}
stop() { echo "Signing: $*" >&2; exit 1; }

[ -n "$cert" ] && [ -n "$key" ] ||
  stop "set both CHIMEWATCH_SIGN_CERT and CHIMEWATCH_SIGN_KEY (they are '$cert' and '$key')"
for file in "$cert" "$key"; do
  [ -f "$file" ] && [ -r "$file" ] || stop "cannot read $file"
done
is_pem() { grep -q -- '-----BEGIN' "$1"; }

if is_pem "$key"; then
  is_pem "$cert" || stop "the key $key is PEM, so the certificate $cert must be PEM too"
  signer=(-certs "$cert" -key "$key")
else
  [ "$cert" -ef "$key" ] ||
    stop "the key $key is not PEM, so it must be a PKCS#12 file that CHIMEWATCH_SIGN_CERT names too"
  signer=(-pkcs12 "$key")
fi

if [ "${1:-}" = --check ]; then
  # The same questions osslsigncode will ask, answered before anything is
  # built: a readable certificate, a key that opens with the password, and
  # the two belonging together.
  if [ "${signer[0]}" = -pkcs12 ]; then
    # Files exported by older Windows use ciphers OpenSSL 3 keeps apart.
    pkcs12() {
      openssl pkcs12 -in "$key" -passin env:CHIMEWATCH_SIGN_PASS "$@" 2>/dev/null ||
        openssl pkcs12 -legacy -in "$key" -passin env:CHIMEWATCH_SIGN_PASS "$@" 2>/dev/null
    }
    certificate=$(pkcs12 -nokeys -clcerts) ||
      stop "cannot open the PKCS#12 file $key: wrong CHIMEWATCH_SIGN_PASS, or not a PKCS#12 file"
    private=$(pkcs12 -nocerts -nodes) || stop "cannot open the PKCS#12 file $key: wrong CHIMEWATCH_SIGN_PASS"
  else
    certificate=$(openssl x509 -in "$cert" 2>/dev/null) || stop "$cert holds no PEM certificate"
    private=$(openssl pkey -in "$key" -passin env:CHIMEWATCH_SIGN_PASS 2>/dev/null) ||
      stop "cannot read the private key $key: wrong or missing CHIMEWATCH_SIGN_PASS, or not a key"
  fi
  [ -n "$private" ] || stop "$key holds no private key"
  [ "$(openssl x509 -noout -pubkey <<<"$certificate")" = "$(openssl pkey -pubout <<<"$private")" ] ||
    stop "the key $key does not belong to the certificate $cert"
  openssl x509 -noout -checkend 0 <<<"$certificate" >/dev/null || stop "the certificate $cert has expired"
  exit 0
fi

file=${1:?usage: sign.sh FILE | --check}
[ -f "$file" ] || stop "no file $file"
options=(sign -h sha256 -n Chimewatch "${signer[@]}")
[ -n "$CHIMEWATCH_SIGN_PASS" ] && options+=(-readpass /dev/stdin)
[ -n "${CHIMEWATCH_SIGN_TIMESTAMP_URL:-}" ] && options+=(-ts "$CHIMEWATCH_SIGN_TIMESTAMP_URL")
rm -f "$file.signed"
# The password goes through a pipe, not the command line, which others see.
if ! printf '%s' "$CHIMEWATCH_SIGN_PASS" | osslsigncode "${options[@]}" -in "$file" -out "$file.signed" \
  >"$file.sign.log" 2>&1; then
  cat "$file.sign.log" >&2
  rm -f "$file.signed" "$file.sign.log"
  stop "osslsigncode could not sign $file"
fi
rm -f "$file.sign.log"
mv -f "$file.signed" "$file"
echo "Signed $file"
