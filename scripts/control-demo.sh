#!/usr/bin/env bash
# Shows the control working: registers each built bitness with regsvr32 under Wine, runs the
# bundled example script with cscript of the same bitness, and unregisters again.
# Usage: scripts/control-demo.sh BUILD_ROOT   (holding control-i686 and control-x86_64)
set -euo pipefail
root=$(realpath "$1")
scripts=$(dirname "$(realpath "$0")")
example=$(realpath "$scripts/../control/examples/qzdialog-demo.vbs")
win_path() { local p; p=$(realpath "$1"); printf 'Z:%s' "${p//\//\\}"; }

source "$scripts/wine-session.sh"
wine_session_start "$root/control-x86_64"

for arch in x86_64 i686; do
  if [[ $arch == x86_64 ]]; then bits=64; else bits=32; fi
  ocx=$root/control-$arch/bin/Qzdialog32.ocx
  if [[ $bits == 32 ]] && ! "$scripts/wine-can-run-32.sh"; then
    echo "== $arch: skipped, this kernel cannot run 32-bit programs (IA-32 emulation is off)"
    continue
  fi
  loader=$("$scripts/wine-loader.sh" "$bits")
  echo "== $arch: regsvr32 $(basename "$ocx")"
  "$loader" regsvr32 /s "$(win_path "$ocx")"
  echo "== $arch: cscript $(basename "$example")"
  "$loader" cscript //nologo "$(win_path "$example")" | tr -d '\r'
  "$loader" regsvr32 /s /u "$(win_path "$ocx")"
done
