#!/usr/bin/env bash
# Installs, builds and runs every test: the sources' format, the whole suite, then the
# Qt-free tests again under AddressSanitizer and UndefinedBehaviorSanitizer, then a short
# run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
bash scripts/check-format.sh
export QT_QPA_PLATFORM=offscreen
(cd build && ctest --output-on-failure -j "$(nproc)")

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DREGDISC_CORE_ONLY=ON -DREGDISC_SANITIZE=ON "${launcher[@]}" >/dev/null
cmake --build build-asan -j "$(nproc)"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$(nproc)")

bash scripts/fuzz.sh --test
