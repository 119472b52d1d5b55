#!/usr/bin/env bash
# Installs the Debian packages a build needs, skipping what is already there.
# Usage: scripts/setup.sh GROUP...   (groups: engine, app, control, package)
set -euo pipefail

declare -A GROUP_PACKAGES=(
  [engine]="g++ cmake ninja-build make pkg-config libgtest-dev libgmock-dev libcli11-dev libxxhash-dev clang libclang-rt-14-dev valgrind"
  [app]="qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core"
  # The control: mingw-w64 cross compilers and widl, GoogleTest sources for the cross build, Wine of
  # both bitnesses (wine32 comes from the i386 architecture; libwine has stdole2.tlb) and Xvfb; clang,
  # lld and llvm build the test module of the platform compiler's ABI; the print server with its PDF
  # printer, which Wine of each bitness reaches through its own CUPS library, for the print dialog's
  # tests.
  [control]="cmake ninja-build make python3 mingw-w64 mingw-w64-tools googletest wine wine64 wine32:i386 libwine xvfb clang lld llvm cups printer-driver-cups-pdf libcups2:i386"
  # The packages users install: dpkg-shlibdeps for the .deb's dependencies, help2man for the manual
  # page, wixl for the control's installer.
  [package]="dpkg-dev help2man wixl"
)

missing=()
for group in "$@"; do
  packages=${GROUP_PACKAGES[$group]:-}
  if [[ -z $packages ]]; then
    echo "setup: unknown package group '$group'" >&2
    exit 2
  fi
  for pkg in $packages; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
done

if (( ${#missing[@]} == 0 )); then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi

# Packages of a foreign architecture (name:arch) need that architecture enabled before apt-get update.
for pkg in "${missing[@]}"; do
  if [[ $pkg == *:* ]]; then
    arch=${pkg##*:}
    if [[ $arch != "$(dpkg --print-architecture)" ]] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
      echo "setup: enabling the $arch architecture"
      dpkg --add-architecture "$arch"
    fi
  fi
done

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
