// Timing for the benchmarks: a clock, paired rounds of measurements and
// the median and range of their ratios.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace kelvora::bench {

// Natively everything runs in this process, so its processor time is the
// measure that other load on the machine disturbs least. On Windows the
// registry's work is partly done elsewhere (by wineserver under Wine), and
// the parallel scan uses several threads, so there the wall clock is used.
double Now();
double Seconds(const std::function<void()>& work);

double Mb(std::size_t bytes);

struct Spread {
    double median = 0;
    double low = 0;
    double high = 0;
};
Spread SpreadOf(std::vector<double> samples);

// One thing measured in every round: prepare runs untimed before work.
struct Measure {
    std::function<void()> work;
    std::function<void()> prepare;
};

// Runs every measure once per round, in the given order in even rounds and
// in the reverse order in odd ones, so that each sees the others' effects on
// caches and clocks as often before as after it. Answers the times per
// measure, one per round; afterRound, when given, sees them after each round.
using Times = std::vector<std::vector<double>>;
Times PairedRounds(int rounds, const std::vector<Measure>& measures,
                   const std::function<void(const Times&)>& afterRound = {});

// times[i] / base[i] per round.
std::vector<double> Ratios(const std::vector<double>& times, const std::vector<double>& base);

}  // namespace kelvora::bench
