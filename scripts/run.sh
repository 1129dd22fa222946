#!/bin/bash
# Starts the wizard from the distribution folder under Wine, in the build's own
# prefix, and waits until it ends. It builds nothing itself (make run does).
#
#   scripts/run.sh BUILD DIST
#
# With a DISPLAY the wizard appears there; without one it runs on an Xvfb
# screen of its own, and this prints how to look at it.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
dist=${2:-dist}
exe=$dist/instbrisko.exe
if [ ! -f "$exe" ]; then
  echo "$exe is missing; build it with: make build64 BUILD=$build" >&2
  exit 1
fi
dist=$(cd "$dist" && pwd)

if [ -n "${DISPLAY:-}" ]; then
  exec bash "$root/scripts/with-wine.sh" --build "$build" --dist "$dist" \
    wine "$dist/instbrisko.exe"
fi

# No display: say where the wizard is once with-wine.sh has started Xvfb.
exec bash "$root/scripts/with-wine.sh" --build "$build" --dist "$dist" --own-display \
  bash -c '
    echo "The wizard runs on the Xvfb display $DISPLAY. To look at it:"
    echo "  xwd -root -silent -display $DISPLAY | convert xwd:- shot.png"
    cd "$1" && wine ./instbrisko.exe
  ' run "$dist"
