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
loader=$("$(dirname "$0")/wine-loader.sh" "$bits")
# CTest lists a test program's tests before running any. In a prefix created moments earlier, Wine
# now and then ends such a start with status 1 and no output; the listing is retried so that one
# hiccup does not drop a whole program's tests.
if [[ " $* " == *" --gtest_list_tests "* ]]; then
  for attempt in 1 2 3; do
    if listing=$("$loader" "$@"); then
      printf '%s\n' "$listing"
      exit 0
    fi
    echo "wine-run: listing the tests of $1 failed (attempt $attempt)" >&2
    sleep 2
  done
  exit 1
fi
exec "$loader" "$@"
