#!/bin/bash
# Runs CI's whole run (.ci/run: install, build, every test) N times, each in a fresh
# clone of this repository's HEAD (committed work only), while two CPU-bound
# processes keep both cores busy, and prints how long each run took and how many
# passed. A test that fails once in N such runs is broken.
#
#   scripts/stress-tests.sh [N]        (default 5; make stress-test RUNS=N)
#
# The clones go to a folder under $TMPDIR (default /tmp), removed after each run;
# the output of each run is kept beside them, as the summary says.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
head=$(git -C "$root" rev-parse HEAD) || exit 1
work=$(mktemp -d "${TMPDIR:-/tmp}/instbrisko-stress.XXXXXX")

burners=()
stop() {
  for pid in "${burners[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
}
trap stop EXIT
trap 'exit 130' INT TERM
for _ in 1 2; do
  bash -c 'while :; do :; done' &
  burners+=($!)
done

echo "Stress check of $head: $runs runs of .ci/run with both cores busy (logs in $work)"
passed=0
times=()
for i in $(seq "$runs"); do
  clone=$work/run$i
  log=$work/run$i.log
  git clone -q "$root" "$clone" && git -C "$clone" checkout -q --detach "$head" || exit 1
  start=$(date +%s)
  if (cd "$clone" && CI=true bash .ci/run </dev/null >"$log" 2>&1); then
    result=passed
    passed=$((passed + 1))
  else
    result=FAILED
  fi
  seconds=$(( $(date +%s) - start ))
  times+=("$seconds")
  echo "run $i: $result in $seconds s"
  [ "$result" = FAILED ] && grep -E '^\s*[0-9]+ - .*\((Failed|Timeout|Not Run)\)|\[  FAILED  \]' "$log" | sort -u | sed 's/^/    /'
  rm -rf "$clone"
done
echo "$passed of $runs runs passed; times: ${times[*]} s"
[ "$passed" -eq "$runs" ]
