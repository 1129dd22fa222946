// What every benchmark driver prints for the table `make bench` shows: a series of
// timings, its median and spread, and the one result line per comparison whose
// format bench/README.md sets down. Header-only, so that a driver built by hand
// (g++ on one file) needs nothing beside it.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// Measured values of one contender, or ratios of pairs, in the order they came.
struct TSeries {
  std::vector<double> Values;

  void Add(double V) { Values.push_back(V); }
  double Median() const {
    std::vector<double> V = Values;
    std::sort(V.begin(), V.end());
    const size_t N = V.size();
    if (N == 0) return 0;
    return N % 2 ? V[N / 2] : (V[N / 2 - 1] + V[N / 2]) / 2;
  }
  double Lowest() const { return Values.empty() ? 0 : *std::min_element(Values.begin(), Values.end()); }
  double Highest() const { return Values.empty() ? 0 : *std::max_element(Values.begin(), Values.end()); }
  // "0.412 (0.388-0.470)"
  std::string Text(int Decimals = 3) const {
    char Buffer[96];
    std::snprintf(Buffer, sizeof(Buffer), "%.*f (%.*f-%.*f)", Decimals, Median(), Decimals, Lowest(), Decimals,
                  Highest());
    return Buffer;
  }
};

// The result line: Comparison names contender and baseline ("start-up / empty window
// program"); Ratios holds one contender/baseline ratio per run, each from one pair
// measured back to back; Contender and Baseline are the times behind them.
inline void PrintResult(const std::string& Comparison, const TSeries& Ratios, const TSeries& Contender,
                        const TSeries& Baseline, const char* Unit = "s") {
  std::printf("@bench | %s | %.2f | %.2f-%.2f | %zu | %s %s against %s %s\n", Comparison.c_str(), Ratios.Median(),
              Ratios.Lowest(), Ratios.Highest(), Ratios.Values.size(), Contender.Text().c_str(), Unit,
              Baseline.Text().c_str(), Unit);
  std::fflush(stdout);
}

}  // namespace bench
