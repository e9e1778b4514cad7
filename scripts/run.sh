#!/usr/bin/env bash
# Installs, builds, writes the sample disc (once) and starts the desktop application on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
disc=sample-disc
# A disc written before the sample carried its PDF copies is written again.
if [ ! -f "$disc/stkidx/security.txt" ] || [ ! -f "$disc/stkidx/X001_pla.pdf" ]; then
  rm -rf "$disc"
  ./build/src/regdisc-cli sample "$disc"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no desktop session (DISPLAY is not set); see README.md, 'Without a desktop'." >&2
  ./build/src/regdisc-cli info "$disc"
  exit 1
fi
exec ./build/src/regdisc "$disc"
