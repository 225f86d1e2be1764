// search_bench [PATTERN]: the prime search engine against libprimesieve on the same intervals.
#include <primesieve.hpp>

#include <cstdio>
#include <vector>

#include "bench/harness.h"
#include "bigint/progress.h"
#include "tools/search/search_engine.h"

int main(int argc, char** argv) {
    bench::Runner run(argc > 1 ? argv[1] : "");
    std::size_t sink = 0;

    // The whole first five parts: 2 .. the 160000th prime.
    run.compare("search_2_to_2160553",
        [&] { Progress p; sink = search::SearchPrimes(2, 2160553, p).primes.size(); },
        [&] { std::vector<uint64_t> v; primesieve::generate_primes(2, 2160553, &v); sink = v.size(); });
    // Stopped as the window stops: 160000 primes listed, the 160001st found.
    run.compare("search_1e12_160000",
        [&] { Progress p; sink = search::SearchPrimes(1000000000000LL, 1000010000000LL, p).primes.size(); },
        [&] { std::vector<uint64_t> v; primesieve::generate_n_primes(160001, 1000000000000ULL, &v); sink = v.size(); });
    run.compare("search_1e18_last_million",
        [&] { Progress p; sink = search::SearchPrimes(999999999999000000LL, 1000000000000000000LL, p).primes.size(); },
        [&] { std::vector<uint64_t> v; primesieve::generate_primes(999999999999000000ULL, 1000000000000000000ULL, &v); sink = v.size(); });
    std::printf("%s", sink == 0 ? "no primes?\n" : "");
    return 0;
}
