#!/usr/bin/env bash
# Runs the commands of the README's "Installing" section, in their order, on
# a build tree where only the program was built, as scripts/run.sh leaves
# it. The installation goes below a temporary DESTDIR; the package is built
# where the README says. Every command must succeed, and what each one
# promises must be there.
set -euo pipefail
source=${1:?usage: install-test.sh SOURCE_DIR WORK_DIR}
work=${2:?usage: install-test.sh SOURCE_DIR WORK_DIR}
# The tree is kept between runs (a rebuild takes only what changed); what the
# commands produce is not.
mkdir -p "$work/tree"
rm -rf "$work/root" "$work/tree/build"/*.deb "$work/tree/build/_CPack_Packages"

# The build part of run.sh.
cmake -S "$source" -B "$work/tree/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
rm -f "$work/tree/build/packaging/lotscope.1.gz" "$work/tree/build/packaging/changelog.gz"
cmake --build "$work/tree/build" --target lotscope >/dev/null

# The fenced block under "## Installing", one command a line.
commands=$(awk '/^## Installing/ { section = 1; next }
                section && /^## / { exit }
                section && /^```/ { if (block) exit; block = 1; next }
                block { print }' "$source/README.md")
[ -n "$commands" ] || { echo "README.md has no commands under Installing"; exit 1; }
cd "$work/tree"
while IFS= read -r line; do
  command=${line%%#*}
  [ -n "${command// /}" ] || continue
  echo "+ $command"
  # Only the install goes below DESTDIR: cpack stages its own.
  case $command in
    *"cmake --install"*) destdir=$work/root;;
    *) destdir=;;
  esac
  env -u DESTDIR ${destdir:+DESTDIR=$destdir} bash -c "set -e; $command" >"$work/out.log" 2>&1 ||
    { cat "$work/out.log"; echo "failed: $command"; exit 1; }
done <<<"$commands"

for f in bin/lotscope libexec/lotscope/lotscope share/man/man1/lotscope.1.gz share/doc/lotscope/changelog.gz \
         share/doc/lotscope/copyright share/applications/lotscope.desktop; do
  [ -e "$work/root/usr/local/$f" ] || { echo "cmake --install left out $f"; exit 1; }
done
ls "$work/tree/build"/lotscope_*_amd64.deb >/dev/null || { echo "cpack made no package"; exit 1; }
echo "installed and packaged as the README says"
