# Statistics and the result line for the shell benchmarks; bench/bench_result.h is the
# same for the C++ drivers, bench/README.md sets the line's format down. Sourced.

# stats VALUES...: "median lowest highest" of the values.
stats() {
  printf '%s\n' "$@" | sort -g |
    awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print m, v[1], v[NR] }'
}

# bench_result COMPARISON "CONTENDER TIMES" "BASELINE TIMES": the result line, the ratio
# taken run by run (the I-th time of each list measured in the same run).
bench_result() {
  local comparison=$1 ratios c b
  read -ra c <<<"$2"
  read -ra b <<<"$3"
  [ ${#c[@]} -eq ${#b[@]} ] && [ ${#c[@]} -gt 0 ] || { echo "bench_result: runs do not pair up" >&2; return 1; }
  ratios=$(for i in "${!c[@]}"; do awk -v x="${c[$i]}" -v y="${b[$i]}" 'BEGIN { printf "%.6f\n", x / y }'; done)
  read -r rm rl rh < <(stats $ratios)
  read -r cm cl ch < <(stats "${c[@]}")
  read -r bm bl bh < <(stats "${b[@]}")
  printf '@bench | %s | %.2f | %.2f-%.2f | %d | %.3f (%.3f-%.3f) s against %.3f (%.3f-%.3f) s\n' \
    "$comparison" "$rm" "$rl" "$rh" ${#c[@]} "$cm" "$cl" "$ch" "$bm" "$bl" "$bh"
}
