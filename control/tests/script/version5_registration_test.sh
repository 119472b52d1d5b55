#!/usr/bin/env bash
# regsvr32 on the older build: its registry entries, and that of two builds serving the same
# classes the one registered last owns them.
# Usage: version5_registration_test.sh 32|64 OLDER_OCX CURRENT_OCX
set -euo pipefail
source "$(dirname "$0")/common.sh"
bits=$1 older=$(win_path "$2") current=$(win_path "$3")
regsvr() { local rc=0; run_builtin "$bits" regsvr32 /s "$@" || rc=$?; echo "$rc"; }
cleanup() {
  run_builtin "$bits" regsvr32 /s /u "$older" >/dev/null 2>&1 || true
  run_builtin "$bits" regsvr32 /s /u "$current" >/dev/null 2>&1 || true
}
# The server the class key names, as regsvr32 of this bitness sees it.
server_of_class() { run_builtin "$bits" reg query "$CLSID_KEY\\InprocServer32" /ve 2>/dev/null | tr -d '\r' | grep -i 'REG_SZ' || true; }
trap cleanup EXIT
cleanup

[[ $(regsvr "$older") == 0 ]] || fail "registering the older build"
key_exists "$bits" "$CLSID_KEY\\InprocServer32" || fail "no InprocServer32 key"
key_exists "$bits" "$PROGID_KEY\\CLSID" || fail "no ProgID key"
key_exists "$bits" "$TYPELIB_KEY\\1.0" || fail "no type library 1.0 key"
key_exists "$bits" "$TYPELIB_KEY\\7.0" && fail "a type library 7.0 key from the older build"
if run_builtin "$bits" reg query "$CLSID_KEY\\InprocServer32" /v ThreadingModel >/dev/null 2>&1; then
  fail "the older build registered a threading model"
fi
run_builtin "$bits" reg query "$CLSID_KEY\\Version" /ve | tr -d '\r' | grep -q 'REG_SZ *1\.0$' || fail "class version"
# The help directory is the folder that holds the module file.
folder=${older%\\*}
helpdir=$(run_builtin "$bits" reg query "$TYPELIB_KEY\\1.0\\HELPDIR" /ve | tr -d '\r' | grep REG_SZ || true)
[[ ${helpdir,,} == *"${folder,,}" ]] || fail "help directory '$helpdir', expected '$folder'"
server_of_class | grep -qi 'Qzcommdl\.ocx$' || fail "class not served by the older build"
type_name() { run_builtin "$bits" reg query "HKCR\\CLSID\\$1" /ve 2>/dev/null | tr -d '\r' | grep REG_SZ || true; }
[[ $(type_name '{F8D4CCA0-D7AE-11CE-9577-0020AF039CA3}') == *"Halcrest Common Dialog Control" ]] || fail "control type name"
[[ $(type_name '{F8D4CCA4-D7AE-11CE-9577-0020AF039CA3}') == *"Halcrest Common Dialog Property Page" ]] || fail "General page type name"
[[ $(type_name '{68BB3D81-12D1-11CF-86BA-00AA00A25549}') == *"Halcrest QzCommonDialog More Property Page" ]] || fail "More page type name"
echo "older build registered"

[[ $(regsvr "$current") == 0 ]] || fail "registering the current build over it"
server_of_class | grep -qi 'Qzdialog32\.ocx$' || fail "the current build registered last does not own the class"
[[ $(regsvr "$older") == 0 ]] || fail "registering the older build again"
server_of_class | grep -qi 'Qzcommdl\.ocx$' || fail "the older build registered last does not own the class"
if run_builtin "$bits" reg query "$CLSID_KEY\\InprocServer32" /v ThreadingModel >/dev/null 2>&1; then
  fail "the current build's threading model is left with the older build's class"
fi
run_builtin "$bits" reg query "$CLSID_KEY\\Version" /ve | tr -d '\r' | grep -q 'REG_SZ *1\.0$' || fail "class version after re-registering"
echo "last registered owns the classes"

[[ $(regsvr /u "$older") == 0 ]] || fail "unregistering the older build"
key_exists "$bits" "$CLSID_KEY" && fail "class key left after unregistering"
key_exists "$bits" "$TYPELIB_KEY\\1.0" && fail "type library 1.0 left after unregistering"
echo "RESULT: PASS"
