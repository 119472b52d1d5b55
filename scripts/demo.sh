#!/usr/bin/env bash
# Converts the bundled example programs into a folder and shows what was written.
set -euo pipefail
build=${1:-build/native}
out=${2:-out/examples}
cli="$build/converter/cli/pathshift-cli"
mkdir -p "$out"

echo "== Pathshift: converting the examples into $out"
status=0
"$cli" convert --thickness 0.75 --tool-table examples/ToolTbl.Dat -o "$out" examples/cabinet_side.nc || status=$?
"$cli" convert --thickness 18 --dfs --tool-table examples/ToolTbl.Dat -o "$out" examples/door_panel_mm.nc || status=$?
"$cli" convert --thickness 0.5 --head 2 --tool-table examples/ToolTbl.Dat -o "$out" examples/sign_letters_head2.nc || status=$?

echo
echo "== Verifying: every cutting move of each converted program against its source"
"$cli" verify --thickness 0.75 --tool-table examples/ToolTbl.Dat --converted "$out/cabinet_side.nc" examples/cabinet_side.nc || status=$?
"$cli" verify --thickness 18 --dfs --tool-table examples/ToolTbl.Dat --converted "$out/door_panel_mm.nc" examples/door_panel_mm.nc || status=$?
"$cli" verify --thickness 0.5 --head 2 --tool-table examples/ToolTbl.Dat --converted "$out/sign_letters_head2.nc" examples/sign_letters_head2.nc || status=$?

echo
echo "== Files written"
ls -l "$out"
echo
echo "== $out/cabinet_side.nc (first 40 lines; line ends are CR LF)"
head -n 40 "$out/cabinet_side.nc" | tr -d '\r'
exit $status
