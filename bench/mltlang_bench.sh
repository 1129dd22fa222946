#!/bin/bash
# Times a language switch on the wizard's seven forms through their translation
# components against the same texts set directly on the same windows, in one run.
# Run by hand:
#   bash bench/mltlang_bench.sh [BUILD] [RUNS [SWITCHES]]     (defaults: build, 11, 400)
# BUILD is the build folder of `make build64 BUILD=...`; its instbrisko.exe holds the
# forms, and its Wine prefix and an Xvfb display of its own are used.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
case "$build" in /*) ;; *) build=$root/$build ;; esac
shift || true
exe=$build/win64/tests/setup/bench/mltlang_bench.exe
[ -f "$exe" ] || { echo "no $exe: build it first (make build64 BUILD=...)" >&2; exit 1; }
exec bash "$root/scripts/with-wine.sh" --build "$build" --own-display "$root/scripts/wine-run" "$exe" "$@"
