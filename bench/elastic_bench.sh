#!/bin/bash
# Times the elastic layout's rescale of a form of 500 named controls through 10
# size changes against a bare SetWindowPos loop over the same number of windows,
# and counts the paint messages per control and rescale. Run by hand or by make bench:
#   bash bench/elastic_bench.sh [BUILD] [RUNS [SIZE_CHANGES]]     (defaults: build, 5, 10)
# BUILD is the build folder of `make build64 BUILD=...`; its Wine prefix is used,
# on an Xvfb screen of 1024 x 768 of its own.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
runs=${2:-5}
changes=${3:-10}
case "$build" in /*) ;; *) build=$root/$build ;; esac
bench_exe=$build/win64/tests/elastic/elastic_bench.exe
[ -f "$bench_exe" ] || { echo "no $bench_exe: build it first (make build64 BUILD=...)" >&2; exit 1; }
exec bash "$root/scripts/with-wine.sh" --build "$build" --own-display wine "$bench_exe" "$runs" "$changes"
