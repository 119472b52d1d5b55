#!/usr/bin/env bash
# Registers the control, runs one VBScript client with cscript of the same bitness, and passes
# when the script printed "RESULT: PASS" and no FAIL line (a script error ends cscript silently).
# Usage: run_script_test.sh 32|64 OCX SCRIPT.vbs
set -euo pipefail
source "$(dirname "$0")/common.sh"
bits=$1 ocx=$2 script=$3

run_builtin "$bits" regsvr32 /s "$(win_path "$ocx")" || fail "regsvr32 exit $?"
trap 'run_builtin "$bits" regsvr32 /s /u "$(win_path "$ocx")" || true' EXIT
output=$(run_builtin "$bits" cscript //nologo "$(win_path "$script")" 2>&1 | tr -d '\r')
echo "$output"
grep -q '^FAIL' <<<"$output" && exit 1
grep -q '^RESULT: PASS$' <<<"$output" || fail "the script did not finish"
