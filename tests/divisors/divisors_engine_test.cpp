// The divisor lists against references built from known factorizations; the number texts
// of the finder.
#include <gmp.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

#include "tools/divisors/divisors.h"

namespace {

using divisors::DivisorPairs;
using divisors::SortedDivisors;

uint64_t GmpNextPrime(uint64_t n) {
    mpz_t z;
    mpz_init(z);
    mpz_import(z, 1, 1, sizeof n, 0, 0, &n);
    mpz_nextprime(z, z);
    uint64_t p = 0;
    mpz_export(&p, nullptr, 1, sizeof p, 0, 0, z);
    mpz_clear(z);
    return p;
}

// All divisors from a factorization, by enumerating exponent vectors, then sorted.
std::vector<uint64_t> ReferenceDivisors(const std::map<uint64_t, int>& factorization) {
    std::vector<uint64_t> d{1};
    for (const auto& [p, a] : factorization) {
        const size_t before = d.size();
        uint64_t power = 1;
        for (int k = 1; k <= a; ++k) {
            power *= p;
            for (size_t i = 0; i < before; ++i) d.push_back(d[i] * power);
        }
    }
    std::sort(d.begin(), d.end());
    return d;
}

std::map<uint64_t, int> TrialDivision(uint64_t n) {
    std::map<uint64_t, int> f;
    for (uint64_t p = 2; p * p <= n; ++p)
        while (n % p == 0) ++f[p], n /= p;
    if (n > 1) ++f[n];
    return f;
}

TEST(Divisors, RandomNumbersUpToTenToTheEighteen) {
    const unsigned seed = std::random_device{}();
    std::mt19937_64 rng(seed);
    const uint64_t limit = 1000000000000000000ULL;
    for (int i = 0; i < 1000; ++i) {   // small enough for trial division in the test
        const uint64_t w = 1 + rng() % (rng() % 2 ? 10000000000ULL : 100000ULL);
        ASSERT_EQ(SortedDivisors(w), ReferenceDivisors(TrialDivision(w))) << w << " seed " << seed;
    }
    for (int i = 0; i < 1000; ++i) {   // products of known primes, up to the limit
        std::map<uint64_t, int> f;
        uint64_t w = 1;
        for (;;) {
            const int bits = 1 + (int)(rng() % 40);
            const uint64_t p = GmpNextPrime(rng() >> (64 - bits));
            if (p > limit / w) break;
            w *= p;
            ++f[p];
        }
        if (w == 1) continue;
        ASSERT_EQ(SortedDivisors(w), ReferenceDivisors(f)) << w << " seed " << seed;
    }
}

TEST(Divisors, CountsOfNamedNumbers) {
    struct Row { uint64_t w; size_t count; };
    const Row rows[] = {{1, 1}, {2, 2}, {720720, 240}, {897612484786617600ULL, 103680},
                        {1000000000000000000ULL, 361}, {999999999999999989ULL, 2},
                        {999999937ULL * 1000000007ULL, 4}, {4294967291ULL * 4294967291ULL, 3}};
    for (const Row& r : rows) {
        const auto d = SortedDivisors(r.w);
        EXPECT_EQ(d.size(), r.count) << r.w;
        EXPECT_TRUE(std::is_sorted(d.begin(), d.end()));
        for (uint64_t e : d) ASSERT_EQ(r.w % e, 0u) << e << " of " << r.w;
    }
    EXPECT_TRUE(SortedDivisors(0).empty());
}

TEST(Divisors, PairsOfTheTree) {
    using P = std::vector<std::pair<uint64_t, uint64_t>>;
    struct Row { int64_t w; P pairs; };
    const Row rows[] = {
        {100, {{2, 50}, {4, 25}, {5, 20}, {10, 10}}}, {12, {{2, 6}, {3, 4}}}, {6, {{2, 3}}},
        {10, {{2, 5}}}, {4, {{2, 2}}}, {49, {{7, 7}}}, {97, {}}, {3, {}}, {2, {}}, {1, {}}, {0, {}},
        {-12, {}}, {999999937LL * 1000000007LL, {{999999937, 1000000007}}},
    };
    for (const Row& r : rows) {
        P got;
        for (const auto& e : DivisorPairs(r.w)) got.push_back({e.divisor, e.coDivisor});
        EXPECT_EQ(got, r.pairs) << r.w;
    }
    const auto big = DivisorPairs(720720);
    const size_t entries = 2 * big.size() - (big.back().squareRoot() ? 1 : 0);
    EXPECT_EQ(entries, 238u);
    EXPECT_TRUE(DivisorPairs(4).front().squareRoot());
    EXPECT_FALSE(DivisorPairs(12).back().squareRoot());
}

TEST(NumberTexts, WholeNumbersReadExactly) {
    struct Row { const char* text; bool whole; const char* shown; int64_t w; };
    const Row rows[] = {
        {"100", true, "100", 100}, {"+5", true, "5", 5}, {"007", true, "7", 7}, {"-0", true, "0", 0},
        {"1", true, "1", 0}, {"-12", true, "-12", 0}, {"999999999999999989", true, "999999999999999989", 999999999999999989LL},
        {"1000000000000000000", true, "1000000000000000000", 1000000000000000000LL},
        {"1000000000000000001", true, "1000000000000000000", 1000000000000000000LL},
        {"123456789012345678901234567890", true, "1000000000000000000", 1000000000000000000LL},
        {"-123456789012345678901234567890", true, "-123456789012345678901234567890", 0},
        {"10.5", false, "", 0}, {"1e3", false, "", 0}, {"", false, "", 0}, {"-", false, "", 0}, {"12a", false, "", 0},
    };
    for (const Row& r : rows) {
        const auto s = divisors::WholeSubject(r.text);
        ASSERT_EQ(s.has_value(), r.whole) << r.text;
        if (!s) continue;
        EXPECT_EQ(s->text, r.shown) << r.text;
        EXPECT_EQ(s->w, r.w) << r.text;
    }
}

TEST(NumberTexts, FloatingNumbersInPlainDecimal) {
    struct Row { long double value; std::string shown; int64_t w; };
    const Row rows[] = {
        {10.5L, "10.5", 10}, {1e19L, "1000000000000000000", 1000000000000000000LL},
        {5e18L, "1000000000000000000", 1000000000000000000LL}, {1e18L, "1000000000000000000", 1000000000000000000LL},
        {100.0L, "100", 100}, {0.1L, "0.1", 0}, {0.3L, "0.3", 0}, {-12.5L, "-12.5", 0}, {-0.5L, "-0.5", 0},
        {1.5L, "1.5", 0}, {2.5L, "2.5", 2}, {97.25L, "97.25", 97}, {1.0L / 3, "0.333333333333333", 0},
        {2.0L / 3, "0.666666666666667", 0}, {1234.5678L, "1234.5678", 1234}, {0.000125L, "0.000125", 0},
        {-1e20L, "-100000000000000000000", 0}, {-0.0L, "0", 0}, {-1e30L, "-1000000000000000000000000000000", 0},
        {-18446744073709551615.0L, "-18446744073709551615", 0}, {-1.5e300L, "-15" + std::string(299, '0'), 0},
        // Rounding to 15 digits would change the whole part: the fraction is cut instead.
        {2.999999999999999999L, "2.99999999999999", 2}, {12345678901234567.5L, "12345678901234567.5", 12345678901234567LL},
        {999999999999999.75L, "999999999999999.7", 999999999999999LL},
    };
    for (const Row& r : rows) {
        const auto s = divisors::FloatSubject(r.value);
        EXPECT_EQ(s.text, r.shown) << (double)r.value;
        EXPECT_EQ(s.w, r.w) << (double)r.value;
    }
}

TEST(NumberTexts, ExactProducts) {
    struct Row { const char* a; const char* b; const char* product; };
    const Row rows[] = {
        {"2", "50", "100"}, {"3", "7", "21"}, {"999999937", "1000000007", "999999943999999559"},
        {"1000000000", "1000000000", "1000000000000000000"}, {"-3", "7", "-21"}, {"-3", "-7", "21"},
        {"0", "-5", "0"}, {"0012", "+4", "48"},
        {"99999999999999999999", "99999999999999999999", "9999999999999999999800000000000000000001"},
    };
    for (const Row& r : rows) EXPECT_EQ(divisors::ProductText(r.a, r.b), std::string(r.product)) << r.a << " * " << r.b;
    EXPECT_FALSE(divisors::ProductText("2.5", "4"));
    EXPECT_FALSE(divisors::ProductText("7 (Square root)", "7"));
    EXPECT_FALSE(divisors::ProductText(std::string(3000, '9'), std::string(3000, '9')));
    EXPECT_EQ(divisors::WholeNumberText(-42), "-42");
}

TEST(ListFiles, LevelsFollowTheIndentation) {
    using L = std::vector<std::pair<int, std::string>>;
    struct Row { const char* content; std::optional<L> entries; };
    const Row rows[] = {
        {"2\r\n\t50\r\n10 (Square root)\r\n", L{{0, "2"}, {1, "50"}, {0, "10 (Square root)"}}},
        {"3\n 7", L{{0, "3"}, {1, "7"}}},
        {"3\r\r\n\t7\n", L{{0, "3"}, {0, ""}, {1, "7"}}},   // CR, then CR LF: an empty line between
        {"\t\t3\n\t7\n", L{{0, "3"}, {1, "7"}}},
        {"1\n\t2\n \t3\n\t4\n5\n", L{{0, "1"}, {1, "2"}, {2, "3"}, {1, "4"}, {0, "5"}}},
        {"1\n\t2\n\t\t3\n4 5 \n", L{{0, "1"}, {1, "2"}, {2, "3"}, {0, "4 5 "}}},
        {"", L{}},
        {"2\n\t\t50\n", std::nullopt},
        {"1\n\t2\n\t\t\t\t3\n", std::nullopt},
    };
    for (const Row& r : rows) {
        const auto got = divisors::ParseDivisorList(r.content);
        ASSERT_EQ(got.has_value(), r.entries.has_value()) << r.content;
        if (!got) continue;
        L flat;
        for (const auto& e : *got) flat.push_back({e.level, e.text});
        EXPECT_EQ(flat, *r.entries) << r.content;
    }
}

}  // namespace
