#!/bin/bash
# Times the uninstallation's tree removal (DeleteTree and the removal of the collected
# folders, with the real message handling once per folder) against "cmd /c rmdir /s /q"
# on the same tree of 20,000 files in 2,000 folders, in one run, in rotating order.
# Run by hand:
#   bash bench/uninstall_bench.sh [BUILD] [REPETITIONS]     (defaults: build, 5)
# BUILD is the build folder of `make build64 BUILD=...`; the wizard's units are built
# there, the benchmark is linked beside them, and the tree lives on the C: drive of
# that build's Wine prefix (C:\instbrisko-uninstall-bench\). Before each timed removal
# the new tree is written out to disk (sync), so that no removal pays for the writing.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
reps=${2:-5}
case "$build" in /*) ;; *) build=$root/$build ;; esac
exe=$build/win64/bench/uninstall_bench.exe

if [ -z "${UNINSTALL_BENCH_INNER:-}" ]; then
  win64=$build/win64
  [ -f "$win64/CMakeCache.txt" ] || { echo "no $win64: configure it first (make build64 BUILD=...)" >&2; exit 1; }
  if ! cmake --build "$win64" --target setup_units -j2 >/dev/null 2>&1; then
    [ -f "$win64/src/setup/libsetup_units.a" ] || { echo "cannot build setup_units in $win64" >&2; exit 1; }
    echo "warning: setup_units does not build now; using the libraries built before" >&2
  fi
  mkdir -p "$win64/bench"
  # Built by hand with the build's flags, so that no CMake file needs to know it.
  x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -Wno-unused-parameter \
    -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -I"$root/src" \
    "$root/bench/uninstall_bench.cpp" -o "$exe" \
    "$win64/src/setup/libsetup_units.a" "$win64/src/gui/libgui.a" "$win64/src/classes/libclasses.a" \
    -lcomctl32 -lshell32 -lole32 -loleaut32 -luuid -ladvapi32 -lgdi32 -luser32 -lkernel32 \
    -static -static-libgcc -static-libstdc++
  exec env UNINSTALL_BENCH_INNER=1 bash "$root/scripts/with-wine.sh" --build "$build" bash "$0" "$build" "$reps"
fi

step() { wine "$exe" "$@" </dev/null 2>&1 | tr -d '\r'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

step rmdir >/dev/null 2>&1 || true  # a tree left by an interrupted run
declare -A times
contenders=(walk rmdir)
for r in $(seq "$reps"); do
  line="repetition $r:"
  for i in 0 1; do
    c=${contenders[$(( (i + r) % 2 ))]}
    step make
    sync; sleep 2
    t=$(step "$c")
    times[$c]+="$t "
    line+=" $c $t s"
  done
  times[start]+="$(step start) "
  echo "$line"
done
rounds=2001
pump=$(step pump $rounds)

w=$(echo ${times[walk]} | tr ' ' '\n' | median)
c=$(echo ${times[rmdir]} | tr ' ' '\n' | median)
s=$(echo ${times[start]} | tr ' ' '\n' | median)
echo "tree: 2,000 folders (plus the root), 20,000 files; $rounds rounds of message handling per walk"
echo "medians of $reps: DeleteTree (walk) $w s, rmdir /s /q $c s (cmd's start alone $s s)"
awk -v w="$w" -v c="$c" -v s="$s" -v p="$pump" -v n="$rounds" 'BEGIN {
  printf "ratio DeleteTree / rmdir: %.2f (%.2f against rmdir less cmd'\''s start)\n", w / c, w / (c - s)
  printf "message handling: %d rounds alone %.3f s = %.1f %% of the walk\n", n, p, 100 * p / w
}'
