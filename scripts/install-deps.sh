#!/usr/bin/env bash
# Installs everything Lotscope needs to build, test and run on Debian 12.
# Idempotent and unattended: it first asks dpkg which packages are present,
# and on a machine that has them all it says nothing, runs no apt-get and
# asks for no password (so an offline start works).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
  qt6-tools-dev qt6-tools-dev-tools qt6-svg-dev libqt6opengl6-dev
  qt6-qpa-plugins libgl-dev qt6-translations-l10n libqt6svg6
  libssl-dev openssl
  libgtest-dev libgmock-dev
  clang libclang-rt-dev clang-format
  fonts-noto-cjk
  xvfb xauth
  python3
  dpkg-dev file
  lintian appstream desktop-file-utils
)

# One query for all; a package dpkg has never heard of is simply not listed.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
            awk '$2 == "install" && $4 == "installed" { print $1 }' || true)
missing=()
for p in "${packages[@]}"; do
  grep -qxF -- "$p" <<<"$installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: missing ${missing[*]}; install them as root" >&2; exit 1; }
  SUDO=sudo
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
