// splitter_bench [PATTERN]: complete factorizations by the Splitter's engine against PARI/GP's
// factor(), run as a `gp -q` subprocess that measures its own time (so its start-up is not
// counted). Fixed numbers, so runs compare: semiprimes with balanced factors of 30, 40, 45
// and 50 digits (two of 40), and a 50-digit number with a 10-digit factor.
//
// Both sides count processor time: gp's getabstime() is the CPU time of gp, and on a shared
// machine wall-clock medians mostly measure the other processes. Our engine is one thread.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "bench/harness.h"
#include "tools/splitter/splitter.h"

namespace {

using splitter::Analyse;
using splitter::SplitterMethod;
using splitter::SplitterResult;

// Seconds per factor(N) inside gp, repeated until at least 0.3 s have passed; negative when
// gp cannot be run.
double gpSeconds(const std::string& n) {
    const std::string script =
        "N=" + n +
        ";r=1;while(1,t=getabstime();for(i=1,r,factor(N));t=getabstime()-t;if(t>=300,break);r*=4);"
        "print(t/r/1000.)";
    const std::string command = "echo '" + script + "' | gp -q -f -D colors=no 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char line[256] = {};
    const bool got = std::fgets(line, sizeof line, pipe) != nullptr;
    pclose(pipe);
    if (!got) return -1;
    try {
        return std::stod(line);
    } catch (...) {
        return -1;
    }
}

double cpuNow() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

// Median CPU seconds per call over 5 batches of at least 0.1 s each (one call at least).
double medianCpuSeconds(const std::function<void()>& f) {
    double t0 = cpuNow();
    f();
    const double first = cpuNow() - t0;
    const long reps = first >= 0.1 ? 1 : std::max(1L, (long)(0.1 / std::max(first, 1e-6)));
    std::vector<double> t;
    for (int b = 0; b < 5; ++b) {
        t0 = cpuNow();
        for (long i = 0; i < reps; ++i) f();
        t.push_back((cpuNow() - t0) / (double)reps);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

struct Case {
    const char* name;
    const char* n;
    const char* smallest;
};

const Case kCases[] = {
    {"factor-30-balanced", "291609974767149813584311441063", "400017289577449"},
    // ECM's few curves before the sieve happen to split this one.
    {"factor-40-balanced", "2977747515108253289377688512811504018387", "53972081934974266103"},
    // This one goes on to the sieve, as most 40-digit semiprimes do.
    {"factor-40-balanced-b", "3714287116235802486516223628303957292983", "41215931280537151843"},
    {"factor-45-balanced", "421918029717528521617353804917074408747803071", "7954421058312664035077"},
    {"factor-50-balanced", "13214381623736804966383081652561308563871979695969", "2267713032779690448954457"},
    {"factor-50-p10", "24048007048169056035078865629299189049964776517369", "3342385789"},
};

}  // namespace

int main(int argc, char** argv) {
    bench::Runner run(argc > 1 ? argv[1] : "");
    for (const Case& c : kCases) {
        if (!run.wants(c.name)) continue;
        TBigInt n;
        BigFromDecimal(c.n, n);
        std::string first;
        const double ours = medianCpuSeconds([&] {
            Progress progress;
            SplitterResult r = Analyse(SplitterMethod::CompleteFactorization, n, true, progress);
            first = r.rows.empty() ? "" : r.rows.front().value;
        });
        if (first != c.smallest) {
            std::printf("%s WRONG first factor %s\n", c.name, first.c_str());
            continue;
        }
        const double ref = gpSeconds(c.n);
        if (ref <= 0) {
            std::printf("%s ours=%.3g ref=unavailable\n", c.name, ours);
            continue;
        }
        std::printf("%s ours=%.3g ref=%.3g ratio=%.2f\n", c.name, ours, ref, ours / ref);
        std::fflush(stdout);
    }
    return 0;
}
