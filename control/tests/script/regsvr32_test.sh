#!/usr/bin/env bash
# regsvr32 and regsvr32 /u on the control in this build's bitness, and the registry they leave.
# Usage: regsvr32_test.sh 32|64 OCX
set -euo pipefail
source "$(dirname "$0")/common.sh"
bits=$1 ocx=$2
file=$(win_path "$ocx")
regsvr() { local rc=0; run_builtin "$bits" regsvr32 /s "$@" || rc=$?; echo "$rc"; }
cleanup() { run_builtin "$bits" regsvr32 /s /u "$file" >/dev/null 2>&1 || true; }
trap cleanup EXIT
cleanup

[[ $(regsvr "$file") == 0 ]] || fail "registering"
key_exists "$bits" "$CLSID_KEY\\InprocServer32" || fail "no InprocServer32 key"
key_exists "$bits" "$PROGID_KEY\\CLSID" || fail "no ProgID key"
key_exists "$bits" "$TYPELIB_KEY\\7.0" || fail "no type library key"
run_builtin "$bits" reg query "$CLSID_KEY\\InprocServer32" /v ThreadingModel | grep -q Apartment || fail "threading model"
echo "registered"

[[ $(regsvr "$file") == 0 ]] || fail "registering twice"
[[ $(regsvr /u "$file") == 0 ]] || fail "unregistering"
key_exists "$bits" "$CLSID_KEY" && fail "class key left after unregistering"
key_exists "$bits" "$PROGID_KEY" && fail "ProgID key left after unregistering"
echo "unregistered"

# Unregistering again: the type library is not registered, so DllUnregisterServer fails.
[[ $(regsvr /u "$file") != 0 ]] || fail "unregistering a never-registered type library succeeded"

# With the class registered but its type library gone, unregistration fails and keeps the class.
[[ $(regsvr "$file") == 0 ]] || fail "registering again"
if [[ $bits == 64 ]]; then platform=win64; else platform=win32; fi
run_builtin "$bits" reg delete "$TYPELIB_KEY\\7.0\\0\\$platform" /f >/dev/null 2>&1 || fail "removing the type library key"
[[ $(regsvr /u "$file") != 0 ]] || fail "unregistering without a type library succeeded"
key_exists "$bits" "$CLSID_KEY\\InprocServer32" || fail "class key removed although unregistration failed"
echo "class keys kept"

[[ $(regsvr "$(win_path "$(dirname "$ocx")")\\NoSuchControl.ocx") == 3 ]] || fail "a missing file is not exit 3"
echo "RESULT: PASS"
