#!/bin/bash
# The shell tree's first expansion and refresh on 1,000 and 10,000 subfolders
# (see bench/shelltree_bench.cpp). Run by hand:
#   bash bench/shelltree_bench.sh [BUILD] [REPETITIONS]     (defaults: build, 5)
# The folders live on the C: drive of that build's Wine prefix
# (C:\instbrisko-shelltree-bench\) and are kept for the next run.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
reps=${2:-5}
case "$build" in /*) ;; *) build=$root/$build ;; esac
cmake --build "$build/win64" --target shelltree_bench -j2 >/dev/null
# Straight through wine (not scripts/wine-run), so that each figure shows as it comes.
exec bash "$root/scripts/with-wine.sh" --build "$build" --own-display \
  wine "$build/win64/tests/shelltree/shelltree_bench.exe" "$reps"
