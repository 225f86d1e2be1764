// The search engine against references written here: a plain sieve of Eratosthenes and GMP.
#include <gmp.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>
#include <random>
#include <chrono>
#include <thread>

#include "core/progress.h"
#include "tools/search/search_engine.h"

namespace {

using search::SearchPrimes;

constexpr int64_t E12 = 1'000'000'000'000;
constexpr int64_t E18 = 1'000'000'000'000'000'000;

// Whether each number up to n is prime, by the textbook sieve.
std::vector<bool> primeTable(int64_t n) {
    std::vector<bool> prime(std::size_t(n + 1), true);
    prime[0] = false;
    if (n >= 1) prime[1] = false;
    for (int64_t p = 2; p * p <= n; ++p)
        if (prime[std::size_t(p)])
            for (int64_t m = p * p; m <= n; m += p) prime[std::size_t(m)] = false;
    return prime;
}

// The primes of [a, b], at most `limit` of them, by a plain sieve over the interval with every
// prime up to sqrt(b) (fine while sqrt(b) stays around a few million).
std::vector<int64_t> referenceSieve(int64_t a, int64_t b, std::size_t limit = SIZE_MAX) {
    const auto root = (int64_t)std::sqrt((long double)b) + 1;
    const std::vector<bool> small = primeTable(root);
    std::vector<bool> composite(std::size_t(b - a + 1), false);
    for (int64_t p = 2; p <= root; ++p) {
        if (!small[std::size_t(p)]) continue;
        for (int64_t m = std::max(p * p, (a + p - 1) / p * p); m <= b; m += p) composite[std::size_t(m - a)] = true;
    }
    std::vector<int64_t> primes;
    for (int64_t n = std::max<int64_t>(a, 2); n <= b && primes.size() < limit; ++n)
        if (!composite[std::size_t(n - a)]) primes.push_back(n);
    return primes;
}

bool gmpPrime(int64_t n) {
    mpz_t z;
    mpz_init_set_si(z, (long)n);
    const int r = mpz_probab_prime_p(z, 30);
    mpz_clear(z);
    return r > 0;
}

// The primes from a on, up to `count` of them, decided by GMP after trial division by tiny primes.
std::vector<int64_t> gmpPrimesFrom(int64_t a, std::size_t count) {
    std::vector<int64_t> primes;
    for (int64_t n = a | 1; primes.size() < count; n += 2) {
        if (n % 3 == 0 || n % 5 == 0 || n % 7 == 0 || n % 11 == 0 || n % 13 == 0) continue;
        if (gmpPrime(n)) primes.push_back(n);
    }
    return primes;
}

search::SearchResult find(int64_t low, int64_t high) {
    Progress progress;
    return SearchPrimes(low, high, progress);
}

TEST(SearchPrimes, FirstMillionMatchesThePlainSieve) {
    const auto r = find(2, 1'000'000);
    EXPECT_EQ(r.primes.size(), 78498u);
    EXPECT_FALSE(r.limitReached);
    EXPECT_EQ(r.primes, referenceSieve(2, 1'000'000));
}

TEST(SearchPrimes, SmallIntervalsAndEdges) {
    struct Row { int64_t low, high; std::vector<int64_t> primes; };
    const Row rows[] = {
        {2, 2, {2}}, {2, 3, {2, 3}}, {3, 3, {3}}, {4, 4, {}}, {24, 28, {}}, {2, 13, {2, 3, 5, 7, 11, 13}},
        {9, 9, {}}, {49, 53, {53}}, {47, 47, {47}}, {1, 10, {2, 3, 5, 7}},
        {999999999999999980, E18, {999999999999999989}}, {E18, E18, {}},
        {999999999999999989, 999999999999999989, {999999999999999989}},
        // The square of the largest prime below 10^9.
        {999999874000003969, 999999874000003969, {}},
    };
    for (const Row& r : rows) EXPECT_EQ(find(r.low, r.high).primes, r.primes) << r.low << ".." << r.high;
}

TEST(SearchPrimes, EveryIntervalBelowTwoThousandMatches) {
    const std::vector<bool> prime = primeTable(2000);
    for (int64_t a = 2; a <= 2000; a += 37)
        for (int64_t b = a; b <= 2000; b += 53) {
            std::vector<int64_t> expected;
            for (int64_t n = a; n <= b; ++n)
                if (prime[std::size_t(n)]) expected.push_back(n);
            ASSERT_EQ(find(a, b).primes, expected) << a << ".." << b;
        }
}

TEST(SearchPrimes, LimitOfFiveParts) {
    const auto exact = find(2, 2160553);   // 2160553 is the 160000th prime
    EXPECT_EQ(exact.primes.size(), search::MaxListed);
    EXPECT_FALSE(exact.limitReached);
    EXPECT_EQ(exact.primes.back(), 2160553);
    const auto beyond = find(2, 2160563);   // 2160563 is the 160001st
    EXPECT_TRUE(beyond.limitReached);
    EXPECT_EQ(beyond.primes, exact.primes);
    EXPECT_EQ(find(2, 376127).primes.size(), 32000u);   // 376127 is the 32000th prime
}

TEST(SearchPrimes, AnyLimitCutsTheSameList) {
    // Each method near its limit: the first `limit` primes of the whole list, and whether more exist.
    const std::pair<int64_t, int64_t> intervals[] = {{2, 200'000}, {E12, E12 + 200'000}, {E18 - 200'000, E18}};
    for (const auto& [a, b] : intervals) {
        const auto all = find(a, b).primes;
        for (std::size_t limit : {0, 1, 2, 3, 5, 63, 64, 65, 100, 1000, 5000}) {
            Progress progress;
            const auto r = SearchPrimes(a, b, progress, limit);
            const std::size_t n = std::min(limit, all.size());
            EXPECT_EQ(r.primes, std::vector<int64_t>(all.begin(), all.begin() + (std::ptrdiff_t)n)) << a << " " << limit;
            EXPECT_EQ(r.limitReached, all.size() > limit) << a << " " << limit;
        }
    }
}

TEST(SearchPrimes, NoLimitAtAll) {
    // SIZE_MAX stands for no limit: every method gives its whole list, and nothing is cut.
    const std::pair<int64_t, int64_t> intervals[] = {{2, 100}, {2, 3'000'000}, {E12, E12 + 100'000}, {E18 - 100'000, E18}};
    for (const auto& [a, b] : intervals) {
        Progress progress;
        const auto r = SearchPrimes(a, b, progress, SIZE_MAX);
        EXPECT_FALSE(r.limitReached) << a;
        if (b - a <= 3'000'000 && b < E18) EXPECT_EQ(r.primes, referenceSieve(a, b)) << a;
        else EXPECT_EQ(r.primes, gmpPrimesFrom(a, r.primes.size())) << a;
    }
    Progress progress;
    EXPECT_EQ(SearchPrimes(E12, E12 + 100'000, progress, SIZE_MAX).primes.size(), 3614u);
    EXPECT_EQ(SearchPrimes(2, 100, progress, SIZE_MAX - 1).primes.size(), 25u);
}

TEST(SearchPrimes, First160000AfterTenToTheTwelve) {
    const auto r = find(E12, E12 + 10'000'000);
    EXPECT_TRUE(r.limitReached);
    const auto expected = referenceSieve(E12, E12 + 6'000'000, search::MaxListed);
    ASSERT_EQ(expected.size(), search::MaxListed);
    EXPECT_EQ(r.primes, expected);
}

TEST(SearchPrimes, First160000AfterTenToTheEighteenMinusTenToTheSeven) {
    const int64_t from = E18 - 10'000'000;
    const auto r = find(from, E18);
    EXPECT_TRUE(r.limitReached);
    EXPECT_EQ(r.primes, gmpPrimesFrom(from, search::MaxListed));
}

TEST(SearchPrimes, ManySegmentsWithoutTheLimit) {
    // Several segments of the wheel of 30, from 2 and higher up; with a limit far beyond the
    // count, every prime of the interval.
    const std::vector<bool> prime = primeTable(20'000'000);
    std::vector<int64_t> expected;
    for (int64_t n = 2; n <= 20'000'000; ++n)
        if (prime[std::size_t(n)]) expected.push_back(n);
    Progress progress;
    EXPECT_EQ(SearchPrimes(2, 20'000'000, progress, 10'000'000).primes, expected);
    // 2^42: sieving primes up to 2^21, whose multiples lie far apart.
    for (int64_t from : {int64_t(1'000'000'007), (int64_t(1) << 34) + 1, (int64_t(1) << 42) + 1}) {
        const auto r = SearchPrimes(from, from + 12'000'000, progress, 10'000'000);
        EXPECT_FALSE(r.limitReached);
        EXPECT_EQ(r.primes, referenceSieve(from, from + 12'000'000)) << from;
    }
}

TEST(SearchPrimes, AroundTheSwitchFromSieveToMillerRabin) {
    // Square roots about 2^17 and 2^22 (the full sieve below, the pre-sieve and Miller-Rabin
    // above): all must list the primes GMP finds.
    for (int64_t centre : {int64_t(1) << 34, int64_t(1) << 44, (int64_t(1) << 44) + 9'000'000}) {
        const auto r = find(centre - 200'000, centre + 200'000);
        std::vector<int64_t> expected;
        for (int64_t n = centre - 200'000; n <= centre + 200'000; ++n)
            if (gmpPrime(n)) expected.push_back(n);
        EXPECT_EQ(r.primes, expected) << centre;
    }
}

TEST(SearchPrimes, CancelThrowsAndCanInterruptALongSearch) {
    Progress cancelled;
    cancelled.cancel();
    EXPECT_THROW(SearchPrimes(2, 1'000'000, cancelled), Cancelled);
    Progress progress;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        progress.cancel();
    });
    bool stopped = false;
    try {
        // A limit far beyond the default keeps the search going until the cancel arrives.
        SearchPrimes(E18 - 200'000'000, E18, progress, 100'000'000);
    } catch (const Cancelled&) {
        stopped = true;
    }
    stopper.join();
    EXPECT_TRUE(stopped);
    EXPECT_GE(progress.fraction(), 0.0);
    EXPECT_LE(progress.fraction(), 1.0);
}

// Every way of reading an interval gives the same primes: the list without a limit, the batches
// of ForEachPrime, the count (with and without a limit) and the twin pairs over the batches.
void expectSameReadings(int64_t a, int64_t b, const std::vector<int64_t>& expected) {
    Progress progress;
    EXPECT_EQ(SearchPrimes(a, b, progress, SIZE_MAX).primes, expected) << a << ".." << b;
    std::vector<int64_t> streamed;
    search::TwinPairTally pairs;
    search::ForEachPrime(a, b, progress, [&](std::span<const int64_t> batch) {
        EXPECT_FALSE(batch.empty());
        streamed.insert(streamed.end(), batch.begin(), batch.end());
        pairs.add(batch);
        return true;
    });
    EXPECT_EQ(streamed, expected) << a << ".." << b;
    EXPECT_EQ(pairs.pairs(), search::CountTwinPairs(expected)) << a << ".." << b;
    const auto n = (int64_t)expected.size();
    EXPECT_EQ(search::CountPrimes(a, b, progress), n) << a << ".." << b;
    for (int64_t limit : {int64_t(0), int64_t(1), n / 2, n, n + 1})
        EXPECT_EQ(search::CountPrimes(a, b, progress, (std::size_t)limit), std::min(limit, n)) << a << ".." << b << " " << limit;
}

TEST(Readings, AgreeAtTheEdgesOfWheelsAndSegments) {
    // 2^40 + 1 and 10^12 start segments at different places of the wheel; listings begin with
    // segments of 64 Ki bytes that double (1 966 080, then 3 932 160 more numbers), counts use
    // segments of 2^20 bytes (31 457 280 numbers).
    const int64_t p1 = gmpPrimesFrom(E12, 1)[0], p50 = gmpPrimesFrom(E12, 50).back();
    const std::pair<int64_t, int64_t> intervals[] = {
        {0, 1}, {2, 2}, {2, 6}, {5, 7}, {7, 7}, {29, 31}, {30, 30}, {31, 31}, {49, 49}, {53, 59}, {59, 61},
        {1, 3000}, {E12 - 1, E12 + 1}, {E12 + 30, E12 + 60}, {p1, p50}, {p1 + 1, p50 - 1}, {p1, p1}, {p50, p50 + 1},
        {E12, E12 + 1'966'080 + 30}, {E12 + 7, E12 + 5'898'240 + 100},
        {(int64_t(1) << 40) + 1, (int64_t(1) << 40) + 3'000'000},
        // Square roots about 2^22, the largest that is sieved whole, with its sieving primes
        // beyond the first segments.
        {(int64_t(1) << 44) - 2'000'000, int64_t(1) << 44},
    };
    for (const auto& [a, b] : intervals)
        expectSameReadings(a, b, b < 2 ? std::vector<int64_t>{} : referenceSieve(std::max<int64_t>(a, 2), b));
    // High up, Miller-Rabin decides; up to 10^18 and beyond (cut to it).
    for (const auto& [a, b] : {std::pair{E18 - 100'000, E18}, std::pair{E18 - 3'000, INT64_MAX}}) {
        std::vector<int64_t> expected;
        for (int64_t n = a; n <= std::min(b, E18); ++n)
            if (gmpPrime(n)) expected.push_back(n);
        expectSameReadings(a, b, expected);
    }
}

TEST(Readings, CountsAcrossManySegmentsAndBothHalves) {
    // Known counts (pi(10^9), and primesieve's count after 10^12): large enough for the count
    // to split the interval between two threads and to cross many segments.
    Progress progress;
    EXPECT_EQ(search::CountPrimes(2, 1'000'000'000, progress), 50'847'534);
    EXPECT_EQ(search::CountPrimes(E12, E12 + 100'000'000, progress), 3'618'282);
    // A count segment's edge near 10^12, against the plain sieve.
    const int64_t from = E12 + 11, to = E12 + 31'457'280 + 2'000;
    EXPECT_EQ(search::CountPrimes(from, to, progress), (int64_t)referenceSieve(from, to).size());
    EXPECT_GE(progress.fraction(), 0.0);
    EXPECT_LE(progress.fraction(), 1.0);
}

TEST(Readings, StopAndCancel) {
    Progress progress;
    int batches = 0;
    search::ForEachPrime(2, 1'000'000'000, progress, [&](std::span<const int64_t>) { return ++batches < 2; });
    EXPECT_EQ(batches, 2);
    Progress cancelled;
    cancelled.cancel();
    EXPECT_THROW(search::CountPrimes(2, 1'000'000'000, cancelled), Cancelled);
    EXPECT_THROW(search::CountPrimes(E18 - 1'000'000, E18, cancelled), Cancelled);
    EXPECT_THROW(search::ForEachPrime(2, 1'000'000'000, cancelled, [](std::span<const int64_t>) { return true; }), Cancelled);
    // A cancel during a count on two threads stops both.
    Progress later;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        later.cancel();
    });
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_THROW(search::CountPrimes(E12, E12 + 1'000'000'000'000, later), Cancelled);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
}

TEST(ClampBounds, InTheOrderOfTheRules) {
    struct Row { int64_t low, high, wantLow, wantHigh; };
    const Row rows[] = {
        {2, 100, 2, 100}, {0, 100, 2, 100}, {1, 100, 2, 100}, {50, 10, 50, 51}, {2, -5, 2, 3},
        {0, 0, 2, 3}, {-7, -7, 2, 3}, {2, 5000000000000000000, 2, E18}, {E18, E18, E18 - 1, E18},
        {INT64_MAX, INT64_MAX, E18 - 1, E18}, {INT64_MIN, INT64_MIN, 2, 3}, {10, 5, 10, 11}, {7, 7, 7, 7},
    };
    for (const Row& r : rows)
        EXPECT_EQ(search::ClampBounds(r.low, r.high), (search::Bounds{r.wantLow, r.wantHigh})) << r.low << " " << r.high;
}

TEST(PrimeCountEstimate, KnownValuesAndFailures) {
    struct Row { long double a, b; int64_t want; };
    const Row rows[] = {
        {2, 100, 19}, {2, 1000, 142}, {1000, 10000, 941}, {1, 100, 0}, {100, 1, 0}, {100, 2, 0}, {0, 100, 0},
        {-5, 100, 0}, {2, 1e4000L, 0}, {2, 2, 0}, {E12, E12 + 10'000'000, 348814},
    };
    for (const Row& r : rows) EXPECT_EQ(search::PrimeCountEstimate(r.a, r.b), r.want) << (double)r.a << " " << (double)r.b;
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    const long double rows[][2] = {{18.5L, 18}, {19.5L, 20}, {18.49L, 18}, {18.51L, 19}, {-0.5L, 0}, {-1.5L, -2}, {7, 7}};
    for (const auto& r : rows) EXPECT_EQ(search::RoundHalfEven(r[0]), r[1]) << (double)r[0];
}

TEST(CountTwinPairs, AcrossParts) {
    EXPECT_EQ(search::CountTwinPairs(find(2, 100).primes), 8);
    EXPECT_EQ(search::CountTwinPairs(std::vector<int64_t>{3, 5, 7, 11, 13}), 3);
    EXPECT_EQ(search::CountTwinPairs(std::vector<int64_t>{}), 0);
    // 2 to 2160553 fills all five parts; the count runs over the borders of the parts.
    const auto all = find(2, 2160553).primes;
    int64_t expected = 0;
    for (std::size_t i = 1; i < all.size(); ++i) expected += all[i] - all[i - 1] == 2;
    EXPECT_EQ(search::CountTwinPairs(all), expected);
    // Neighbours at the ends of the 64-bit range differ by far more than 2, without overflow.
    EXPECT_EQ(search::CountTwinPairs(std::vector<int64_t>{INT64_MAX, -INT64_MAX}), 0);
    EXPECT_EQ(search::CountTwinPairs(std::vector<int64_t>{INT64_MIN, INT64_MAX, INT64_MAX - 2, INT64_MAX}), 1);
}

TEST(SummaryLines, TheDefaultSearch) {
    search::SummaryInput in;
    in.date = "12/9/26";
    in.start = "14:30:05";
    in.end = "14:30:06";
    in.duration = "00:00:01";
    in.low = 2;
    in.high = 100;
    in.firstOfPart = {2};
    in.lastOfPart = {97};
    in.total = 25;
    in.estimate = 19;
    in.twins = 8;
    const std::vector<std::string> want{
        "Search date: 12/9/26", "Start: 14:30:05", "End: 14:30:06", "Duration: 00:00:01", "", "From: 2",
        "To:    100", "", "The results are:", " Part 1:   2 - 97", "", " ==> 25 prime number(s) were found.", "",
        "The estimation was: ", "Legendre-Hadamard: ", " 19 prime number(s) to be found.", "",
        "There are 8 Twin Prime #s."};
    EXPECT_EQ(search::SummaryLines(in), want);
    in.twins.reset();
    const auto without = search::SummaryLines(in);
    EXPECT_EQ(without.size(), want.size() - 1);
    EXPECT_EQ(without.back(), "");
}

TEST(Texts, PreviewAndFileNames) {
    EXPECT_EQ(search::PreviewLines(19),
              (std::vector<std::string>{"", "The estimation is :", "=>Legendre-Hadamard: 19", " ...prime #s will be found."}));
    EXPECT_EQ(search::PreviewLines(std::nullopt),
              (std::vector<std::string>{"", "The estimation is :", "The estimations cannot be done."}));
    EXPECT_EQ(search::ProposedFileName(0, 0), "Prime numbers list from 0 To 0");
    EXPECT_EQ(search::SummaryFileName("a.txt"), "a.txt [Summary].txt");
    EXPECT_EQ(search::PartFileName("a.txt", 5), "a.txt [Part 5].txt");
    EXPECT_EQ(search::WholeNumberText(E18), "1000000000000000000");
    EXPECT_EQ(search::WholeNumberText(-42), "-42");
}

}  // namespace
