#!/usr/bin/env bash
# Installs, builds, writes the sample disc (once) and runs a sample query on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
disc=sample-disc
if [ ! -f "$disc/stkidx/security.txt" ]; then
  ./build/src/regdisc-cli sample "$disc"
fi
./build/src/regdisc-cli info "$disc"
./build/src/regdisc-cli query "$disc" psm --by "依 中文戶名" --key "陳" --next 2
