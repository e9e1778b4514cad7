#!/usr/bin/env bash
# A long list looked up against SQLite's join: K ID numbers drawn from the holder register
# of a sample disc of N records (the disc and its SQLite copy of bench/run.sh, written once),
# then, R times interleaved, `regdisc-cli batch` of the list in the holder register (from
# 20,000 inputs on it walks by a skip index, whose build is part of its time) against SQLite
# joining the same list to its indexed table, both writing the matching records to CSV.
# Prints the medians and their ratio (regdisc / SQLite: below 1 regdisc is faster).
#
#   bash bench/batch.sh [--records N] [--inputs K] [--repetitions R] [--workdir DIR]
#
# Defaults: 1000000 records, 10000 inputs, 5 repetitions, work folder bench-data/.
set -euo pipefail
cd "$(dirname "$0")/.."

records=1000000
inputs=10000
repetitions=5
work=bench-data
while [ $# -gt 0 ]; do
  case "$1" in
    --records) records=$2; shift 2 ;;
    --inputs) inputs=$2; shift 2 ;;
    --repetitions) repetitions=$2; shift 2 ;;
    --workdir) work=$2; shift 2 ;;
    *) echo "usage: bench/batch.sh [--records N] [--inputs K] [--repetitions R] [--workdir DIR]" >&2
       exit 2 ;;
  esac
done

. bench/common.sh
bench_build regdisc-bench regdisc-cli regdisc-pdfcopy
mkdir -p "$work"
disc=$work/disc-$records
db=$work/disc-$records.sqlite
keys=$work/keys-$records
[ -f "$disc/stkidx/security.txt" ] || "$cli" sample "$disc" --records "$records" 2>/dev/null
[ -f "$db" ] || "$bench" load "$disc" "$db"
[ -f "$keys/id.txt" ] || "$bench" keys "$disc" "$keys"

list=$work/ids-$records-$inputs.txt
sed 's/ *$//' "$keys/id.txt" | grep -v '^$' | shuf -n "$inputs" --random-source=<(yes) >"$list"
sql=$work/join-$records-$inputs.sql
cat >"$sql" <<SQL
CREATE TEMP TABLE ids(id TEXT);
.mode csv
.import $list ids
.headers on
.output $work/join.csv
SELECT psm.* FROM ids JOIN psm ON psm.id = ids.id;
SQL

timed() { /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null 2>&1 || true; read -r wall kb <"$work/time.txt"; }

echo "== batch of $inputs IDs in $records records against SQLite's join, warm page cache, $repetitions times (load $(cut -d' ' -f1 /proc/loadavg))"
"$cli" batch "$disc" "$list" --registers psm --out "$work/batch.csv" --force >/dev/null 2>&1 || true
sqlite3 "$db" <"$sql" >/dev/null
ours=() theirs=()
for i in $(seq "$repetitions"); do
  timed "$cli" batch "$disc" "$list" --registers psm --out "$work/batch.csv" --force
  ours+=("$wall")
  timed sqlite3 "$db" -init /dev/null <"$sql"
  theirs+=("$wall")
  echo "  run $i: regdisc ${ours[-1]} s, SQLite ${theirs[-1]} s"
done
o=$(printf '%s\n' "${ours[@]}" | median)
t=$(printf '%s\n' "${theirs[@]}" | median)
printf '  median: regdisc %.2f s, SQLite %.2f s, ratio %.2fx; rows %d / %d\n' "$o" "$t" "$(awk "BEGIN {print $o / $t}")" \
  "$(($(wc -l <"$work/batch.csv") - 1))" "$(($(wc -l <"$work/join.csv") - 1))"
