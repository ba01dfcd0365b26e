#!/bin/sh
# The launcher's first run with a stand-in program: the data folder is made
# 0700 and the missing files created; names that are symbolic links (dangling,
# looping) are neither followed nor replaced; first starts at the same time
# all succeed, and each file is whole.
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
[ "$(ls -A "$data" | tr '\n' ' ')" = "exhibit.ini login.ini option.ini search.ini username.ini " ] || fail "files: $(ls -A "$data")"

data=$work/links/.local/share/lotscope
ln -s ../../../elsewhere "$data/search.ini"
ln -s login.ini "$data/login.ini"
run links
! [ -e "$work/links/elsewhere" ] || fail "a file was created through a dangling link"
[ "$(readlink "$data/search.ini") $(readlink "$data/login.ini")" = "../../../elsewhere login.ini" ] || fail "a link was replaced"
[ -f "$data/exhibit.ini" ] || fail "the other files were not created"

for round in 1 2 3 4 5 6 7 8; do
    pids=
    for i in 1 2 3 4 5; do run "race$round" & pids="$pids $!"; done
    for pid in $pids; do wait "$pid" || fail "one of five first starts at once failed"; done
    [ "$(od -An -c "$work/race$round/.local/share/lotscope/option.ini" | tr -d ' ')" = '0,1,0\r\n' ] ||
        fail "option.ini of a first start at once: $(od -c "$work/race$round/.local/share/lotscope/option.ini")"
done

echo "launcher test passed"
