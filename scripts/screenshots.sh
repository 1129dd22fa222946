#!/bin/bash
# Takes a picture of every wizard page and dialog into docs/screenshots/, by running the
# end-to-end tests, which save the screen at each page they reach when INSTBRISKO_SHOTS
# names a folder; then the welcome page at 96 and at 144 pixels per inch. make screenshots
# builds first; this builds nothing.
#
#   scripts/screenshots.sh [BUILD]     (default: build)
#
# It runs on an Xvfb screen of 1024 x 768 of its own, in a Wine prefix of its own
# (BUILD/screenshots/wineprefix, its T: drive still the build's Windows folder), so that
# the pixel density set there never reaches the prefix of the tests.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
case "$build" in /*) ;; *) build=$root/$build ;; esac
[ -f "$build/win64/CMakeCache.txt" ] || { echo "no $build/win64: build it first (make build64)" >&2; exit 1; }
out=$root/docs/screenshots
shots=$build/screenshots
mkdir -p "$shots" "$out"
[ -e "$shots/win64" ] || ln -s ../win64 "$shots/win64"
raw=$(mktemp -d)
trap 'rm -rf "$raw"' EXIT

# inside_wine DPI TEST_REGEX: the tests that match, with the screen's density at DPI.
inside_wine() {
  INSTBRISKO_SHOTS=$raw/$1 bash "$root/scripts/with-wine.sh" --build "$shots" --own-display bash -c '
    wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 </dev/null
    ctest --test-dir "$2" -R "$3" --output-on-failure >&2
    status=$?
    wine reg delete "HKCU\\Control Panel\\Desktop" /v LogPixels /f >/dev/null 2>&1 </dev/null
    exit $status
  ' shots "$1" "$build/win64" "$2"
}

# png BMP NAME: the windows on the screen, cut out of the black around them.
# Without dates inside, so that an unchanged page gives the same file.
png() {
  convert "$1" -bordercolor black -border 1 -trim +repage -strip -define png:exclude-chunks=date,time "$out/$2.png"
}

echo "Every page and dialog the end-to-end tests reach"
inside_wine 96 'e2e_wizard_test|e2e_folder_dialogs_test'
for f in "$raw"/96/*.bmp; do
  name=$(basename "$f" .bmp)
  png "$f" "${name// /-}"
done
for dpi in 96 144; do
  echo "The welcome page at $dpi pixels per inch"
  # At 144 the pages keep their pixel sizes (README, DPI), so the screen test's
  # checks of point sizes do not hold there; its picture is what is wanted.
  if [ $dpi = 96 ]; then inside_wine $dpi 'e2e_screen_test'; else inside_wine $dpi 'e2e_screen_test' || true; fi
  png "$raw/$dpi/welcome on 1024x768.bmp" "welcome-${dpi}dpi"
done
rm -f "$out/language-on-1024x768.png" "$out/welcome-on-1024x768.png"
ls -1 "$out"
