#!/bin/sh
# Starts Lotscope in its data directory. The program reads and writes its
# five files by bare name in its current directory; on a first run this
# creates the ones that are missing and never touches existing ones.
set -eu

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "lotscope: no display available (DISPLAY and WAYLAND_DISPLAY are unset); to run without a screen use: xvfb-run -a $0" >&2
    exit 1
fi

here=$(dirname "$(readlink -f "$0")")
if [ -x "$here/../libexec/lotscope/lotscope" ]; then
    program="$here/../libexec/lotscope/lotscope"
else
    program="$here/lotscope"
fi

# The folder holds the user's IDs and passwords: only the user may enter it.
data="${XDG_DATA_HOME:-${HOME:?HOME is not set}/.local/share}/lotscope"
[ -d "$data" ] || mkdir -p -m 0700 "$data"
cd "$data"
# A name that is a symbolic link, even a dangling or looping one, is left
# alone ([ -e ] alone follows the link). A missing file is written under a
# temporary name and linked into place, which fails wherever any name is by
# then, a link made meanwhile included: a file that another start created
# at the same moment counts as existing, and no start sees it half-written.
missing() { ! [ -e "$1" ] && ! [ -L "$1" ]; }
# create NAME MODE [TEXT]
create() {
    missing "$1" || return 0
    tmp=$(mktemp ".$1.XXXXXX")
    printf '%b' "${3:-}" > "$tmp"
    chmod "$2" "$tmp"
    if ! ln -T "$tmp" "$1" 2>/dev/null && missing "$1"; then
        rm -f "$tmp"
        echo "lotscope: cannot create $data/$1" >&2
        exit 2
    fi
    rm -f "$tmp"
}
shared=$(printf '%o' $((0666 & ~0$(umask))))
for f in search.ini username.ini exhibit.ini; do
    create "$f" "$shared"
done
create login.ini 600
create option.ini "$shared" '0,1,0\r\n'

# The browser engine refuses to run its sandbox as root.
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
exec "$program"
