#!/usr/bin/env bash
# Builds the Debian package from a configured build tree, has lintian, the
# AppStream validator and the desktop entry validator check it (each must
# report nothing), extracts it into a temporary directory and starts the
# extracted program offscreen: the package must hold everything the program
# needs to show its home page.
set -euo pipefail
build=${1:?usage: package-test.sh BUILD_DIR}
work=$(mktemp -d)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/pkg/lotscope_*.deb)
echo "package: $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
# From the binary (shlibdeps) and what it loads only at run time.
for need in libc6 libqt6core6 libqt6widgets6 libqt6webenginewidgets6 libqt6webenginecore6 libssl3 \
            qt6-qpa-plugins fonts-noto-cjk; do
  grep -q "$need" <<<"$depends" || { echo "missing dependency $need in: $depends"; exit 1; }
done

root=$work/root
dpkg-deb -x "$deb" "$root"
metainfo=usr/share/metainfo/org.example.lotscope.metainfo.xml
for f in usr/bin/lotscope usr/libexec/lotscope/lotscope usr/share/applications/lotscope.desktop \
         usr/share/icons/hicolor/scalable/apps/lotscope.svg usr/share/man/man1/lotscope.1.gz "$metainfo"; do
  [ -e "$root/$f" ] || { echo "package lacks $f"; exit 1; }
done

# What a distribution checks. Any lintian error or warning fails, as does
# any message of the two validators.
report() { echo "$1 reports:"; echo "$2"; exit 1; }
out=$(lintian --allow-root --fail-on error,warning "$deb" 2>&1) || report lintian "$out"
[ -z "$out" ] || report lintian "$out"
out=$(appstreamcli validate --no-net "$root/$metainfo" 2>&1) || report appstreamcli "$out"
! grep -qE '^[IWE]: ' <<<"$out" || report appstreamcli "$out"
out=$(desktop-file-validate "$root/usr/share/applications/lotscope.desktop" 2>&1) || report desktop-file-validate "$out"
[ -z "$out" ] || report desktop-file-validate "$out"
echo "lintian, appstreamcli validate --no-net and desktop-file-validate: nothing to report"

# cmake --install puts the manual page in place too.
cmake --install "$build" --prefix "$work/install" >/dev/null
[ -e "$work/install/share/man/man1/lotscope.1.gz" ] || { echo "cmake --install lacks the manual page"; exit 1; }
grep -q '^Categories=Network;WebBrowser;$' "$root/usr/share/applications/lotscope.desktop"
if ldd "$root/usr/libexec/lotscope/lotscope" | grep -q 'not found'; then
  echo "unresolved libraries:"; ldd "$root/usr/libexec/lotscope/lotscope" | grep 'not found'; exit 1
fi

# Start the extracted launcher with a fresh home; the engine's debugging
# endpoint tells which page it shows.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
mkdir -p "$work/home"
HOME=$work/home XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen \
  QTWEBENGINE_REMOTE_DEBUGGING=127.0.0.1:$port \
  QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking --no-first-run" \
  "$root/usr/bin/lotscope" >"$work/out.log" 2>&1 &
pid=$!
for _ in $(seq 1 60); do
  if pages=$(python3 - "$port" <<'PY' 2>/dev/null
import json, sys, urllib.request
pages = json.load(urllib.request.urlopen("http://127.0.0.1:%s/json" % sys.argv[1], timeout=2))
print(" ".join(p.get("url", "") for p in pages))
PY
  ); then
    case "$pages" in *home*) break;; esac
  fi
  kill -0 "$pid" 2>/dev/null || { echo "the program exited:"; cat "$work/out.log"; exit 1; }
  sleep 0.5
done
case "${pages:-}" in
  *home*) echo "extracted program shows: $pages";;
  *) echo "the home page never appeared (pages: ${pages:-none})"; cat "$work/out.log"; exit 1;;
esac
data=$work/home/.local/share/lotscope
for f in search.ini username.ini exhibit.ini login.ini option.ini; do
  [ -f "$data/$f" ] || { echo "first run did not create $f"; exit 1; }
done
[ "$(stat -c %a "$data/login.ini")" = 600 ] || { echo "login.ini is not 0600"; exit 1; }
[ "$(od -An -c "$data/option.ini" | tr -s ' ')" = " 0 , 1 , 0 \r \n" ] || { echo "bad option.ini"; exit 1; }
echo "package test passed"
