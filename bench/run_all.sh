#!/bin/bash
# Runs every benchmark, one after the other, and prints one table of their results:
# each a ratio against its own baseline measured in the same run (bench/README.md).
#
#   bash bench/run_all.sh [BUILD [REPETITIONS [NAME...]]]     (make bench)
#
# A benchmark is every bench/NAME_bench.sh; it is run as `bash bench/NAME_bench.sh BUILD`
# (plus REPETITIONS when given, else it takes its own default of at least 5), its output
# goes to BUILD/bench/NAME.log, and every line of it that starts with "@bench | " is a row
# of the table. NAMEs choose some of them. The table is also written to BUILD/bench/table.md.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
reps=${2:-}
shift $(($# > 2 ? 2 : $#))
case "$build" in /*) ;; *) build=$root/$build ;; esac
logs=$build/bench
mkdir -p "$logs"

scripts=()
for s in "$root"/bench/*_bench.sh; do
  name=$(basename "$s" _bench.sh)
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  scripts+=("$s")
done
[ ${#scripts[@]} -gt 0 ] || { echo "no benchmark named $*" >&2; exit 1; }

machine() {
  local cpu mem
  cpu=$(lscpu 2>/dev/null | sed -n 's/^Model name: *//p' | head -1)
  mem=$(awk '/^MemTotal/ { printf "%.0f GB", $2 / 1048576 }' /proc/meminfo)
  echo "${cpu:-unknown processor}, $(nproc) cores, $mem of memory; $(wine --version 2>/dev/null || echo 'no wine')"
}
load() { cut -d' ' -f1-3 /proc/loadavg; }

started=$(date -u '+%Y-%m-%d %H:%M UTC')
load_before=$(load)
rows=()
failed=0
for s in "${scripts[@]}"; do
  name=$(basename "$s" _bench.sh)
  echo "== $name (output in ${logs#"$root"/}/$name.log)"
  bash "$s" "$build" ${reps:+"$reps"} >"$logs/$name.log" 2>&1
  status=$?
  mapfile -t lines < <(tr -d '\r' <"$logs/$name.log" | grep '^@bench | ')
  for l in "${lines[@]}"; do
    echo "   ${l#@bench | }"
    rows+=("| $name | ${l#@bench | } |")
  done
  if [ "$status" -ne 0 ] || [ ${#lines[@]} -eq 0 ]; then
    failed=1
    why="exit code $status"; [ "$status" -eq 0 ] && why="no result line"
    echo "   failed ($why): see $logs/$name.log"
    rows+=("| $name | failed ($why) | | | | |")
  fi
done

{
  echo "Measured $started at $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo '?') on: $(machine)."
  echo "Load average $load_before before, $(load) after."
  echo
  echo "| benchmark | contender / baseline | ratio (median) | lowest-highest | runs | contender against baseline, seconds: median (lowest-highest) |"
  echo "|---|---|---|---|---|---|"
  printf '%s\n' "${rows[@]}"
} >"$logs/table.md"
echo
cat "$logs/table.md"
exit $failed
