#!/bin/bash
# Checks the code-signing certificate before the build signs anything with
# it: the PKCS#12 file is there and readable with the password, holds a key
# and its certificate, that certificate is in date and is for code signing.
# A failure names its cause on standard error and exits 1.
#   check_certificate.sh PFX PASSWORD_FILE [STAMP]
# STAMP, when given, is written with the PFX's fingerprint if that changed.
set -u
pfx=$1
password=$2
stamp=${3:-}
fail() {
  echo "SIGN_PFX $pfx: $*" >&2
  exit 1
}
[ -e "$pfx" ] || fail "no such file"
[ -f "$pfx" ] && [ -r "$pfx" ] || fail "not a file this build may read"
if [ ! -f "$password" ] || [ ! -r "$password" ]; then
  echo "SIGN_PASSWORD_FILE $password: no such file, or not one this build may read" >&2
  exit 1
fi
# pkcs12 FLAGS...: the PFX's contents; files of older tools need OpenSSL's
# legacy algorithms.
pkcs12() {
  openssl pkcs12 -in "$pfx" -passin "file:$password" "$@" 2>/dev/null ||
    openssl pkcs12 -legacy -in "$pfx" -passin "file:$password" "$@" 2>/dev/null
}
certificate=$(pkcs12 -nokeys -clcerts) ||
  fail "cannot be read with the password in SIGN_PASSWORD_FILE (a wrong password, or not a PKCS#12 file)"
[[ $(pkcs12 -nocerts -nodes) == *"PRIVATE KEY-----"* ]] || fail "holds no private key"
[[ $certificate == *"BEGIN CERTIFICATE"* ]] || fail "holds no certificate of its key"
x509() { openssl x509 -noout "$@" <<<"$certificate" 2>/dev/null; }
subject=$(x509 -subject)
its="its certificate (${subject#subject=})"
now=$(date -u +%s)
from=$(x509 -startdate)
until=$(x509 -enddate)
[ "$(date -u -d "${from#notBefore=}" +%s)" -le "$now" ] || fail "$its is not valid before ${from#notBefore=}"
[ "$(date -u -d "${until#notAfter=}" +%s)" -gt "$now" ] || fail "$its expired on ${until#notAfter=}"
[[ $(x509 -ext extendedKeyUsage) == *"Code Signing"* ]] ||
  fail "$its is not for code signing: its extended key usage names no Code Signing"
usage=$(x509 -ext keyUsage)
[ -z "$usage" ] || [[ $usage == *"Digital Signature"* ]] ||
  fail "$its may not sign: its key usage names no Digital Signature"
if [ -n "$stamp" ]; then
  fingerprint=$(sha256sum <"$pfx")
  [ "$(cat "$stamp" 2>/dev/null)" = "$fingerprint" ] || echo "$fingerprint" >"$stamp"
fi
exit 0
