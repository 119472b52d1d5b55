#!/usr/bin/env bash
# Writes pathshift-cli's manual page with help2man from the program's own help texts: its summary
# and version, then one section per command, and where the settings are kept.
# Usage: scripts/man-page.sh PATHSHIFT_CLI OUTPUT.1.gz
set -euo pipefail
cli=$1
out=$2
include=$(mktemp)
page=$(mktemp)
trap 'rm -f "$include" "$page"' EXIT

# Help text as it is printed: no filling, backslashes and leading control characters escaped.
roff_verbatim() { printf '.nf\n'; sed -e 's/\\/\\e/g' -e "s/^[.']/\\\\\\&&/"; printf '.fi\n'; }

{
  for command in convert verify preview watch; do
    printf '[%s COMMAND]\n' "${command^^}"
    # Named as installed, not by its path in the build tree.
    (exec -a pathshift-cli "$cli" "$command" --help) | roff_verbatim
    printf '\n'
  done
  cat <<'TEXT'
[FILES]
.TP
.I ~/.config/pathshift/Tarvo2Selvix.INI
The desktop program's settings, read by
.BR "convert --settings" ;
.B $PATHSHIFT_HOME
names another folder.
.TP
.I ~/.config/pathshift/ToolTbl.Dat
The tool translation table kept by the desktop program.
.TP
.I ~/.config/pathshift/watch-NAME.conf
The folders and options of the hot folder
.BR pathshift-watch@NAME ,
a systemd user service.
TEXT
} >"$include"

help2man --no-info --section=1 --source=Pathshift \
  --name="convert CNC router part programs from the Tarvo into the Selvix dialect" \
  --include="$include" --output="$page" "$cli"
gzip -9n <"$page" >"$out.tmp"
mv "$out.tmp" "$out"
