#!/usr/bin/env bash
# Both bitnesses registered in one prefix: unregistering one must not break the other's ProgID.
# Exit 77 (skipped) where 32-bit programs cannot run or the i686 build is missing.
# Usage: side_by_side_test.sh OCX64 OCX32
set -euo pipefail
source "$(dirname "$0")/common.sh"
ocx64=$1 ocx32=$2
"$scripts_dir/wine-can-run-32.sh" || { echo "SKIPPED: this machine cannot run 32-bit programs"; exit 77; }
[[ -f $ocx32 ]] || { echo "SKIPPED: no i686 build at $ocx32"; exit 77; }
f64=$(win_path "$ocx64") f32=$(win_path "$ocx32")
cleanup() {
  run_builtin 32 regsvr32 /s /u "$f32" >/dev/null 2>&1 || true
  run_builtin 64 regsvr32 /s /u "$f64" >/dev/null 2>&1 || true
}
trap cleanup EXIT

run_builtin 64 regsvr32 /s "$f64" || fail "registering 64-bit"
run_builtin 32 regsvr32 /s "$f32" || fail "registering 32-bit"
run_builtin 32 regsvr32 /s /u "$f32" || fail "unregistering 32-bit"
key_exists 64 "$PROGID_KEY\\CLSID" || fail "unregistering the 32-bit control removed the shared ProgID"
key_exists 64 "$CLSID_KEY\\InprocServer32" || fail "64-bit class key lost"
probe=$(mktemp --suffix=.vbs)
printf 'Set d = CreateObject("QZCOMMDL.QzcommdlCtrl.1")\r\nWScript.Echo "MaxFileSize=" & d.MaxFileSize\r\n' >"$probe"
out=$(run_builtin 64 cscript //nologo "$(win_path "$probe")" | tr -d '\r')
rm -f "$probe"
[[ $out == "MaxFileSize=256" ]] || fail "64-bit client cannot create the control: $out"
run_builtin 64 regsvr32 /s /u "$f64" || fail "unregistering 64-bit"
key_exists 64 "$PROGID_KEY" && fail "ProgID left after both were unregistered"
echo "RESULT: PASS"
