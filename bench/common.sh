# What every benchmark script shares; sourced from the repository's root.
#
#   bench_build TARGET...   builds the project where it is not built yet, then the targets;
#                           sets build, cli and bench
#   median                  the median of the numbers on standard input, one a line

bench_build() {
  build=${REGDISC_BUILD_DIR:-build}
  [ -f "$build/build.ninja" ] || [ -f "$build/Makefile" ] || bash scripts/build.sh
  cmake --build "$build" --target "$@" >/dev/null
  cli=$build/src/regdisc-cli
  bench=$build/bench/regdisc-bench
}

median() { sort -g | awk '{v[NR]=$1} END {if (NR == 0) print 0; else if (NR % 2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
