#!/usr/bin/env bash
# Pictures of the main menu and of every screen after a query, taken from the real
# regdisc binary under Xvfb, at 100% and 150% scaling.
#
#   bash scripts/screenshots.sh [OUTDIR]        (default: screenshots/)
#
# REGDISC_BUILD_DIR names another build folder than build/ (it must be configured).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-screenshots}")
build=${REGDISC_BUILD_DIR:-build}
if [ "$build" = build ]; then
  bash scripts/build.sh
else
  cmake --build "$build" --target screenshot_tour regdisc-cli
fi

disc=$(mktemp -d)
trap 'rm -rf "$disc"' EXIT
"$build/src/regdisc-cli" sample "$disc" 2>/dev/null

# The tour (the desktop application as regdisc starts it, in a tool of its own) opens
# every screen from the main menu, runs a query on each query screen, saves
# <screen>.png and ends the run.
for scale in 1 1.5; do
  dir="$out/scale-$scale"
  rm -rf "$dir"
  QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale \
    xvfb-run -a -s "-screen 0 1920x1200x24" "$build/tests/gui/screenshot_tour" "$dir" "$disc" 2>/dev/null
  echo "$(ls "$dir" | wc -l) pictures in $dir"
done
