#!/bin/bash
# Times the wizard's start to its painted welcome page against an empty Win32 program
# that shows one window (see bench/startup_bench.cpp). Run by hand or by make bench:
#   bash bench/startup_bench.sh [BUILD] [REPETITIONS]     (defaults: build, 7)
# BUILD is the build folder of `make build64 BUILD=...`; its distribution folder's
# instbrisko.exe, its Wine prefix and an Xvfb screen of 1024 x 768 of its own are used.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
reps=${2:-7}
case "$build" in /*) ;; *) build=$root/$build ;; esac
win64=$build/win64
cmake --build "$win64" --target instbrisko startup_bench empty_window -j2 >/dev/null ||
  { echo "cannot build the start-up benchmark in $win64 (make build64 BUILD=... first)" >&2; exit 1; }
# S: is the distribution folder and T: the Windows build in the prefix scripts/with-wine.sh makes.
exec bash "$root/scripts/with-wine.sh" --build "$build" --own-display \
  wine "$win64/tests/product/startup_bench.exe" "$reps" 'S:\instbrisko.exe' 'T:\tests\product\empty_window.exe'
