#!/usr/bin/env bash
# Prints the Wine loader for a bitness (32 or 64), or fails when this machine cannot run it.
# Debian's `wine` starts the 32-bit loader; the 64-bit loader is not on PATH.
set -euo pipefail
case ${1:-} in
  32) loader=/usr/lib/wine/wine ;;
  64) loader=/usr/lib/wine/wine64 ;;
  *) echo "usage: wine-loader.sh 32|64" >&2; exit 2 ;;
esac
[[ -x $loader ]] || { echo "wine-loader: $loader is missing (packages wine32:i386, wine64)" >&2; exit 1; }
echo "$loader"
