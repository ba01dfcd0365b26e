#!/bin/sh
# The launcher's first run with a stand-in program: the data folder is made
# 0700 and the missing files created; names that are symbolic links (dangling,
# looping) are neither followed nor replaced.
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "launcher test: $*"; exit 1; }
cp "${1:?usage: launcher-test.sh LAUNCHER}" "$work/launcher"
printf '#!/bin/sh\npwd > "$HOME/started"\n' > "$work/lotscope"
chmod +x "$work/launcher" "$work/lotscope"
run() { HOME=$work/$1 XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen "$work/launcher"; }

mkdir -p "$work/fresh" "$work/links/.local/share/lotscope"
run fresh
data=$work/fresh/.local/share/lotscope
[ "$(cat "$work/fresh/started")" = "$data" ] || fail "program not started in the data folder"
[ "$(stat -c %a "$data") $(stat -c %a "$data/login.ini")" = "700 600" ] || fail "folder not 0700 or login.ini not 0600"
[ "$(ls "$data" | tr '\n' ' ')" = "exhibit.ini login.ini option.ini search.ini username.ini " ] || fail "files: $(ls "$data")"

data=$work/links/.local/share/lotscope
ln -s ../../../elsewhere "$data/search.ini"
ln -s login.ini "$data/login.ini"
run links
! [ -e "$work/links/elsewhere" ] || fail "a file was created through a dangling link"
[ "$(readlink "$data/search.ini") $(readlink "$data/login.ini")" = "../../../elsewhere login.ini" ] || fail "a link was replaced"
[ -f "$data/exhibit.ini" ] || fail "the other files were not created"

echo "launcher test passed"
