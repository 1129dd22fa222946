#!/bin/bash
# Runs a command with a display and a persistent wineserver for the build's own
# Wine prefix, and stops what it started when the command ends.
#
#   scripts/with-wine.sh [--build DIR] [--dist DIR] [--screen WxH] [--own-display] command...
#
# Without a DISPLAY (or with --own-display) it starts Xvfb on a free display
# number. The prefix is DIR/wineprefix (DIR defaults to build/); the distribution
# folder is the one DIR's Windows build writes (dist/ for build/, DIR/dist else).
#
# Tests delete folder trees in this prefix as root, so it is shut off from the
# host and kept quiet before the command runs:
#   - No drive maps the host's root. The drives are
#       C:  the prefix's own disk, with real profile folders
#       S:  the distribution folder, which the wizard is run from
#       T:  DIR/win64, the Windows build: the test executables and their data
#       Y:  the C: disk once more, for the tests that a second name of a protected
#           folder is still refused
#       V:  the folder INSTBRISKO_SHOTS names, when it names one (screenshots)
#   - Wine's menu and icon builder is off: it starts for every shortcut saved,
#     opens the program the shortcut points to, and opens it again when the
#     saving process ends, while the next test may be replacing that file.
#   - Wine's services, its RPC server and the desktop are running before the
#     command starts, so that no test pays for, or races with, their start.
#
# Everything runs with the address space laid out the same way every time (setarch
# -R, where the kernel allows it). Wine reserves fixed addresses just below 2 GB in
# every new process; laid out at random, the heap of Wine's loader (mapped at
# 0x7d000000) now and then starts there, and the new process dies before it runs
# ("failed to map the shared user data"), which a test sees as a program that did
# not start or ended at once without a word. Laid out the same way, the heap starts
# right after the loader.
set -u
if [ -z "${INSTBRISKO_FIXED_LAYOUT:-}" ] && setarch "$(uname -m)" -R true 2>/dev/null; then
  export INSTBRISKO_FIXED_LAYOUT=1
  exec setarch "$(uname -m)" -R bash "$0" "$@"
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
dist=
screen=1024x768
own=
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --dist) dist=$2; shift 2 ;;
    --screen) screen=$2; shift 2 ;;
    --own-display) own=1; shift ;;
    *) break ;;
  esac
done
mkdir -p "$build"
build=$(cd "$build" && pwd)
if [ -z "$dist" ]; then
  dist=$(sed -n 's/^DIST_DIR:PATH=//p' "$build/win64/CMakeCache.txt" 2>/dev/null)
  if [ -z "$dist" ]; then
    if [ "$build" = "$root/build" ]; then dist=$root/dist; else dist=$build/dist; fi
  fi
fi
mkdir -p "$dist" "$build/win64"
dist=$(cd "$dist" && pwd)

export WINEPREFIX=$build/wineprefix
# Wine's own messages are off; INSTBRISKO_WINEDEBUG turns channels on to find a fault
# (for example err+all, or +process,err+all).
export WINEDEBUG=${INSTBRISKO_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

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

# Drives: Wine makes Z: the host's root when it makes a prefix; it never makes
# it again once gone.
devices=$WINEPREFIX/dosdevices
map_drive() { rm -f "$devices/$1"; ln -s "$2" "$devices/$1"; }
rm -f "$devices/z:"
map_drive s: "$dist"
map_drive t: "$build/win64"
map_drive y: ../drive_c
rm -f "$devices/v:"
if [ -n "${INSTBRISKO_SHOTS:-}" ] && [ "${INSTBRISKO_SHOTS#/}" != "$INSTBRISKO_SHOTS" ]; then
  mkdir -p "$INSTBRISKO_SHOTS"
  map_drive v: "$(cd "$INSTBRISKO_SHOTS" && pwd)"
  export INSTBRISKO_SHOTS='V:\'
fi

# Wine links the profile's Desktop, Documents, Templates and the like to the
# Unix home folder; in our prefix they are folders of their own, so that
# shortcuts and files the tests make never land in the user's home.
find "$WINEPREFIX/drive_c/users" -type l -print0 | while IFS= read -r -d '' link; do
  rm -f "$link" && mkdir -p "$link"
done

# The tests make and remove Unix links; Wine starts Unix programs only by a
# Windows name, and no drive leads to /bin.
mkdir -p "$WINEPREFIX/drive_c/unix-tools"
cp -f /bin/ln /bin/rm "$WINEPREFIX/drive_c/unix-tools/"

wineserver -p >/dev/null 2>&1
# Without a window manager Wine must draw the window frames itself (Managed = N),
# as a person on Windows would see them. The override in the prefix keeps the
# menu builder off for every Wine program in it, whatever its environment.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f >/dev/null 2>&1 </dev/null
# The RPC server and the desktop start on first use otherwise: in the middle of
# a test. rundll32 makes a window, and with it the desktop.
wine net start rpcss >/dev/null 2>&1 </dev/null
wine rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1 </dev/null
"$@"
