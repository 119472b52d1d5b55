#!/usr/bin/env bash
# Builds the installer of QzCommonDialog with wixl from both cross builds' DLLs.
# Usage: scripts/control-msi.sh BUILD_ROOT OUTPUT.msi [VERSION]
#   BUILD_ROOT holds control-x86_64 and control-i686; VERSION defaults to the control's own.
set -euo pipefail
root=$(realpath "$1")
out=$2
source_dir=$(realpath "$(dirname "$0")/../control")
version=${3:-$(sed -n 's/^project(QzCommonDialog VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")}
for arch in x86_64 i686; do
  for dll in Qzdialog32.ocx VELDRAN.DLL; do
    [[ -f $root/control-$arch/bin/$dll ]] || { echo "control-msi: $root/control-$arch/bin/$dll is not built" >&2; exit 1; }
  done
done
mkdir -p "$(dirname "$out")"
# wixl takes file sources relative to the descriptor's folder only, and writes its output in place:
# a failed run must not leave half an installer under the real name.
wixl --arch x64 -I "$source_dir/installer" -D "Version=$version" \
  -D "BuildRoot=$(realpath --relative-to="$source_dir/installer" "$root")" \
  -o "$out.tmp" "$source_dir/installer/QzCommonDialog.wxs"
mv "$out.tmp" "$out"
