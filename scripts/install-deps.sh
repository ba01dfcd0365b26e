#!/usr/bin/env bash
# Installs everything Lotscope needs to build, test and run on Debian 12.
# Idempotent and unattended: packages already present are skipped.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
  qt6-tools-dev qt6-tools-dev-tools libqt6svg6-dev libqt6opengl6-dev
  qt6-qpa-plugins libgl-dev qt6-translations-l10n libqt6svg6
  libssl-dev openssl
  libgtest-dev libgmock-dev
  clang libclang-rt-dev
  fonts-noto-cjk
  xvfb xauth
  python3
  dpkg-dev file
  lintian appstream desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
