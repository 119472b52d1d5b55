# Helpers for the script and registration tests; sourced. Needs WINEPREFIX from scripts/control-test.sh.
scripts_dir=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../../../scripts")

# Windows path of a file on the Linux side (Wine maps / to drive Z:).
win_path() { local p; p=$(realpath "$1"); printf 'Z:%s' "${p//\//\\}"; }

loader_for() { "$scripts_dir/wine-loader.sh" "$1"; }

# Runs a builtin Wine program in bitness $1: run_builtin 64 regsvr32 /s FILE
run_builtin() { local bits=$1; shift; WINEDEBUG=-all "$(loader_for "$bits")" "$@"; }

readonly CLSID_KEY='HKCR\CLSID\{F8D4CCA0-D7AE-11CE-9577-0020AF039CA3}'
readonly PROGID_KEY='HKCR\QZCOMMDL.QzcommdlCtrl.1'
readonly TYPELIB_KEY='HKCR\TypeLib\{F8D4CCA3-D7AE-11CE-9577-0020AF039CA3}'

key_exists() { run_builtin "$1" reg query "$2" >/dev/null 2>&1; }

fail() { echo "FAIL: $*"; exit 1; }
