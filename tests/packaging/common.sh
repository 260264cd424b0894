# The start every packaging check shares: its arguments (BUILD_FOLDER SOURCE_FOLDER), a work
# folder removed at the end, fail(), nothing of the caller's resource or data folders.
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/torvane-packaging.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
unset TORVANE_RESOURCES TORVANE_HOME

# torvane-cli and torvane-fiera of the folder $1 start and print their usage.
programs_start() {
  "$1/torvane-cli" --help | grep -q "uso: torvane-cli" || fail "$1/torvane-cli --help"
  local help
  help=$("$1/torvane-fiera" --help 2>&1) || true  # the usage, as an answer or with a usage error
  grep -q "uso: torvane-fiera" <<< "$help" || fail "$1/torvane-fiera --help: $help"
}
