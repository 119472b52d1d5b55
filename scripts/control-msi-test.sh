#!/usr/bin/env bash
# Installs the control's MSI under Wine in a prefix of its own and takes it away again:
#   msiexec /i: both DLLs and both error-detail libraries in the system folders, and the example
#     script creates the control in each bitness it can run;
#   a newer version replaces it, and the older one is then refused;
#   msiexec /x: the files and the program identifier are gone and the registry is as before.
# Usage: scripts/control-msi-test.sh INSTALLER.msi BUILD_ROOT
set -euo pipefail
msi=$(realpath "$1")
root=$(realpath "$2")
scripts=$(dirname "$(realpath "$0")")
example=$(realpath "$scripts/../control/examples/qzdialog-demo.vbs")
work=$root/control-msi
win_path() { local p; p=$(realpath "$1"); printf 'Z:%s' "${p//\//\\}"; }
fail() { echo "control-msi-test: $*" >&2; exit 1; }

# A fresh prefix every time: nothing registered by the other tests, nothing left by an earlier run.
rm -rf "$work"
mkdir -p "$work"
source "$scripts/wine-session.sh"
wine_session_start "$work"
wine64=$("$scripts/wine-loader.sh" 64)
system64=$WINEPREFIX/drive_c/windows/system32
system32=$WINEPREFIX/drive_c/windows/syswow64

msiexec() { "$wine64" msiexec "$@" </dev/null; }
# The software part of the registry as text, both views (classes, installer data, uninstall
# entries); the system part holds the display driver's state, which Wine rewrites on its own.
registry_snapshot() {
  local hive
  for hive in 'HKEY_LOCAL_MACHINE\Software' 'HKEY_CURRENT_USER\Software'; do
    "$wine64" regedit /E 'C:\snapshot.reg' "$hive" </dev/null
    iconv -f UTF-16LE -t UTF-8 "$WINEPREFIX/drive_c/snapshot.reg" | tr -d '\r'
  done | without_system_bookkeeping >"$1"
  rm -f "$WINEPREFIX/drive_c/snapshot.reg"
}
# Left out of the comparison: keys without values (the installer service creates its empty
# containers at its first use and keeps them, as on every Windows system that has run an installer)
# and the printer list that Wine copies from the host's printers when the spooler is first used.
# The control's own keys are checked one by one below.
without_system_bookkeeping() {
  awk -v RS= -v ORS='\n\n' 'index($0, "\n") &&
    !/^\[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\(Devices|PrinterPorts|Windows)\]/'
}
installed_files() { ls "$system64"/Qzdialog32.ocx "$system64"/VELDRAN.DLL "$system32"/Qzdialog32.ocx "$system32"/VELDRAN.DLL 2>/dev/null || true; }
# Every key the installer writes for the control, in the 64-bit and the 32-bit view (the program
# identifier is written once, in the 64-bit view: 32-bit programs find it there too).
control_keys_left() {
  local key view
  "$wine64" reg query 'HKCR\QZCOMMDL.QzcommdlCtrl.1' /reg:64 </dev/null >/dev/null 2>&1 && echo "QZCOMMDL.QzcommdlCtrl.1"
  for key in 'HKCR\TypeLib\{F8D4CCA3-D7AE-11CE-9577-0020AF039CA3}' \
    'HKCR\CLSID\{F8D4CCA0-D7AE-11CE-9577-0020AF039CA3}' 'HKCR\CLSID\{F8D4CCA4-D7AE-11CE-9577-0020AF039CA3}' \
    'HKCR\CLSID\{68BB3D81-12D1-11CF-86BA-00AA00A25549}' 'HKCR\Interface\{F8D4CCA1-D7AE-11CE-9577-0020AF039CA3}' \
    'HKCR\Interface\{F8D4CCA2-D7AE-11CE-9577-0020AF039CA3}'; do
    for view in /reg:64 /reg:32; do
      "$wine64" reg query "$key" "$view" </dev/null >/dev/null 2>&1 && echo "$key ($view)"
    done
  done
  true
}

# The script host registers its own type library at its first run in each bitness: done before
# the snapshot, so that only the installer's changes are compared.
printf 'WScript.Echo "ready"\r\n' >"$WINEPREFIX/drive_c/ready.vbs"
for bits in 64 32; do
  "$scripts/wine-can-run-32.sh" || [[ $bits == 64 ]] || continue
  "$("$scripts/wine-loader.sh" "$bits")" cscript //nologo 'C:\ready.vbs' </dev/null >/dev/null
done
registry_snapshot "$work/before.reg"

echo "== msiexec /i $(basename "$msi") /qn"
msiexec /i "$(win_path "$msi")" /qn || fail "installation failed (status $?)"
[[ $(installed_files | wc -l) == 4 ]] || fail "the DLLs are not all in the system folders: $(installed_files)"
[[ $(control_keys_left | wc -l) == 13 ]] || fail "keys are missing; present: $(control_keys_left)"

for bits in 64 32; do
  if [[ $bits == 32 ]] && ! "$scripts/wine-can-run-32.sh"; then
    echo "== 32-bit: SKIPPED, this kernel cannot run 32-bit programs (IA-32 emulation is off)"
    continue
  fi
  echo "== $bits-bit: cscript $(basename "$example")"
  output=$("$("$scripts/wine-loader.sh" "$bits")" cscript //nologo "$(win_path "$example")" </dev/null | tr -d '\r')
  printf '%s\n' "$output" | sed 's/^/   /'
  grep -q '^Created QZCOMMDL.QzcommdlCtrl.1$' <<<"$output" || fail "$bits-bit: the control was not created"
  grep -q '^  Action = 9 .*-> [0-9]' <<<"$output" && ! grep -q 'VELDRAN.DLL. Not Available' <<<"$output" ||
    fail "$bits-bit: the control's errors do not reach the script through its error-detail library"
  grep -q '^  Action is still ' <<<"$output" || fail "$bits-bit: the script did not run to its end"
done

version=$(sed -n 's/^project(QzCommonDialog VERSION \([0-9.]*\).*/\1/p' "$scripts/../control/CMakeLists.txt")
newer_version=${version%.*}.$((${version##*.} + 1))
echo "== a newer installer ($newer_version) replaces $version; $version is then refused"
"$scripts/control-msi.sh" "$root" "$work/newer.msi" "$newer_version"
msiexec /i "$(win_path "$work/newer.msi")" /qn || fail "the newer version did not install over the older"
if msiexec /i "$(win_path "$msi")" /qn; then fail "the older version was installed over the newer"; fi
[[ $(installed_files | wc -l) == 4 ]] || fail "the refused downgrade touched the installed files"
msiexec /x "$(win_path "$work/newer.msi")" /qn || fail "the newer version did not uninstall"

echo "== msiexec /x after a fresh install"
msiexec /i "$(win_path "$msi")" /qn || fail "installation failed (status $?)"
msiexec /x "$(win_path "$msi")" /qn || fail "uninstallation failed (status $?)"
[[ -z $(installed_files) ]] || fail "files are left: $(installed_files)"
[[ -z $(control_keys_left) ]] || fail "keys are left: $(control_keys_left)"
registry_snapshot "$work/after.reg"
diff -u "$work/before.reg" "$work/after.reg" >"$work/registry.diff" ||
  fail "the uninstall left the registry changed (see $work/registry.diff):$(head -40 "$work/registry.diff")"
echo "== control-msi-test: installed, used in both bitnesses, upgraded, downgrade refused, removed without a trace"
