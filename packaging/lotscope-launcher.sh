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
# alone ([ -e ] alone follows the link), and noclobber creates a file only
# where nothing is (O_EXCL), never through a link made meanwhile.
missing() { ! [ -e "$1" ] && ! [ -L "$1" ]; }
set -C
for f in search.ini username.ini exhibit.ini; do
    if missing "$f"; then : > "$f"; fi
done
if missing login.ini; then (umask 077 && : > login.ini); fi
if missing option.ini; then printf '0,1,0\r\n' > option.ini; fi
set +C

# The browser engine refuses to run its sandbox as root.
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
exec "$program"
