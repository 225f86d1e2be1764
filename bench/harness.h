// Minimal timing harness: median of repeated batches, one output line per benchmark.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

// Seconds per call of f over reps calls.
inline double perCall(const std::function<void()>& f, long reps) {
    auto t0 = Clock::now();
    for (long i = 0; i < reps; ++i) f();
    return std::chrono::duration<double>(Clock::now() - t0).count() / (double)reps;
}

// Calls per batch for about 25 ms (at least one), from one timed call.
inline long batchFor(double first) { return first > 0.025 ? 1 : std::max(1L, (long)(0.025 / std::max(first, 1e-9))); }

// Median seconds per call of f: batches sized to ~25 ms (at least one call), 7 batches
// (3 when a single call takes more than a second; the first run alone beyond five seconds).
inline double medianSeconds(const std::function<void()>& f) {
    double first = perCall(f, 1);
    if (first > 5.0) return first;
    const long reps = batchFor(first);
    int batches = first > 1.0 ? 3 : 7;
    std::vector<double> t;
    for (int b = 0; b < batches; ++b) t.push_back(perCall(f, reps));
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// Medians of two functions timed in alternate batches, so that a change of load or clock
// speed during the run falls on both alike.
inline std::pair<double, double> medianPair(const std::function<void()>& f, const std::function<void()>& g) {
    const double firstF = perCall(f, 1), firstG = perCall(g, 1);
    if (firstF > 5.0 || firstG > 5.0) return {firstF > 5.0 ? firstF : medianSeconds(f), firstG > 5.0 ? firstG : medianSeconds(g)};
    const long repsF = batchFor(firstF), repsG = batchFor(firstG);
    const int batches = firstF > 1.0 || firstG > 1.0 ? 3 : 7;
    std::vector<double> tf, tg;
    for (int b = 0; b < batches; ++b) {
        tf.push_back(perCall(f, repsF));
        tg.push_back(perCall(g, repsG));
    }
    std::sort(tf.begin(), tf.end());
    std::sort(tg.begin(), tg.end());
    return {tf[tf.size() / 2], tg[tg.size() / 2]};
}

// Busy work for a second, so that the first benchmark does not run while the
// processor is still raising its clock.
inline void warmUp() {
    const auto end = Clock::now() + std::chrono::milliseconds(1000);
    volatile unsigned long x = 0;
    while (Clock::now() < end)
        for (int i = 0; i < 10000; ++i) x = x + (unsigned long)i;
}

class Runner {
public:
    explicit Runner(std::string pattern) : pattern_(std::move(pattern)) { warmUp(); }
    bool wants(const std::string& name) const {
        return pattern_.empty() || name.find(pattern_) != std::string::npos;
    }
    // Times ours and the reference on the same work and prints NAME ours= ref= ratio=.
    void compare(const std::string& name, const std::function<void()>& ours,
                 const std::function<void()>& ref) {
        if (!wants(name)) return;
        const auto [a, b] = medianPair(ours, ref);
        std::printf("%s ours=%.3g ref=%.3g ratio=%.2f\n", name.c_str(), a, b, a / b);
        std::fflush(stdout);
    }

private:
    std::string pattern_;
};

}  // namespace bench
