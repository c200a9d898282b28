#!/usr/bin/env bash
# Builds the installer from a staged payload (deradu.exe, already signed or not, and the texts)
# and signs the uninstaller it writes and itself, as packaging/windows/sign.sh does: when its
# environment names a certificate. SOURCE_DATE_EPOCH, when set, is the signing time.
# Usage: packaging/windows/installer.sh RELEASE_ENV PAYLOAD_FOLDER OUTFILE
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 RELEASE_ENV PAYLOAD_FOLDER OUTFILE" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=/dev/null
source "$1"
# makensis reads and writes relative to the script's folder.
payload=$(realpath "$2") outfile=$(realpath -m "$3")
sign=("$here/sign.sh" "$product_name Setup" "$homepage")
sign_define=()
if [ -n "${DERADU_SIGN_PKCS12:-}${DERADU_SIGN_CERT:-}${DERADU_SIGN_KEY:-}" ]; then
  sign_define=("-DSIGN=$here/sign.sh")
fi
makensis -V2 -INPUTCHARSET UTF8 \
  "-DVERSION=$version" "-DPRODUCT_NAME=$product_name" "-DPUBLISHER=$publisher" \
  "-DAPP_ID=$app_id" "-DHOMEPAGE=$homepage" "-DPAYLOAD=$payload" "-DICON=$root/res/deradu-setup.ico" \
  "-DPAGE_BITMAP=$root/res/installer-page.bmp" "-DOUTFILE=$outfile" "${sign_define[@]}" \
  "$here/installer.nsi" >/dev/null
"${sign[@]}" "$outfile"
