#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) into
# build-fuzz/ and runs them one after the other, on one core.
#
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]   each target for SECONDS (default 60); the
#                                                corpus grows in build-fuzz/corpus/TARGET,
#                                                crashes and hangs stay in build-fuzz/artifacts/
#   bash scripts/fuzz.sh --test                  each target for its short fixed number of runs
#                                                on the checked-in seeds (the test command)
#
# Targets: disc_info listing record_text lookup tools (fuzz/fuzz_TARGET.cpp; tools starts
# from the lookup target's seeds).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

# The newest clang++-N installed, or clang++ on the PATH.
compiler=$(compgen -c clang++- | grep -E '^clang\+\+-[0-9]+$' | sort -t- -k2 -n -u | tail -n 1 || true)
if [ -z "$compiler" ]; then compiler=clang++; fi
if ! command -v "$compiler" >/dev/null; then
  echo "fuzz.sh: no clang++ found (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$compiler" \
  -DREGDISC_CORE_ONLY=ON -DREGDISC_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j "$(nproc)"

export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
if [ "${1:-}" = "--test" ]; then
  cd build-fuzz && exec ctest --output-on-failure -L fuzz
fi

seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=(disc_info listing record_text lookup tools); fi
mkdir -p build-fuzz/artifacts
for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$target
  mkdir -p "$corpus"
  seeds=fuzz/corpus/$target
  if [ "$target" = tools ]; then seeds=fuzz/corpus/lookup; fi
  echo "== $target: $seconds s"
  ./build-fuzz/fuzz/fuzz_"$target" -timeout=10 -rss_limit_mb=2048 -max_total_time="$seconds" \
    -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/"$target"- "$corpus" "$seeds"
done
