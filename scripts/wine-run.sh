#!/usr/bin/env bash
# Runs one Windows program under Wine for CTest (the cross build's CMAKE_CROSSCOMPILING_EMULATOR).
# Usage: wine-run.sh 32|64 PROGRAM [ARGS...]; the bitness picks the loader, so builtin programs
# (regsvr32, cscript) run in the build's bitness too. The prefix, display and wineserver are set up
# by scripts/control-test.sh.
set -euo pipefail
: "${WINEPREFIX:?run the control tests through scripts/control-test.sh (WINEPREFIX is not set)}"
export WINEDEBUG=${WINEDEBUG:--all}
bits=$1
shift
exec "$("$(dirname "$0")/wine-loader.sh" "$bits")" "$@"
