#!/usr/bin/env bash
# Comparing two book closures against the statistics of each: writes a sample disc of N
# holder records and its next book closure (`sample --after`) once, then runs, R times
# interleaved, `regdisc-cli stats` on each of the two discs and `regdisc-cli compare` on
# the pair, with a warm page cache, and prints the medians: the time of compare against the
# time of the two stats runs together, and the peak memory of compare against that of one
# stats run.
#
#   bash bench/compare.sh [--records N] [--repetitions R] [--workdir DIR]
#
# Defaults: 1000000 records, 5 repetitions, work folder bench-data/. REGDISC_BUILD_DIR
# names another build folder than build/.
set -euo pipefail
cd "$(dirname "$0")/.."

records=1000000
repetitions=5
work=bench-data
while [ $# -gt 0 ]; do
  case "$1" in
    --records) records=$2; shift 2 ;;
    --repetitions) repetitions=$2; shift 2 ;;
    --workdir) work=$2; shift 2 ;;
    *) echo "usage: bench/compare.sh [--records N] [--repetitions R] [--workdir DIR]" >&2
       exit 2 ;;
  esac
done

. bench/common.sh
bench_build regdisc-cli regdisc-pdfcopy
mkdir -p "$work"
older=$work/closing-$records
newer=$work/closing-$records-later
[ -f "$older/stkidx/security.txt" ] || "$cli" sample "$older" --records "$records" 2>/dev/null
[ -f "$newer/stkidx/security.txt" ] || "$cli" sample "$newer" --after "$older" --seed 2 2>/dev/null

timed() { /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null; read -r wall kb <"$work/time.txt"; }

echo "== compare on two registers of $records records against stats on each, warm page cache, $repetitions times"
# The page cache warmed with both discs' holder registers.
"$cli" stats "$older" --json >/dev/null
"$cli" stats "$newer" --json >/dev/null
pairs=() compares=() stats_rss=() compare_rss=()
for i in $(seq "$repetitions"); do
  timed "$cli" stats "$older" --json
  first=$wall; stats_rss+=("$kb")
  timed "$cli" stats "$newer" --json
  second=$wall; stats_rss+=("$kb")
  pairs+=("$(awk "BEGIN {print $first + $second}")")
  timed "$cli" compare "$older" "$newer" --json
  compares+=("$wall"); compare_rss+=("$kb")
  echo "  run $i: stats ${first} s + ${second} s (${stats_rss[-2]} / ${stats_rss[-1]} KB peak); compare ${wall} s (${kb} KB peak)"
done
p=$(printf '%s\n' "${pairs[@]}" | median)
c=$(printf '%s\n' "${compares[@]}" | median)
s=$(printf '%s\n' "${stats_rss[@]}" | median | cut -d. -f1)
m=$(printf '%s\n' "${compare_rss[@]}" | median | cut -d. -f1)
printf '  median: two stats runs %.2f s, compare %.2f s, ratio %.2fx (at most 2)\n' "$p" "$c" \
  "$(awk "BEGIN {print $c / $p}")"
printf '  median peak memory: stats %d MB, compare %d MB, ratio %.2fx (at most 2)\n' "$((s / 1024))" \
  "$((m / 1024))" "$(awk "BEGIN {print $m / $s}")"
