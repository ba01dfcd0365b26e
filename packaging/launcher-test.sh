#!/bin/sh
# The launcher's first run, with a stand-in program that records where it was
# started: the data folder is made 0700, missing files are created, and a
# name that is a symbolic link (dangling or looping) is neither followed nor
# replaced; a data folder that is a dangling link stops the launcher.
set -eu
launcher=${1:?usage: launcher-test.sh LAUNCHER}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "launcher test: $*"; exit 1; }

mkdir "$work/bin"
cp "$launcher" "$work/bin/launcher"
printf '#!/bin/sh\npwd > "$HOME/started"\n' > "$work/bin/lotscope"
chmod +x "$work/bin/launcher" "$work/bin/lotscope"
run() { HOME=$1 XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen "$work/bin/launcher"; }

# A fresh home.
mkdir "$work/fresh"
run "$work/fresh"
data=$work/fresh/.local/share/lotscope
[ "$(cat "$work/fresh/started")" = "$data" ] || fail "program not started in the data folder"
[ "$(stat -c %a "$data")" = 700 ] || fail "data folder is not 0700"
for f in search.ini username.ini exhibit.ini login.ini option.ini; do
    [ -f "$data/$f" ] && ! [ -L "$data/$f" ] || fail "first run did not create $f"
done
[ "$(stat -c %a "$data/login.ini")" = 600 ] || fail "login.ini is not 0600"

# Links under the files' names.
data=$work/links/.local/share/lotscope
mkdir -p "$data" "$work/links/elsewhere"
ln -s ../../../elsewhere/search.ini "$data/search.ini"
ln -s login.ini "$data/login.ini.loop" && ln -s login.ini.loop "$data/login.ini"
run "$work/links"
[ -z "$(ls -A "$work/links/elsewhere")" ] || fail "a file was created through a dangling link"
[ "$(readlink "$data/search.ini")" = ../../../elsewhere/search.ini ] || fail "the dangling link was replaced"
[ "$(readlink "$data/login.ini")" = login.ini.loop ] || fail "the looping link was replaced"
[ -f "$data/exhibit.ini" ] && [ -f "$data/option.ini" ] || fail "the other files were not created"

# A data folder that is a dangling link.
mkdir -p "$work/dangling/.local/share"
ln -s ../../nowhere "$work/dangling/.local/share/lotscope"
if run "$work/dangling" 2>/dev/null; then fail "started through a dangling data folder"; fi
! [ -e "$work/dangling/nowhere" ] || fail "the data folder was created through a dangling link"
echo "launcher test passed"
