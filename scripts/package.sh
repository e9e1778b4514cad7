#!/usr/bin/env bash
# Builds the Debian package regdisc_<version>_<architecture>.deb into the top folder of
# the checkout, ready for `apt-get install ./regdisc_*.deb`.
#
# The programs are built apart from build/ (in build-package/) with Debian's own compiler
# flags: optimised, with fortified C library calls, a stack protector and read-only
# relocations, as Debian builds its packages.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CXXFLAGS $CPPFLAGS" LDFLAGS
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=None -DREGDISC_BUILD_TESTS=OFF \
  -DREGDISC_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
# What the package installs: the programs and what packaging/ makes (no tests, no benchmark).
cmake --build build-package -j "$(nproc)" --target src/all packaging/all

rm -f regdisc_*.deb
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd build-package && cpack -G DEB -B "$out" >/dev/null)
mv "$out"/regdisc_*.deb .
ls -l regdisc_*.deb
