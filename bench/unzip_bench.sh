#!/bin/bash
# Times our unzip.exe under Wine against the native Info-ZIP unzip on the same archive:
# 5,000 files of about 40 KB (half random, half text, about 200 MB) in 50 folders.
# Run by hand:
#   bash bench/unzip_bench.sh [BUILD] [REPETITIONS]     (defaults: build, 3)
# BUILD is the build folder of `make build64 BUILD=...`; its unzip.exe and Wine prefix
# are used. Prints each repetition, the medians and the ratio Wine / native.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
reps=${2:-3}
case "$build" in /*) ;; *) build=$root/$build ;; esac

# Wine wants a persistent server and a prefix: run again inside the wrapper that has them.
if [ -z "${UNZIP_BENCH_INNER:-}" ]; then
  exec env UNZIP_BENCH_INNER=1 bash "$root/scripts/with-wine.sh" --build "$build" bash "$0" "$build" "$reps"
fi

exe=$build/win64/tools/unzip/unzip.exe
[ -f "$exe" ] || { echo "no $exe: build it first (make build64 BUILD=...)" >&2; exit 1; }
command -v unzip >/dev/null && command -v zip >/dev/null || { echo "needs zip and unzip" >&2; exit 1; }

# On the prefix's own C: disk, the one place of the host its programs reach.
work=$(mktemp -d "$WINEPREFIX/drive_c/unzip_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
winpath() { echo "C:${1#"$WINEPREFIX/drive_c"}" | tr / '\\'; }
now() { date +%s.%N; }

echo "Making the payload in $work"
head -c 100000000 /dev/urandom > "$work/random"
head -c 75000000 /dev/urandom | base64 -w 76 | head -c 100000000 > "$work/text"
mkdir "$work/payload"
for d in $(seq -w 0 49); do
  mkdir "$work/payload/d$d"
  if [ $((10#$d % 2)) -eq 0 ]; then pool=random; else pool=text; fi
  dd if="$work/$pool" bs=4000000 skip=$((10#$d / 2)) count=1 status=none |
    split -b 40000 -d -a 3 --additional-suffix=.dat - "$work/payload/d$d/f"
done
rm "$work/random" "$work/text"
(cd "$work" && zip -q -r payload.zip payload)
files=$(find "$work/payload" -type f | wc -l)
echo "Archive: $files files, $(du -sm "$work/payload" | cut -f1) MB of data, $(( $(stat -c %s "$work/payload.zip") / 1000000 )) MB packed"
rm -rf "$work/payload"
: > "$work/empty.txt"; (cd "$work" && zip -q empty.zip empty.txt)

native() { rm -rf "$work/n"; local t=$(now); unzip -o -d "$work/n" "$work/payload.zip" >/dev/null; awk -v a="$(now)" -v b="$t" 'BEGIN {print a - b}'; }
ours() {
  rm -rf "$work/w"; local t=$(now)
  wine "$exe" -o -d "$(winpath "$work/w")" "$(winpath "$work/payload.zip")" >/dev/null 2>&1 </dev/null
  awk -v a="$(now)" -v b="$t" 'BEGIN {print a - b}'
}
startup() {
  rm -rf "$work/s"; local t=$(now)
  wine "$exe" -o -d "$(winpath "$work/s")" "$(winpath "$work/empty.zip")" >/dev/null 2>&1 </dev/null
  [ -f "$work/s/empty.txt" ] || { echo "unzip.exe failed on the empty archive" >&2; exit 1; }
  awk -v a="$(now)" -v b="$t" 'BEGIN {print a - b}'
}

# One untimed run each checks that both produce the same tree and warms the caches.
ours >/dev/null; native >/dev/null
diff -r -q "$work/n" "$work/w" >/dev/null || { echo "the two extractions differ" >&2; exit 1; }

n_times=(); w_times=(); s_times=()
for i in $(seq "$reps"); do
  if [ $((i % 2)) -eq 1 ]; then n=$(native); w=$(ours); else w=$(ours); n=$(native); fi
  s=$(startup)
  n_times+=("$n"); w_times+=("$w"); s_times+=("$s")
  printf 'run %d: native unzip %.2f s, unzip.exe under Wine %.2f s (Wine start with an empty archive %.2f s)\n' "$i" "$n" "$w" "$s"
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
mn=$(median "${n_times[@]}"); mw=$(median "${w_times[@]}"); ms=$(median "${s_times[@]}")
printf 'median: native %.2f s, unzip.exe %.2f s, Wine start %.2f s\n' "$mn" "$mw" "$ms"
awk -v n="$mn" -v w="$mw" -v s="$ms" \
  'BEGIN {printf "ratio unzip.exe / native: %.2f (without the Wine start: %.2f)\n", w / n, (w - s) / n}'
