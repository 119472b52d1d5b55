#!/usr/bin/env bash
# Checks the Debian package of Pathshift without installing it: its contents, its declared
# dependencies (apt resolves them, simulated), and the packaged programs unpacked into a
# throwaway root: every library found, pathshift-cli's output on the examples byte for byte that of
# the build tree, its settings kept in the user's folder, and a PNG drawn through its PNG writer,
# the one part of it that brings Qt.
# Usage: scripts/package-deb-test.sh PACKAGE.deb BUILD_DIR
set -euo pipefail
deb=$1
build=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "package-deb-test: $*" >&2; exit 1; }

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for path in ./usr/bin/pathshift ./usr/bin/pathshift-cli ./usr/share/man/man1/pathshift-cli.1.gz \
  ./usr/share/applications/pathshift.desktop ./usr/share/icons/hicolor/64x64/apps/pathshift.png \
  ./usr/share/pathshift/Styles/Le5/Normalblue.ini ./usr/share/pathshift/Styles/iTunes/Normalitunes.ini \
  ./usr/lib/systemd/user/pathshift-watch@.service ./usr/lib/pathshift/pathshift-png.so; do
  grep -qxF "$path" <<<"$contents" || fail "$deb lacks $path"
done

depends=$(dpkg-deb --field "$deb" Depends)
# The first name of each dependency, without versions.
names=$(sed -e 's/([^)]*)//g' -e 's/|[^,]*//g' -e 's/,/ /g' <<<"$depends" | tr -s ' ' '\n')
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -qxF "$lib" <<<"$names" || fail "Depends lacks $lib: $depends"
done
# What `apt install ./PACKAGE.deb` would do, without doing it: every dependency must resolve.
apt-get install --simulate "$(realpath "$deb")" 2>&1 | grep -q '^Inst pathshift ' ||
  fail "apt cannot install $deb: $(apt-get install --simulate "$(realpath "$deb")" 2>&1 | tail -5)"

dpkg-deb --extract "$deb" "$root"
for program in bin/pathshift bin/pathshift-cli lib/pathshift/pathshift-png.so; do
  if LD_LIBRARY_PATH= ldd "$root/usr/$program" | grep -q 'not found'; then
    fail "$program needs a library that is not installed"
  fi
done
if ldd "$root/usr/bin/pathshift-cli" | grep -q libQt6; then fail "pathshift-cli links Qt: it belongs in its PNG writer"; fi
zcat "$root/usr/share/man/man1/pathshift-cli.1.gz" | grep -q '^\.SH "CONVERT COMMAND"' || fail "the manual page lacks the convert command"

# The examples, each with its own options, as the demo converts them.
examples=(
  "cabinet_side.nc --thickness 0.75"
  "door_panel_mm.nc --thickness 18 --dfs"
  "sign_letters_head2.nc --thickness 0.5 --head 2"
)
mkdir -p "$root/home" "$root/packaged" "$root/built"
for example in "${examples[@]}"; do
  read -r file options <<<"$example"
  # shellcheck disable=SC2086 # the options are words
  env -u XDG_CONFIG_HOME -u PATHSHIFT_HOME HOME="$root/home" "$root/usr/bin/pathshift-cli" convert --settings \
    $options --tool-table examples/ToolTbl.Dat --quiet -o "$root/packaged" "examples/$file"
  # shellcheck disable=SC2086
  "$build/converter/cli/pathshift-cli" convert $options --tool-table examples/ToolTbl.Dat --quiet \
    -o "$root/built" "examples/$file"
done
diff -r "$root/built" "$root/packaged" >/dev/null || fail "the packaged pathshift-cli converts differently"
env -u XDG_CONFIG_HOME -u PATHSHIFT_HOME HOME="$root/home" "$root/usr/bin/pathshift-cli" preview --thickness 0.75 \
  --quiet -o "$root/packaged/cabinet_side.png" examples/cabinet_side.nc
[[ $(head -c 4 "$root/packaged/cabinet_side.png" | tail -c 3) == PNG ]] || fail "the packaged pathshift-cli drew no PNG"
[[ -d $root/home/.config/pathshift ]] || fail "the packaged program did not keep its settings per user"
[[ $(ls "$root/usr/bin") == $'pathshift\npathshift-cli' ]] || fail "the packaged program wrote into its own folder"
echo "package-deb-test: $(basename "$deb") holds what it should, depends on: $depends"
echo "package-deb-test: the packaged pathshift-cli converted ${#examples[@]} examples as the build does and drew a PNG"
