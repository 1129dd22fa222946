#!/bin/bash
# Times our unzip.exe under Wine, with all its workers and with one, against two native
# extractors on the same archives: Debian's Info-ZIP unzip and bsdtar (libarchive-tools).
#   many:  5,000 files of 40 KB (half random, half text, about 200 MB) in 50 folders
#   large: 50 files of 4 MB (the same mix)
# Each repetition runs every contender once, starting with a different one each time;
# the medians, the spread (lowest-highest) and the ratios of the medians are printed,
# then the peak working set of unzip.exe on one entry of 400 MB and on 10,000 small ones.
# Run by hand:
#   bash bench/unzip_bench.sh [BUILD] [REPETITIONS]     (defaults: build, 5)
# BUILD is the build folder of `make build64 BUILD=...`; its unzip.exe and Wine prefix
# are used. The packages come from scripts/deps.sh.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
reps=${2:-5}
case "$build" in /*) ;; *) build=$root/$build ;; esac

# Wine wants a persistent server and a prefix: run again inside the wrapper that has them.
if [ -z "${UNZIP_BENCH_INNER:-}" ]; then
  bash "$root/scripts/deps.sh"
  exec env UNZIP_BENCH_INNER=1 bash "$root/scripts/with-wine.sh" --build "$build" bash "$0" "$build" "$reps"
fi

exe=$build/win64/tools/unzip/unzip.exe
[ -f "$exe" ] || { echo "no $exe: build it first (make build64 BUILD=...)" >&2; exit 1; }
for tool in unzip zip bsdtar /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool (scripts/deps.sh installs it)" >&2; exit 1; }
done

# On the prefix's own C: disk, the one place of the host its programs reach.
work=$(mktemp -d "$WINEPREFIX/drive_c/unzip_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
winpath() { echo "C:${1#"$WINEPREFIX/drive_c"}" | tr / '\\'; }
now() { date +%s.%N; }

echo "Making the archives in $work"
head -c 100000000 /dev/urandom > "$work/random"
head -c 75000000 /dev/urandom | base64 -w 76 | head -c 100000000 > "$work/text"
# pack NAME FILES_PER_FOLDER FILE_SIZE: 50 folders, even ones random, odd ones text.
pack() {
  mkdir "$work/$1"
  for d in $(seq -w 0 49); do
    mkdir "$work/$1/d$d"
    if [ $((10#$d % 2)) -eq 0 ]; then pool=random; else pool=text; fi
    dd if="$work/$pool" bs=$(($2 * $3)) skip=$((10#$d / 2)) count=1 status=none |
      split -b "$3" -d -a 3 --additional-suffix=.dat - "$work/$1/d$d/f"
  done
  (cd "$work" && zip -q -r "$1.zip" "$1" && rm -rf "$1")
}
pack many 100 40000
pack large 1 4000000
mkdir "$work/huge"
for _ in 1 2 3 4; do cat "$work/text"; done > "$work/huge/huge.txt"
(cd "$work" && zip -q -r huge.zip huge && rm -rf huge)
rm "$work/random" "$work/text"
mkdir "$work/small"
for d in $(seq -w 0 99); do
  mkdir "$work/small/d$d"
  for f in $(seq -w 0 99); do echo "entry $d$f" > "$work/small/d$d/f$f.txt"; done
done
(cd "$work" && zip -q -r small.zip small && rm -rf small)
: > "$work/empty.txt"; (cd "$work" && zip -q empty.zip empty.txt)

# run CONTENDER ARCHIVE: extracts into a fresh folder, prints the seconds it took.
# Nothing is deleted between timed runs: on an ext4 without a journal (as on the
# machines here) every file created within minutes of a mass deletion first skips the
# recently freed inodes, which would time the deletion rather than the extractors.
count=0
run() {
  count=$((count + 1))
  local out=$work/out/$1.$count t
  mkdir -p "$out"
  last[$1]=$out
  t=$(now)
  case $1 in
    info-zip) unzip -q -o -d "$out" "$work/$2.zip" ;;
    bsdtar) bsdtar -xf "$work/$2.zip" -C "$out" ;;
    unzip.exe) wine "$exe" -o -d "$(winpath "$out")" "$(winpath "$work/$2.zip")" >/dev/null 2>&1 </dev/null ;;
    unzip.exe-1) UNZIP_WORKERS=1 wine "$exe" -o -d "$(winpath "$out")" "$(winpath "$work/$2.zip")" >/dev/null 2>&1 </dev/null ;;
  esac
  awk -v a="$(now)" -v b="$t" 'BEGIN {printf "%.3f\n", a - b}'
}
declare -A last
contenders=(info-zip bsdtar unzip.exe unzip.exe-1)
source "$root/bench/bench_lib.sh"

declare -A median spread
table=()
bench() {
  local archive=$1 c i k
  # One untimed run each checks that all make the same tree and warms the caches.
  for c in "${contenders[@]}"; do run "$c" "$archive" >/dev/null; done
  for c in bsdtar unzip.exe unzip.exe-1; do
    diff -r -q "${last[info-zip]}" "${last[$c]}" >/dev/null || { echo "$c extracted $archive differently" >&2; exit 1; }
  done
  declare -A times
  for i in $(seq "$reps"); do
    local line="$archive run $i:"
    for k in 0 1 2 3; do
      c=${contenders[$(((i + k) % 4))]}
      local t; t=$(run "$c" "$archive"); count=$((count + 1))
      times[$c]+=" $t"
      line+=" $c $t s,"
    done
    echo "${line%,}"
  done
  local row="| $archive |"
  for c in "${contenders[@]}"; do
    read -r m lo hi < <(stats ${times[$c]})
    median[$archive.$c]=$m
    row+=" $(printf '%.2f (%.2f-%.2f)' "$m" "$lo" "$hi") |"
  done
  rm -rf "$work/out"
  table+=("$row $(awk -v w="${median[$archive.unzip.exe]}" -v n="${median[$archive.info-zip]}" \
    -v b="${median[$archive.bsdtar]}" -v s="${median[$archive.unzip.exe-1]}" \
    'BEGIN {printf "%.2f | %.2f | %.2f |", w / n, w / b, s / w}')")
  results+=("$(bench_result "unzip.exe under Wine / Info-ZIP unzip, $2" "${times[unzip.exe]}" "${times[info-zip]}")")
}
results=()
bench many '5,000 files of 40 KB'
bench large '50 files of 4 MB'
startup=()
for i in $(seq "$reps"); do startup+=("$(run unzip.exe empty)"); count=$((count + 1)); done
read -r sm slo shi < <(stats "${startup[@]}" | awk '{ printf "%.2f %.2f %.2f", $1, $2, $3 }')

# peak KIND ARCHIVE: median of three peak resident sizes (what Windows calls the peak
# working set) of the whole Wine process, in MB.
peak() {
  local kb=() i
  for i in 1 2 3; do
    kb+=("$(/usr/bin/time -f %M wine "$exe" -o -d "$(winpath "$work/out/mem.$1.$i")" "$(winpath "$work/$1.zip")" 2>&1 >/dev/null </dev/null | tail -1)")
  done
  stats "${kb[@]}" | awk '{printf "%.0f", $1 / 1024}'
}
mem_empty=$(peak empty); mem_huge=$(peak huge); mem_small=$(peak small)
rm -rf "$work/out"

echo
echo "Seconds, median of $reps (lowest-highest); Wine start (an archive of one empty file): $sm s ($slo-$shi)"
echo
echo "| archive | Info-ZIP unzip | bsdtar | unzip.exe | unzip.exe, 1 worker | unzip.exe / Info-ZIP | unzip.exe / bsdtar | 1 worker / all |"
echo "|---|---|---|---|---|---|---|---|"
printf '%s\n' "${table[@]}"
echo
echo "Peak working set of unzip.exe under Wine: $mem_huge MB for one entry of 400 MB, $mem_small MB for" \
  "10,000 small entries, $mem_empty MB for an archive of one empty file (Wine itself)"
echo
printf '%s\n' "${results[@]}"
