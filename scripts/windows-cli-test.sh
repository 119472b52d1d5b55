#!/usr/bin/env bash
# Runs the Windows build of pathshift-cli (64-bit) under Wine against the Linux build: the examples and a
# generated corpus converted with drive-letter and backslash paths and -j 2, --stdout, a destination
# past MAX_PATH and a \\?\ source, a second run replacing the outputs, failing files (a missing
# source, a folder as a source, a read-only output), a polled hot folder. Every output must equal
# the Linux build's byte for byte.
# Usage: scripts/windows-cli-test.sh NATIVE_BUILD WINDOWS_BUILD
set -euo pipefail
native=$(realpath "$1")
windows=$(realpath "$2")
scripts=$(dirname "$(realpath "$0")")
repo=$(dirname "$scripts")
linux_cli=$native/converter/cli/pathshift-cli
exe=$windows/converter/cli/pathshift-cli.exe
work=$windows/cli-test
win_path() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }
fail() { echo "windows-cli-test: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/corpus" "$work/linux" "$work/windows"
for seed in 1 2 3 4; do
  "$native/bench/generate_program" 1.5 "$work/corpus/generated_$seed.nc" "$seed" >/dev/null
done
cp "$repo"/examples/*.nc "$work/corpus/"

source "$scripts/wine-session.sh"
wine_session_start "$windows"
loader=$("$scripts/wine-loader.sh" 64)
wincli() { "$loader" "$exe" "$@" </dev/null; }

common=(--thickness 0.75 --tool-table "$repo/examples/ToolTbl.Dat" --quiet)
win_common=(--thickness 0.75 --tool-table "$(win_path "$repo/examples/ToolTbl.Dat")" --quiet)
sources=("$work"/corpus/*.nc)
win_sources=()
for s in "${sources[@]}"; do win_sources+=("$(win_path "$s")"); done

echo "== ${#sources[@]} programs, -j 2, drive-letter and backslash paths"
"$linux_cli" convert "${common[@]}" -o "$work/linux" "${sources[@]}"
wincli convert "${win_common[@]}" -j 2 -o "$(win_path "$work/windows")" "${win_sources[@]}"
diff -r "$work/linux" "$work/windows" >/dev/null || fail "the outputs differ from the Linux build's"

echo "== a second run replaces every output in place"
wincli convert "${win_common[@]}" -j 2 -o "$(win_path "$work/windows")" "${win_sources[@]}"
diff -r "$work/linux" "$work/windows" >/dev/null || fail "the replaced outputs differ"
[[ $(ls -A "$work/windows" | wc -l) == "${#sources[@]}" ]] || fail "files are left beside the outputs: $(ls -A "$work/windows")"

echo "== --stdout carries the program's CR LF unchanged"
"$linux_cli" convert --thickness 18 --dfs --quiet --stdout "$repo/examples/door_panel_mm.nc" >"$work/linux.stdout"
wincli convert --thickness 18 --dfs --quiet --stdout "$(win_path "$repo/examples/door_panel_mm.nc")" >"$work/windows.stdout"
cmp "$work/linux.stdout" "$work/windows.stdout" || fail "--stdout differs from the Linux build's"

echo "== a destination past MAX_PATH, a source named with \\\\?\\"
long=$work/long
for _ in $(seq 8); do long+=/folder-name-of-forty-characters-for-depth; done
mkdir -p "$long"
(( ${#long} > 300 )) || fail "the long folder is not long enough"
wincli convert "${win_common[@]}" -o "$(win_path "$long")" "\\\\?\\$(win_path "$repo/examples/cabinet_side.nc")"
cmp "$work/linux/cabinet_side.nc" "$long/cabinet_side.nc" || fail "the output past MAX_PATH differs"

echo "== verify: the converted program read back from a temporary file"
verdict=$(wincli verify --thickness 0.75 --tool-table "$(win_path "$repo/examples/ToolTbl.Dat")" \
  "$(win_path "$repo/examples/cabinet_side.nc")" | tr -d '\r')
grep -q ' 0 differences, estimated machining time ' <<<"$verdict" || fail "verify: $verdict"

echo "== a missing source fails alone, with its name and the system's reason"
status=0
errors=$(wincli convert "${win_common[@]}" -o "$(win_path "$work/windows")" 'Z:\no\such\part.nc' \
  "$(win_path "$repo/examples/cabinet_side.nc")" 2>&1 >/dev/null) || status=$?
[[ $status == 1 ]] || fail "a missing source gave exit status $status, not 1"
grep -q 'Z:\\no\\such\\part.nc.*cannot open' <<<"$errors" || fail "unexpected message: $errors"

echo "== a folder given as a source is refused by what it should be"
status=0
errors=$(wincli convert "${win_common[@]}" -o "$(win_path "$work/windows")" "$(win_path "$work/corpus")" 2>&1 >/dev/null) ||
  status=$?
[[ $status == 1 ]] || fail "a folder as a source gave exit status $status, not 1"
grep -q 'is a folder, not a program' <<<"$errors" || fail "unexpected message: $errors"

echo "== a read-only output is not replaced"
readonly_out=$work/readonly
mkdir -p "$readonly_out"
printf 'kept\r\n' >"$readonly_out/cabinet_side.nc"
chmod a-w "$readonly_out/cabinet_side.nc"  # what Wine shows as the read-only attribute
status=0
errors=$(wincli convert "${win_common[@]}" -o "$(win_path "$readonly_out")" \
  "$(win_path "$repo/examples/cabinet_side.nc")" 2>&1 >/dev/null) || status=$?
[[ $status == 1 ]] || fail "a read-only output gave exit status $status, not 1"
grep -q 'the existing output is read-only; not replaced' <<<"$errors" || fail "unexpected message: $errors"
[[ $(cat "$readonly_out/cabinet_side.nc") == $'kept\r' ]] || fail "the read-only output was replaced"

echo "== watch: a hot folder polled, converted sources moved to a done folder, stopped by SIGINT"
hot=$work/hot
mkdir -p "$hot/in" "$hot/out" "$hot/done"
cp "$repo/examples/cabinet_side.nc" "$hot/in/"
"$loader" "$exe" watch --thickness 0.75 --tool-table "$(win_path "$repo/examples/ToolTbl.Dat")" --settle 0.3 --poll 0.5 --done "$(win_path "$hot/done")" \
  -o "$(win_path "$hot/out")" "$(win_path "$hot/in")" </dev/null >"$hot/log" 2>&1 &
watcher=$!
cp "$repo/examples/door_panel_mm.nc" "$hot/in/"
for _ in $(seq 300); do [[ -f $hot/done/cabinet_side.nc && -f $hot/done/door_panel_mm.nc ]] && break; sleep 0.1; done
kill -INT "$watcher"
status=0
wait "$watcher" || status=$?
[[ $status == 0 ]] || fail "watch ended with exit status $status, not 0: $(cat "$hot/log")"
[[ -z $(ls -A "$hot/in") ]] || fail "watch left sources behind: $(ls -A "$hot/in")"
for name in cabinet_side.nc door_panel_mm.nc; do
  cmp "$work/linux/$name" "$hot/out/$name" || fail "watch converted $name differently: $(cat "$hot/log")"
done

echo "windows-cli-test: pathshift-cli.exe converts as the Linux build does"
