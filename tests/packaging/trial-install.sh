#!/usr/bin/env bash
# An install into a trial prefix: the programs start from it, the demonstration runs on the
# installed programs and the installed demonstration company, and nothing lands outside it
# (the service files stay under the prefix too).
#   trial-install.sh BUILD_FOLDER SOURCE_FOLDER
. "$(dirname "$0")/common.sh" "$@"
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log" >&2; fail "cmake --install"; }
outside=$(grep -o "Installing: .*\|Up-to-date: .*" "$work/install.log" | grep -v ": $prefix/" || true)
[ -z "$outside" ] || fail "installed outside the prefix: $outside"
programs_start "$prefix/bin"
grep -qF "exec $prefix/bin/torvane-fiera " "$prefix/lib/systemd/system/torvane-fiera.service" ||
  fail "the unit does not start the installed server"
grep -qxF "EnvironmentFile=-$prefix/etc/default/torvane-fiera" "$prefix/lib/systemd/system/torvane-fiera.service" ||
  fail "the unit does not read the installed defaults file"

echo "== the demonstration on the installed tree"
env -u DISPLAY -u WAYLAND_DISPLAY TORVANE_BIN_DIR="$prefix" TORVANE_DEMO_DIR="$work/demo" \
  "$source/scripts/run" --fresh > "$work/run.log" 2>&1 || { cat "$work/run.log" >&2; fail "scripts/run"; }
grep -q "script $prefix/share/torvane/demo/demo.script" "$work/run.log" || fail "the installed demonstration did not run"
grep -q "ordini ricevuti dal PC Fiera:   1" "$work/run.log" || { cat "$work/run.log" >&2; fail "no order reached the fair PC"; }
echo "== installed tree good"
