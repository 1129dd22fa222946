#!/bin/bash
# Runs a command with a display and a persistent wineserver for the build's own
# Wine prefix, and stops what it started when the command ends.
#
#   scripts/with-wine.sh [--build DIR] [--screen WxH] [--own-display] command...
#
# Without a DISPLAY (or with --own-display) it starts Xvfb on a free
# display number. The prefix is DIR/wineprefix (DIR defaults to build/).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
screen=1024x768
own=
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --screen) screen=$2; shift 2 ;;
    --own-display) own=1; shift ;;
    *) break ;;
  esac
done
mkdir -p "$build"
build=$(cd "$build" && pwd)
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

xpid=
cleanup() {
  wineserver -k >/dev/null 2>&1
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -n "$own" ] || [ -z "${DISPLAY:-}" ]; then
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${screen}x24" -nolisten tcp >/dev/null 2>&1 &
  xpid=$!
  for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  export DISPLAY=":$n"
  export INSTBRISKO_XVFB=1
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX (once, about 10 s)" >&2
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# Wine links the profile's Desktop, Documents and the like to the Unix home
# folder; in our prefix they are folders of their own, so that shortcuts and
# files the tests make never land in the user's home.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
done
wineserver -p >/dev/null 2>&1
# Start Wine's own services now, away from the command's output handles. Without
# a window manager Wine must draw the window frames itself (Managed = N), as a
# person on Windows would see them.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
"$@"
