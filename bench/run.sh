#!/usr/bin/env bash
# The project's benchmark. Writes a sample disc of N holder records and the same holder
# register in a SQLite database (once; both are kept under the work folder), then runs
# regdisc-bench with a warm page cache and again with a cold one, and prints the ratios of
# the medians (regdisc / SQLite; below 1 regdisc is faster). With --writer W it first
# times `regdisc-cli sample` W times, interleaved with sorting the register's three key
# columns with `sort`, and prints the medians, the ratio and the writer's peak memory.
# With --stats S it times `regdisc-cli stats` S times instead of the lookups, interleaved
# with the same holding levels computed by SQLite (bench/stats_levels.sql) on the register
# exported to SQLite, and prints the medians, the ratio and both peaks of memory.
#
#   bash bench/run.sh [--records N] [--repetitions R] [--writer W] [--stats S] [--no-cold]
#                     [--workdir DIR] [-- regdisc-bench flags]
#
# Defaults: 100000 records, 5 repetitions, work folder bench-data/. REGDISC_BUILD_DIR
# names another build folder than build/.
set -euo pipefail
cd "$(dirname "$0")/.."

records=100000
repetitions=5
writer=0
stats=0
cold=1
work=bench-data
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --records) records=$2; shift 2 ;;
    --repetitions) repetitions=$2; shift 2 ;;
    --writer) writer=$2; shift 2 ;;
    --stats) stats=$2; shift 2 ;;
    --no-cold) cold=0; shift ;;
    --workdir) work=$2; shift 2 ;;
    --) shift; extra=("$@"); break ;;
    *) echo "usage: bench/run.sh [--records N] [--repetitions R] [--writer W] [--stats S] [--no-cold] [--workdir DIR] [-- flags]" >&2
       exit 2 ;;
  esac
done

. bench/common.sh
bench_build regdisc-bench regdisc-cli regdisc-pdfcopy
mkdir -p "$work"
disc=$work/disc-$records
db=$work/disc-$records.sqlite
keys=$work/keys-$records

now() { date +%s.%N; }

if [ "$writer" -gt 0 ]; then
  echo "== the disc writer: regdisc-cli sample --records $records against sort of its keys, $writer times"
  sample_times=() sort_times=() rss=()
  for i in $(seq "$writer"); do
    rm -rf "$disc" "$db"
    /usr/bin/time -f "%e %M" -o "$work/time.txt" "$cli" sample "$disc" --records "$records" 2>/dev/null
    read -r wall kb <"$work/time.txt"
    sample_times+=("$wall")
    rss+=("$kb")
    [ -f "$keys/name.txt" ] || "$bench" keys "$disc" "$keys"
    start=$(now)
    for k in id account name; do LC_ALL=C sort "$keys/$k.txt" -o /dev/null; done
    sort_times+=("$(awk "BEGIN {print $(now) - $start}")")
    echo "  run $i: sample ${wall} s, ${kb} KB peak; three sorts ${sort_times[-1]} s"
  done
  s=$(printf '%s\n' "${sample_times[@]}" | median)
  t=$(printf '%s\n' "${sort_times[@]}" | median)
  m=$(printf '%s\n' "${rss[@]}" | median)
  printf '  median: sample %.2f s (%d MB peak), sort %.2f s, ratio %.2fx\n' "$s" "$((m / 1024))" "$t" \
    "$(awk "BEGIN {print $s / $t}")"
fi

[ -f "$disc/stkidx/security.txt" ] || "$cli" sample "$disc" --records "$records" 2>/dev/null

if [ "$stats" -gt 0 ]; then
  exported=$work/disc-$records-export.sqlite
  [ -f "$exported" ] || "$cli" export "$disc" psm --out "$exported" >/dev/null
  echo "== holder statistics on $records records, warm page cache: regdisc-cli stats against SQLite, $stats times"
  "$cli" stats "$disc" --json >/dev/null
  sqlite3 "$exported" <bench/stats_levels.sql >/dev/null
  ours=() theirs=() our_rss=() their_rss=()
  for i in $(seq "$stats"); do
    /usr/bin/time -f "%e %M" -o "$work/time.txt" "$cli" stats "$disc" --json >/dev/null
    read -r wall kb <"$work/time.txt"
    ours+=("$wall") our_rss+=("$kb")
    /usr/bin/time -f "%e %M" -o "$work/time.txt" sqlite3 "$exported" <bench/stats_levels.sql >/dev/null
    read -r wall kb <"$work/time.txt"
    theirs+=("$wall") their_rss+=("$kb")
    echo "  run $i: stats ${ours[-1]} s, ${our_rss[-1]} KB peak; SQLite ${theirs[-1]} s, ${their_rss[-1]} KB peak"
  done
  o=$(printf '%s\n' "${ours[@]}" | median)
  t=$(printf '%s\n' "${theirs[@]}" | median)
  printf '  median: stats %.2f s (%d MB peak), SQLite %.2f s (%d MB peak), ratio %.2fx\n' "$o" \
    "$(($(printf '%s\n' "${our_rss[@]}" | median | cut -d. -f1) / 1024))" "$t" \
    "$(($(printf '%s\n' "${their_rss[@]}" | median | cut -d. -f1) / 1024))" "$(awk "BEGIN {print $o / $t}")"
  exit 0
fi

[ -f "$db" ] || "$bench" load "$disc" "$db"

flags=(--benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true
       --benchmark_report_aggregates_only=true --benchmark_color=false)
echo "== lookups on $records records, warm page cache"
"$bench" run "$disc" "$db" "${flags[@]}" "${extra[@]}"
if [ "$cold" = 1 ]; then
  echo "== first match, cold page cache"
  "$bench" run "$disc" "$db" --cold "${flags[@]}" "${extra[@]}"
fi
