#!/bin/bash
# Times the whole installation run against unzip.exe alone on the same archive: 5,000
# files of about 40 KB (half random, half text, about 200 MB) in 50 folders, plus the
# product's BRISKO.EXE and two font files at the top. Then the same on the product's own
# small BRISKO.ZIP, where the run's fixed part (fonts, links, settings, record) shows.
# Run by hand:
#   bash bench/install_bench.sh [BUILD] [REPETITIONS]     (defaults: build, 5)
# BUILD is the build folder of `make build64 BUILD=...`; its unzip.exe, install_bench.exe
# and Wine prefix are used. The run installs into C:\instbrisko bench\ of that prefix,
# with shortcuts, fonts and registry values, and removes them again after each repetition.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
reps=${2:-5}
case "$build" in /*) ;; *) build=$root/$build ;; esac

if [ -z "${INSTALL_BENCH_INNER:-}" ]; then
  exec env INSTALL_BENCH_INNER=1 bash "$root/scripts/with-wine.sh" --build "$build" bash "$0" "$build" "$reps"
fi

unzip_exe=$build/win64/tools/unzip/unzip.exe
bench_exe=$build/win64/tests/setup/bench/install_bench.exe
product_zip=$(sed -n 's/^DIST_DIR:PATH=//p' "$build/win64/CMakeCache.txt")/BRISKO.ZIP
for f in "$unzip_exe" "$bench_exe" "$product_zip"; do
  [ -f "$f" ] || { echo "no $f: build it first (make build64 BUILD=...)" >&2; exit 1; }
done
command -v zip >/dev/null || { echo "needs zip" >&2; exit 1; }

# On the prefix's own C: disk, the one place of the host its programs reach.
work=$(mktemp -d "$WINEPREFIX/drive_c/install_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
winpath() { echo "C:${1#"$WINEPREFIX/drive_c"}" | tr / '\\'; }

echo "Making the payload in $work"
head -c 100000000 /dev/urandom > "$work/random"
head -c 75000000 /dev/urandom | base64 -w 76 | head -c 100000000 > "$work/text"
mkdir -p "$work/payload" "$work/setup" "$work/product"
for d in $(seq -w 0 49); do
  mkdir "$work/payload/d$d"
  if [ $((10#$d % 2)) -eq 0 ]; then pool=random; else pool=text; fi
  dd if="$work/$pool" bs=4000000 skip=$((10#$d / 2)) count=1 status=none |
    split -b 40000 -d -a 3 --additional-suffix=.dat - "$work/payload/d$d/f"
done
rm "$work/random" "$work/text"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$work/payload/TAHOMA.TTF"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf "$work/payload/TAHOMABD.TTF"
cp "$unzip_exe" "$work/payload/BRISKO.EXE"
(cd "$work/payload" && zip -q -r "$work/setup/BRISKO.ZIP" .)
cp "$unzip_exe" "$work/setup/unzip.exe"
cp "$unzip_exe" "$product_zip" "$work/product/"
echo "Archive: $(find "$work/payload" -type f | wc -l) files, $(du -sm "$work/payload" | cut -f1) MB of data, $(( $(stat -c %s "$work/setup/BRISKO.ZIP") / 1000000 )) MB packed"
rm -rf "$work/payload"

wine "$bench_exe" "$(winpath "$work/setup")" "$reps" "$(winpath "$work/product")" </dev/null 2>&1 | tr -d '\r' |
  grep -v -e ' extracted from ' -e '^unzip: '
