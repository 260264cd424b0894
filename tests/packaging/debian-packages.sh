#!/usr/bin/env bash
# The two Debian packages as an installer gets them: made by scripts/package from this build,
# no lintian error, the expected files in the expected package, the programs starting from an
# extracted tree on the resources inside it, and valid menu, AppStream and systemd files.
#   debian-packages.sh BUILD_FOLDER SOURCE_FOLDER
. "$(dirname "$0")/common.sh" "$@"

TORVANE_BIN_DIR="$build" TORVANE_DIST_DIR="$work/dist" "$source/scripts/package" > "$work/made" 2> "$work/cpack.log" ||
  { cat "$work/cpack.log" >&2; fail "scripts/package"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
app=$(ls "$work/dist"/torvane_"$version"_*.deb) || fail "no torvane_$version package"
server=$(ls "$work/dist"/torvane-fiera_"$version"_*.deb) || fail "no torvane-fiera_$version package"
zcat "$build/packaging/changelog.gz" | head -1 | grep -q "^torvane ($version) " ||
  fail "the changelog's latest entry is not version $version"

echo "== lintian"
for deb in "$app" "$server"; do
  status=0
  lintian --fail-on error "$deb" > "$work/lintian" 2>&1 || status=$?
  grep -v "running with root privileges" "$work/lintian" || true
  [ "$status" -eq 0 ] || fail "lintian: errors in $(basename "$deb")"
done

echo "== contents"
expect_files() {
  local deb=$1
  shift
  dpkg-deb --contents "$deb" | awk '{print $NF}' > "$work/contents"
  for file in "$@"; do
    grep -qx "$file" "$work/contents" || fail "$(basename "$deb") lacks $file"
  done
}
expect_files "$app" ./usr/bin/torvane ./usr/bin/torvane-cli \
  ./usr/share/torvane/Settings.bundle/Root.plist ./usr/share/torvane/LunghezzeBarcode.plist \
  ./usr/share/torvane/demo/login.script ./usr/share/torvane/demo/demo.script \
  ./usr/share/applications/torvane.desktop ./usr/share/icons/hicolor/128x128/apps/torvane.png \
  ./usr/share/metainfo/it.torvane.torvane.metainfo.xml \
  ./usr/share/man/man1/torvane.1.gz ./usr/share/man/man1/torvane-cli.1.gz \
  ./usr/share/bash-completion/completions/torvane-cli \
  ./usr/share/doc/torvane/copyright ./usr/share/doc/torvane/changelog.gz
grep -q "torvane-fiera" "$work/contents" && fail "the torvane package holds a part of the server"
expect_files "$server" ./usr/bin/torvane-fiera ./lib/systemd/system/torvane-fiera.service \
  ./etc/default/torvane-fiera ./usr/share/man/man1/torvane-fiera.1.gz \
  ./usr/share/doc/torvane-fiera/copyright ./usr/share/doc/torvane-fiera/changelog.gz
grep -q "usr/share/torvane/" "$work/contents" && fail "the torvane-fiera package holds the application's resources"
dpkg-deb --field "$server" Depends | grep -q "adduser" || fail "torvane-fiera does not depend on adduser"
dpkg-deb --field "$app" Depends | grep -q "libqt6widgets6" || fail "torvane's dependencies were not read from its binaries"

echo "== the programs from an extracted tree"
root="$work/root"
dpkg-deb -x "$app" "$root"
dpkg-deb -x "$server" "$root"
programs_start "$root/usr/bin"
# The resources the program reads are the tree's own, not the source tree's: a changed default
# in the extracted settings file reaches the preferences of a first start.
sed -i 's#<string>999</string>#<string>DAL-PACCHETTO</string>#' "$root/usr/share/torvane/Settings.bundle/Root.plist"
grep -q DAL-PACCHETTO "$root/usr/share/torvane/Settings.bundle/Root.plist" || fail "the settings file's company default moved"
"$root/usr/bin/torvane-cli" --data-dir "$work/home" script /dev/null > /dev/null 2>&1 || true
[ "$("$root/usr/bin/torvane-cli" --data-dir "$work/home" defaults read pref_azienda)" = DAL-PACCHETTO ] ||
  fail "torvane-cli did not read the resources beside it"
QT_QPA_PLATFORM=offscreen TORVANE_HOME="$work/gui" timeout 60 "$root/usr/bin/torvane" --screenshot "$work/window.png" \
  > /dev/null 2>&1 || fail "torvane did not start"
[ -s "$work/window.png" ] || fail "torvane drew no window"
mkdir "$work/sito"
coproc FIERA { exec "$root/usr/bin/torvane-fiera" --dir "$work/sito" --port 0 2> "$work/fiera.log"; }
read -r -t 20 banner <&"${FIERA[0]}" || fail "torvane-fiera did not start: $(cat "$work/fiera.log")"
fiera_pid=$FIERA_PID
kill -TERM "$fiera_pid"
wait "$fiera_pid" || fail "torvane-fiera did not stop cleanly on SIGTERM"
echo "   $banner, stopped by SIGTERM"

echo "== menu entry, AppStream, service"
desktop-file-validate "$root/usr/share/applications/torvane.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/it.torvane.torvane.metainfo.xml" || fail "appstreamcli validate"
unit="$root/lib/systemd/system/torvane-fiera.service"
MANPATH="$root/usr/share/man" systemd-analyze verify "$unit" || fail "systemd-analyze verify"
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 > /dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

# The options the service gives the server: the shipped defaults file's, an optional one only
# when set, a password with a blank kept whole. The unit's shell line is run with the program
# replaced by one that prints each argument in brackets.
command=$(sed -n "s/^ExecStart=\/bin\/sh -c '\(.*\)'$/\1/p" "$unit" | sed 's/\$\$/$/g; s#^exec /usr/bin/torvane-fiera#exec printf "[%s]"#')
[ -n "$command" ] || fail "the unit's ExecStart is not the expected shell line"
shipped=$(env -i sh -c "set -a; . '$root/etc/default/torvane-fiera'; $command")
[ "$shipped" = "[--dir][/var/lib/torvane-fiera][--port][8080][--bind][127.0.0.1]" ] ||
  fail "the service's options from the shipped defaults: $shipped"
set=$(env -i PORTA=9000 PASSWORD_PAGINA='due parole' PROFILI=/etc/torvane-fiera/profili.json sh -c "$command")
[ "$set" = "[--dir][/var/lib/torvane-fiera][--port][9000][--bind][127.0.0.1][--pagina-password][due parole][--profili][/etc/torvane-fiera/profili.json]" ] ||
  fail "the service's options: $set"
echo "== bash completion"
# What bash offers for a command line whose last word is being typed.
offered() {
  bash -c '. /usr/share/bash-completion/bash_completion; . "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _torvane_cli; echo "${COMPREPLY[*]}"' _ "$root/usr/share/bash-completion/completions/torvane-cli" torvane-cli "$@"
}
while IFS='|' read -r line expected; do
  read -r -a words <<< "$line"
  [[ $line == *" " ]] && words+=("")
  got=$(offered "${words[@]}")
  [ "$got" = "$expected" ] || fail "completing 'torvane-cli $line': '$got', not '$expected'"
done <<'CASES'
ex|export
--data-dir /tmp de|defaults
defaults |read write delete
export --order 3 --format |xml txt pdf html
outbox |list send
CASES

echo "== packages good: $(basename "$app") $(basename "$server")"
