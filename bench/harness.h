// Minimal timing harness: median of repeated batches, one output line per benchmark.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// Median seconds per call of f: batches sized to ~25 ms (at least one call), 7 batches
// (3 when a single call takes more than a second; the first run alone beyond five seconds).
inline double medianSeconds(const std::function<void()>& f) {
    using clock = std::chrono::steady_clock;
    auto once = [&](long reps) {
        auto t0 = clock::now();
        for (long i = 0; i < reps; ++i) f();
        return std::chrono::duration<double>(clock::now() - t0).count() / (double)reps;
    };
    double first = once(1);
    long reps = first > 0.025 ? 1 : std::max(1L, (long)(0.025 / std::max(first, 1e-9)));
    if (first > 5.0) return first;
    int batches = first > 1.0 ? 3 : 7;
    std::vector<double> t;
    for (int b = 0; b < batches; ++b) t.push_back(once(reps));
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

class Runner {
public:
    explicit Runner(std::string pattern) : pattern_(std::move(pattern)) {}
    bool wants(const std::string& name) const {
        return pattern_.empty() || name.find(pattern_) != std::string::npos;
    }
    // Times ours and the reference on the same work and prints NAME ours= ref= ratio=.
    void compare(const std::string& name, const std::function<void()>& ours,
                 const std::function<void()>& ref) {
        if (!wants(name)) return;
        double a = medianSeconds(ours), b = medianSeconds(ref);
        std::printf("%s ours=%.3g ref=%.3g ratio=%.2f\n", name.c_str(), a, b, a / b);
        std::fflush(stdout);
    }

private:
    std::string pattern_;
};

}  // namespace bench
