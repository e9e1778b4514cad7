#!/usr/bin/env bash
# Installs every Debian package that regdisc needs to build, test and run.
# Idempotent and quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libicu-dev
  qt6-base-dev libgl-dev
  qt6-charts-dev libqt6opengl6-dev  # Qt Charts; its CMake package needs Qt OpenGL's
  libgtest-dev
  libbenchmark-dev libsqlite3-dev sqlite3 time
  fonts-noto-cjk fonts-arphic-uming
  qt6-translations-l10n
  libxlsxwriter-dev
  python3 python3-openpyxl
  poppler-utils
  xvfb xauth
  xdg-utils
  clang-format
  clang libclang-rt-dev  # the fuzz targets (libFuzzer)
  strace
  help2man dpkg-dev lintian desktop-file-utils appstream man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
