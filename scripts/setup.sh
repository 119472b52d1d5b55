#!/usr/bin/env bash
# Installs the Debian packages a build needs, skipping what is already there.
# Usage: scripts/setup.sh GROUP...   (groups: engine)
set -euo pipefail

declare -A GROUP_PACKAGES=(
  [engine]="g++ cmake ninja-build make pkg-config libgtest-dev libgmock-dev libcli11-dev clang libclang-rt-14-dev valgrind"
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

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
