#!/usr/bin/env bash
# scripts/install-deps.sh run twice against stand-ins for dpkg, apt-get and
# sudo: the first run installs what is missing, the second finds everything
# and says nothing. Then once against this machine's own dpkg, where the
# test suite's packages are all present: no package tool, no output.
set -euo pipefail
script=${1:?usage: install-deps-test.sh INSTALL-DEPS}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "install-deps test: $*"; exit 1; }

mkdir "$work/bin" "$work/real"
: > "$work/installed"
cat > "$work/bin/dpkg-query" <<STUB
#!/bin/sh
for a; do case \$a in -*) ;; *) grep -qxF -- "\$a" "$work/installed" && echo "\$a install ok installed";; esac; done
STUB
cat > "$work/bin/apt-get" <<STUB
#!/bin/sh
echo "apt-get \$*" >> "$work/calls"
[ "\$1" = install ] && for a; do case \$a in -*|install) ;; *) echo "\$a" >> "$work/installed";; esac; done
exit 0
STUB
printf '#!/bin/sh\necho "sudo $*" >> "%s/calls"\nexec "$@"\n' "$work" > "$work/bin/sudo"
for t in apt-get sudo; do cp "$work/bin/$t" "$work/real/$t"; done
chmod +x "$work"/bin/* "$work"/real/*

PATH=$work/bin:$PATH bash "$script" > "$work/first" 2>&1 || fail "first run failed: $(cat "$work/first")"
grep -q 'installing ' "$work/first" || fail "first run did not say what it installs: $(cat "$work/first")"
grep -q '^apt-get install' "$work/calls" || fail "first run installed nothing"
: > "$work/calls"
PATH=$work/bin:$PATH bash "$script" > "$work/second" 2>&1 || fail "second run failed: $(cat "$work/second")"
[ ! -s "$work/second" ] || fail "second run printed: $(cat "$work/second")"
[ ! -s "$work/calls" ] || fail "second run called: $(cat "$work/calls")"

PATH=$work/real:$PATH bash "$script" > "$work/here" 2>&1 || fail "run on this machine failed: $(cat "$work/here")"
[ ! -s "$work/here" ] && [ ! -s "$work/calls" ] ||
  fail "on this machine it would install: $(cat "$work/here" "$work/calls")"
echo "install-deps test passed"
