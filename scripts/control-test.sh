#!/usr/bin/env bash
# Runs the control's CTest suite of one cross build under Wine, in a session of its own
# (Xvfb, the build's prefix, one wineserver; see wine-session.sh), with print queues for the
# print dialog's tests (printer-session.sh).
# Usage: scripts/control-test.sh BUILD_DIR [ctest arguments...]
set -euo pipefail
build=$(realpath "$1")
shift
scripts=$(dirname "$(realpath "$0")")

if grep -q '^CMAKE_TOOLCHAIN_FILE:.*mingw-i686' "$build/CMakeCache.txt" && ! "$scripts/wine-can-run-32.sh"; then
  echo "control-test: SKIPPED all i686 tests in $build: this kernel cannot run 32-bit programs"
  echo "control-test: (IA-32 emulation is off; boot with ia32_emulation=on to run them)"
  exit 0
fi

source "$scripts/wine-session.sh"
source "$scripts/printer-session.sh"
wine_session_start "$build"
trap 'printer_session_stop; wine_session_stop' EXIT
printer_session_start "$build"
cd "$build"
# Wine's registry and process start-up have rare timing hiccups under load; a test gets a second
# run, and one that fails twice fails the suite.
ctest --output-on-failure --repeat until-pass:2 "$@"
