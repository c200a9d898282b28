#!/usr/bin/env bash
# Signs Windows programs in place (Authenticode, SHA-256) with osslsigncode when a certificate is
# given, and leaves them unsigned otherwise. The certificate, from the environment:
#   DERADU_SIGN_CERT and DERADU_SIGN_KEY   PEM files: the certificate (and its chain), its key;
#   DERADU_SIGN_PKCS12                     or a PKCS#12 file, its password in DERADU_SIGN_PASSWORD;
#   DERADU_SIGN_TIMESTAMP                  an RFC 3161 time-stamp server's address (optional).
# The signing time is the commit's (SOURCE_DATE_EPOCH), so without a time-stamp server the same
# commit and certificate give the same signed bytes.
# Usage: packaging/windows/sign.sh DESCRIPTION URL FILE...
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 DESCRIPTION URL FILE..." >&2; exit 2; }
description=$1 url=$2
shift 2

if [ -n "${DERADU_SIGN_PKCS12:-}" ]; then
  key=(-pkcs12 "$DERADU_SIGN_PKCS12")
  # The password through a pipe, not the command line, which every account can read.
  [ -z "${DERADU_SIGN_PASSWORD:-}" ] || key+=(-readpass /dev/stdin)
elif [ -n "${DERADU_SIGN_CERT:-}${DERADU_SIGN_KEY:-}" ]; then
  if [ -z "${DERADU_SIGN_CERT:-}" ] || [ -z "${DERADU_SIGN_KEY:-}" ]; then
    echo "$0: DERADU_SIGN_CERT and DERADU_SIGN_KEY go together" >&2
    exit 2
  fi
  key=(-certs "$DERADU_SIGN_CERT" -key "$DERADU_SIGN_KEY")
else
  exit 0
fi
options=(-h sha256 -n "$description" -i "$url")
[ -z "${SOURCE_DATE_EPOCH:-}" ] || options+=(-time "$SOURCE_DATE_EPOCH")
[ -z "${DERADU_SIGN_TIMESTAMP:-}" ] || options+=(-ts "$DERADU_SIGN_TIMESTAMP")

for file in "$@"; do
  rm -f "$file.signed"
  printf %s "${DERADU_SIGN_PASSWORD:-}" |
    osslsigncode sign "${key[@]}" "${options[@]}" -in "$file" -out "$file.signed" >/dev/null
  mv "$file.signed" "$file"
done
