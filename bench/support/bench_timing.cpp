#include "support/bench_timing.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace kelvora::bench {

double Now() {
#ifdef _WIN32
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
#else
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
#endif
}

double Seconds(const std::function<void()>& work) {
    const double start = Now();
    work();
    return Now() - start;
}

double Mb(std::size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

Spread SpreadOf(std::vector<double> samples) {
    if (samples.empty()) return {};
    std::sort(samples.begin(), samples.end());
    const std::size_t half = samples.size() / 2;
    const double median = samples.size() % 2 == 1 ? samples[half] : (samples[half - 1] + samples[half]) / 2;
    return {median, samples.front(), samples.back()};
}

Times PairedRounds(int rounds, const std::vector<Measure>& measures,
                   const std::function<void(const Times&)>& afterRound) {
    Times times(measures.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t step = 0; step < measures.size(); ++step) {
            const std::size_t m = round % 2 == 0 ? step : measures.size() - 1 - step;
            if (measures[m].prepare) measures[m].prepare();
            times[m].push_back(Seconds(measures[m].work));
        }
        if (afterRound) afterRound(times);
    }
    return times;
}

std::vector<double> Ratios(const std::vector<double>& times, const std::vector<double>& base) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < times.size() && i < base.size(); ++i) ratios.push_back(times[i] / base[i]);
    return ratios;
}

}  // namespace kelvora::bench
