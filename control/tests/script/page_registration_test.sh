#!/usr/bin/env bash
# regsvr32 and regsvr32 /u on the control: the two property page classes it registers beside
# the control, and that unregistering removes them.
# Usage: page_registration_test.sh 32|64 OCX
set -euo pipefail
source "$(dirname "$0")/common.sh"
bits=$1 ocx=$2
file=$(win_path "$ocx")
readonly GENERAL_KEY='HKCR\CLSID\{F8D4CCA4-D7AE-11CE-9577-0020AF039CA3}'
readonly MORE_KEY='HKCR\CLSID\{68BB3D81-12D1-11CF-86BA-00AA00A25549}'
cleanup() { run_builtin "$bits" regsvr32 /s /u "$file" >/dev/null 2>&1 || true; }
trap cleanup EXIT
cleanup

run_builtin "$bits" regsvr32 /s "$file" || fail "registering"
default_value() { run_builtin "$bits" reg query "$1" /ve | tr -d '\r' | grep -i 'REG_SZ' | sed 's/.*REG_SZ[[:space:]]*//'; }
[[ $(default_value "$GENERAL_KEY") == "Veldran Common Dialog Property Page" ]] || fail "General page type name"
[[ $(default_value "$MORE_KEY") == "Veldran QzCommonDialog More Property Page" ]] || fail "More page type name"
for key in "$GENERAL_KEY" "$MORE_KEY"; do
  server=$(default_value "$key\\InprocServer32")
  [[ ${server,,} == "${file,,}" ]] || fail "server path of $key: $server"
  run_builtin "$bits" reg query "$key\\InprocServer32" /v ThreadingModel >/dev/null 2>&1 && fail "threading model on $key"
done
key_exists "$bits" "$CLSID_KEY\\InprocServer32" || fail "control class missing"
echo "pages registered"

run_builtin "$bits" regsvr32 /s /u "$file" || fail "unregistering"
key_exists "$bits" "$GENERAL_KEY" && fail "General page key left"
key_exists "$bits" "$MORE_KEY" && fail "More page key left"
echo "RESULT: PASS"
