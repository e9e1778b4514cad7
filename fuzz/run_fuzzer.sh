#!/usr/bin/env bash
# Runs one libFuzzer target on its seed corpus. New inputs go to a scratch folder, never into
# the checked-in seeds; a crash or hang leaves its input in the working folder
# (crash-*, timeout-*, oom-*).
#
#   run_fuzzer.sh FUZZER SEEDS [libFuzzer options, e.g. -runs=20000 or -max_total_time=600]
set -euo pipefail
fuzzer=$1
seeds=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A step that takes 10 s is a hang; a run over 2 GB is a leak of memory.
"$fuzzer" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$@" "$work" "$seeds"
