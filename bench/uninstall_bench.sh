#!/bin/bash
# Times the uninstallation's tree removal (DeleteTree and the removal of the collected
# folders, with the real message handling once per folder) against "cmd /c rmdir /s /q"
# and against a native "rm -rf" on the same tree of 20,000 files in 2,000 folders, in
# one run, in rotating order.
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
    -lcomctl32 -lshell32 -loleacc -lole32 -loleaut32 -luuid -ladvapi32 -lgdi32 -luser32 -lkernel32 \
    -static -static-libgcc -static-libstdc++
  exec env UNINSTALL_BENCH_INNER=1 bash "$root/scripts/with-wine.sh" --build "$build" bash "$0" "$build" "$reps"
fi

source "$root/bench/bench_lib.sh"
# From the prefix's C: disk: Wine warns on stderr when the working folder has no drive.
step() { (cd "$WINEPREFIX/drive_c" && wine "$exe" "$@" </dev/null 2>&1) | tr -d '\r'; }
now() { date +%s.%N; }
tree=$WINEPREFIX/drive_c/instbrisko-uninstall-bench
# The same removal by the host, outside Wine.
native_rm() {
  local t
  t=$(now)
  rm -rf "$tree/tree"
  awk -v a="$(now)" -v b="$t" 'BEGIN { printf "%.3f\n", a - b }'
  [ ! -e "$tree/tree" ] || { echo "rm -rf left the tree behind" >&2; exit 1; }
  rmdir "$tree"
}

step rmdir >/dev/null 2>&1 || true  # a tree left by an interrupted run
rm -rf "$tree"
declare -A times
contenders=(walk rmdir rm)
for r in $(seq "$reps"); do
  line="repetition $r:"
  for i in 0 1 2; do
    c=${contenders[$(( (i + r) % 3 ))]}
    step make
    sync; sleep 2
    if [ "$c" = rm ]; then t=$(native_rm); else t=$(step "$c"); fi
    times[$c]+="$t "
    line+=" $c $t s"
  done
  times[start]+="$(step start) "
  echo "$line"
done
rounds=2001
pump=$(step pump $rounds)

read -r s _ < <(stats ${times[start]})
read -r w _ < <(stats ${times[walk]})
echo "tree: 2,000 folders (plus the root), 20,000 files; $rounds rounds of message handling per walk"
echo "cmd's start alone: $s s (median of $reps); message handling: $rounds rounds alone $pump s" \
  "= $(awk -v p="$pump" -v w="$w" 'BEGIN { printf "%.1f", 100 * p / w }') % of the walk"
bench_result "DeleteTree / cmd /c rmdir /s /q, 2,000 folders" "${times[walk]}" "${times[rmdir]}"
bench_result "DeleteTree / native rm -rf, 2,000 folders" "${times[walk]}" "${times[rm]}"
