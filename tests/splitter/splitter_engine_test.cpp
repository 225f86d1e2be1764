// The Splitter's engine: the classic rho order of factors, each stronger method on its own,
// random products checked against GMP, the awkward inputs and cancelling.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "tests/gmp_util.h"
#include "tools/splitter/ecm.h"
#include "tools/splitter/rho.h"
#include "tools/splitter/siqs.h"
#include "tools/splitter/splitter.h"

namespace {

using splitter::Analyse;
using splitter::FactorLine;
using splitter::SortedFactors;
using splitter::FindPrimeFactor;
using splitter::SplitterMethod;
using splitter::SplitterResult;
using splitter::RhoStep;
using splitter::SplitterRow;

TBigInt big(const std::string& s) {
    TBigInt a;
    BigFromDecimal(s, a);
    return a;
}

std::string dec(const TBigInt& a) { return BigToDecimal(a); }

SplitterResult analyse(SplitterMethod m, const std::string& n) {
    Progress p;
    return Analyse(m, big(n), true, p);
}

std::vector<std::string> factorRows(const std::string& n, std::string* expression = nullptr) {
    SplitterResult r = analyse(SplitterMethod::CompleteFactorization, n);
    std::vector<std::string> out;
    for (const SplitterRow& row : r.rows) out.push_back(row.key + "=" + row.value);
    if (expression) *expression = r.expression;
    return out;
}

struct WorkedCase { const char* n; std::vector<const char*> factors; const char* expression; };

TEST(SplitterWorkedTable, FactorsComeInRhoOrder) {
    const WorkedCase cases[] = {
        {"15", {"5", "3"}, "5*3"},
        {"8051", {"97", "83"}, "97*83"},
        {"100", {"5", "5", "2", "2"}, "5*5*2*2"},
        {"4", {"2", "2"}, "2*2"},
        {"600851475143", {"71", "839", "1471", "6857"}, "71*839*1471*6857"},
        {"4294967297", {"641", "6700417"}, "641*6700417"},
        {"000015", {"5", "3"}, "5*3"},
        {"1000000007", {"1000000007"}, "1000000007"},
    };
    for (const WorkedCase& c : cases) {
        std::string expr;
        std::vector<std::string> rows = factorRows(c.n, &expr);
        std::vector<std::string> want;
        for (size_t i = 0; i < c.factors.size(); ++i)
            want.push_back("factor" + std::to_string(i + 1) + " is Prime=" + c.factors[i]);
        EXPECT_EQ(rows, want) << c.n;
        EXPECT_EQ(expr, c.expression) << c.n;
    }
}

TEST(SplitterRho, StepIsSquarePlusConstantModN) {
    TBigInt x = big("3");
    RhoStep(x, big("-1"), big("8051"));
    EXPECT_EQ(dec(x), "8");
    RhoStep(x, big("-1"), big("8051"));
    EXPECT_EQ(dec(x), "63");
    x = big("0");
    RhoStep(x, big("-20"), big("7"));   // -20 mod 7 is the least non-negative 1
    EXPECT_EQ(dec(x), "1");
}

TEST(SplitterRho, FastRunGivesTheClassicRunsResult) {
    // Found early, found late (past several 64-iteration batches), failed with G = N, and
    // not found within the budget.
    const struct { const char* n; const char* c; const char* x0; uint64_t budget; const char* want; } cases[] = {
        {"8051", "-1", "3", 1000, "97"},
        {"91", "-1", "3", 1000, "91"},
        {"9", "-1", "3", 1000, "9"},
        {"600851475143", "-1", "3", 1000, "71"},
        {"1000000016000000063", "-1", "3", 100000, ""},
        {"10403", "7", "11", 1000, ""},
        {"999962000357", "-1", "3", 20000, ""},
        {"340282366920938463463374607431768211457", "-1", "3", 3000, ""},
        {"18446744073709551617", "-1", "3", 20000, ""},
        {"18446744073709551617", "5", "2", 20000, ""},
    };
    for (const auto& c : cases) {
        Progress p;
        auto ref = splitter::RhoRunReference(big(c.n), big(c.c), big(c.x0), c.budget, p);
        auto fast = splitter::RhoRunFast(big(c.n), big(c.c), big(c.x0), c.budget, p);
        ASSERT_EQ(ref.has_value(), fast.has_value()) << c.n << " c=" << c.c;
        if (ref) {
            EXPECT_EQ(dec(*ref), dec(*fast)) << c.n << " c=" << c.c;
        }
        if (*c.want) {
            ASSERT_TRUE(ref.has_value()) << c.n;
            EXPECT_EQ(dec(*ref), c.want) << c.n;
        }
    }
}

// Each stronger method alone, on a number the others do not split within their budgets.
TEST(SplitterMethods, EachSplitsWhatOnlyItCan) {
    Progress p;
    using splitter::StrongOptions;
    const StrongOptions none{false, false, false, false, false};
    struct Case { const char* n; StrongOptions only; const char* method; const char* divisor; };
    StrongOptions trial = none, power = none, rho = none, ecm = none, siqs = none;
    trial.trial = true;
    power.power = true;
    rho.rho = true;
    ecm.ecm = true;
    siqs.siqs = true;
    const Case cases[] = {
        // 65521 times a 30-digit prime.
        {"6552100000000000000000000020901199", trial, "trial", "65521"},
        // The square of a 25-digit prime.
        {"1000000000000000000000014000000000000000000000049", power, "power", "1000000000000000000000007"},
        // A 7-digit prime times a 30-digit prime: Brent's rho within its short run.
        {"100000300000000000000000000319000957", rho, "rho", "1000003"},
        // A 12-digit prime times a 30-digit prime: ECM.
        {"10000000000300000000000000031900000000957", ecm, "ecm", "100000000003"},
        // 15 + 15 digits: the sieve.
        {"291609974767149813584311441063", siqs, "siqs", "400017289577449"},
    };
    for (const Case& c : cases) {
        TBigInt d;
        std::string used;
        ASSERT_TRUE(splitter::SplitWith(big(c.n), c.only, d, used, p)) << c.n;
        EXPECT_EQ(used, c.method) << c.n;
        TBigInt q, r;
        BigDivMod(big(c.n), d, q, r);
        EXPECT_TRUE(BigIsZero(r)) << c.n;
        const std::string ds = dec(d), qs = dec(q);
        EXPECT_TRUE(ds == c.divisor || qs == c.divisor) << c.n << " gave " << ds;
    }
    // ... and the methods that are not meant to split them do not, within their budgets.
    uint32_t curve = 0;
    EXPECT_FALSE(splitter::Ecm(big("1000000000000000000000014000000000000000000000049"), 2000, 200000, 3, curve, p));
    EXPECT_FALSE(splitter::BrentRho(big("1000000000000000000000014000000000000000000000049"), 1, 2, 4096, p));
    EXPECT_FALSE(splitter::BrentRho(big("10000000000300000000000000031900000000957"), 1, 2, 4096, p));
    EXPECT_FALSE(splitter::Ecm(big("291609974767149813584311441063"), 300, 30000, 3, curve, p));
    EXPECT_FALSE(splitter::BrentRho(big("291609974767149813584311441063"), 1, 2, 4096, p));
}

TEST(SplitterMethods, IntegerRootIsTheFloor) {
    EXPECT_EQ(dec(splitter::IntegerRoot(big("1000000000000000000000014000000000000000000000049"), 2)),
              "1000000000000000000000007");
    EXPECT_EQ(dec(splitter::IntegerRoot(big("1000000000000000000000014000000000000000000000048"), 2)),
              "1000000000000000000000006");
    EXPECT_EQ(dec(splitter::IntegerRoot(big("1125899906842624"), 5)), "1024");
    EXPECT_EQ(dec(splitter::IntegerRoot(big("1125899906842623"), 5)), "1023");
    EXPECT_EQ(dec(splitter::IntegerRoot(big("2"), 7)), "1");
    // Exponents far beyond the number's bits answer at once instead of building 2^k.
    EXPECT_EQ(dec(splitter::IntegerRoot(big("2"), 300000000)), "1");
    EXPECT_EQ(dec(splitter::IntegerRoot(big("-1000000000000000000000014000000000000000000000049"), 4000000000)), "1");
    EXPECT_EQ(dec(splitter::IntegerRoot(big("0"), 300000000)), "0");
}

// Products of two to four random primes of 5 to 25 digits, at most 40 digits in all (the
// factorization's limit), factored completely and multiplied back; every factor prime.
void randomProducts(unsigned seed, int count) {
    gmp_randstate_t state;
    gmp_randinit_default(state);
    gmp_randseed_ui(state, seed);
    for (int i = 0; i < count; ++i) {
        const unsigned k = 2 + (unsigned)gmp_urandomm_ui(state, 3);
        std::vector<unsigned> digits;
        unsigned total = 0;
        for (unsigned j = 0; j < k; ++j) {
            const unsigned d = 5 + (unsigned)gmp_urandomm_ui(state, 21);
            if (total + d > 40) break;
            digits.push_back(d);
            total += d;
        }
        if (digits.size() < 2) digits = {5 + (unsigned)gmp_urandomm_ui(state, 16), 5 + (unsigned)gmp_urandomm_ui(state, 16)};
        Mpz n, p, lo, span;
        mpz_set_ui(n.v, 1);
        for (unsigned d : digits) {
            mpz_ui_pow_ui(lo.v, 10, d - 1);
            mpz_mul_ui(span.v, lo.v, 9);
            mpz_urandomm(p.v, state, span.v);
            mpz_add(p.v, p.v, lo.v);
            mpz_nextprime(p.v, p.v);
            mpz_mul(n.v, n.v, p.v);
        }
        const std::string text = n.str();
        SplitterResult r = analyse(SplitterMethod::CompleteFactorization, text);
        Mpz product, f;
        mpz_set_ui(product.v, 1);
        std::string back;
        for (const SplitterRow& row : r.rows) {
            mpz_set_str(f.v, row.value.c_str(), 10);
            EXPECT_NE(mpz_probab_prime_p(f.v, 30), 0) << "seed " << seed << " case " << i << " n " << text << ": " << row.value;
            EXPECT_EQ(row.key.substr(row.key.size() - 8), "is Prime") << text;
            mpz_mul(product.v, product.v, f.v);
            back += (back.empty() ? "" : "*") + row.value;
        }
        EXPECT_EQ(product.str(), text) << "seed " << seed << " case " << i;
        EXPECT_EQ(r.expression, back) << text;
    }
    gmp_randclear(state);
}

TEST(SplitterRandomProducts, FirstHundred) { randomProducts(2026, 100); }
TEST(SplitterRandomProducts, SecondHundred) { randomProducts(1210, 100); }

TEST(SplitterAwkwardInputs, FactorizationOutcomes) {
    const struct { const char* n; std::vector<std::string> rows; } cases[] = {
        // A prime of 50 digits.
        {"10000000000000000000000000000000000000000000000009", {}},
        {"2267713032779690448954457", {"factor1 is Prime=2267713032779690448954457"}},
        // The square of a 25-digit prime.
        {"1000000000000000000000014000000000000000000000049",
         {"factor1 is Prime=1000000000000000000000007", "factor2 is Prime=1000000000000000000000007"}},
        // Powers of small primes.
        {"1853020188851841", {"factor1 is Prime=3", "factor2 is Prime=3", "factor3 is Prime=3", "factor4 is Prime=3",
                              "factor5 is Prime=3", "factor6 is Prime=3", "factor7 is Prime=3", "factor8 is Prime=3",
                              "factor9 is Prime=3", "factor10 is Prime=3", "factor11 is Prime=3", "factor12 is Prime=3",
                              "factor13 is Prime=3", "factor14 is Prime=3", "factor15 is Prime=3", "factor16 is Prime=3",
                              "factor17 is Prime=3", "factor18 is Prime=3", "factor19 is Prime=3", "factor20 is Prime=3",
                              "factor21 is Prime=3", "factor22 is Prime=3", "factor23 is Prime=3", "factor24 is Prime=3",
                              "factor25 is Prime=3", "factor26 is Prime=3", "factor27 is Prime=3", "factor28 is Prime=3",
                              "factor29 is Prime=3", "factor30 is Prime=3", "factor31 is Prime=3", "factor32 is Prime=3"}},
        // Carmichael numbers: no witness trouble for the finder.
        {"561", {"factor1 is Prime=3", "factor2 is Prime=11", "factor3 is Prime=17"}},
        {"-77", {"Sign=-1", "factor1 is Prime=7", "factor2 is Prime=11"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> rows = factorRows(c.n);
        if (c.rows.empty()) {
            // A prime: one row, itself.
            EXPECT_EQ(rows, std::vector<std::string>{std::string("factor1 is Prime=") + c.n});
            continue;
        }
        std::vector<std::string> sorted = rows, want = c.rows;
        // Order is rho's where rho splits; compare as sets of rows by value for the rest.
        auto byValue = [](std::vector<std::string> v) {
            for (std::string& s : v) s = s.substr(s.find('=') + 1);
            std::sort(v.begin(), v.end());
            return v;
        };
        EXPECT_EQ(byValue(rows), byValue(want)) << c.n;
        EXPECT_EQ(rows.size(), want.size()) << c.n;
    }
    // A large Carmichael number, 41041 = 7 * 11 * 13 * 41, and 2^64 give their primes.
    std::vector<std::string> rows = factorRows("41041");
    EXPECT_EQ(rows.size(), 4u);
    EXPECT_EQ(factorRows("18446744073709551616").size(), 64u);
}

TEST(SplitterAwkwardInputs, SampleFactorOfAPrimeIsThePrime) {
    SplitterResult r = analyse(SplitterMethod::SampleFactor, "10000000000000000000000000000000000000000000000009");
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0].key, "Factor is Prime");
    EXPECT_EQ(r.rows[0].value, "10000000000000000000000000000000000000000000000009");
    EXPECT_EQ(r.expression, "10000000000000000000000000000000000000000000000009 * Other factor");
    r = analyse(SplitterMethod::SampleFactor, "24048007048169056035078865629299189049964776517369");
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0].value, "3342385789");
    EXPECT_EQ(r.expression, "3342385789 * Other factor");
}

// A 201-digit number with no small factor cannot be finished; cancelling ends it quickly,
// in every stage it may be in.
TEST(SplitterCancel, EndsWithinASecond) {
    // nextprime(10^100) * nextprime(3 * 10^100)
    const std::string hard201 = "3" + std::string(96, '0') + "1024" + std::string(95, '0') + "59541";
    for (const std::string& n : {hard201, std::string("13214381623736804966383081652561308563871979695969"),
                                 std::string("2977747515108253289377688512811504018387")}) {
        for (int delayMs : {5, 120}) {
            Progress p;
            std::thread canceller([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                p.cancel();
            });
            const auto t0 = std::chrono::steady_clock::now();
            bool cancelled = false;
            try {
                Analyse(SplitterMethod::SampleFactor, big(n), true, p);
            } catch (const Cancelled&) {
                cancelled = true;
            }
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
            canceller.join();
            if (n == hard201) {
                EXPECT_TRUE(cancelled);
            }
            if (cancelled) {
                EXPECT_LT(ms - delayMs, 1000.0) << n.size() << " digits";
            }
        }
    }
}

TEST(SplitterAwkwardInputs, ZeroOneAndMinusOne) {
    const struct { const char* n; std::vector<std::string> rows; const char* expression; } cases[] = {
        {"0", {}, ""}, {"1", {}, ""}, {"-1", {"Sign=-1"}, "-1"}, {"-0", {}, ""},
    };
    for (const auto& c : cases) {
        std::string expression;
        EXPECT_EQ(factorRows(c.n, &expression), c.rows) << c.n;
        EXPECT_EQ(expression, c.expression) << c.n;
        const SplitterResult sample = analyse(SplitterMethod::SampleFactor, c.n);
        EXPECT_TRUE(sample.rows.empty()) << c.n;
        EXPECT_EQ(sample.expression, "") << c.n;
    }
    for (const char* n : {"0", "1", "-1"}) {
        Progress p;
        TBigInt f = big("12345");
        FindPrimeFactor(big(n), big("-1"), big("3"), f, p);
        EXPECT_EQ(dec(f), std::string(n) == "0" ? "0" : "1") << n;
    }
}

TEST(SplitterPrimeGenerator, NextPrimeAfterSmallNumbers) {
    const struct { const char* n; const char* next; const char* difference; } cases[] = {
        {"-5", "2", "7"}, {"-1", "2", "3"}, {"0", "2", "2"}, {"1", "2", "1"}, {"2", "3", "1"},
        {"3", "5", "2"}, {"7", "11", "4"}, {"89", "97", "8"}, {"18446744073709551557", "18446744073709551629", "72"},
    };
    for (const auto& c : cases) {
        const SplitterResult r = analyse(SplitterMethod::PrimeGenerator, c.n);
        ASSERT_EQ(r.rows.size(), 2u) << c.n;
        EXPECT_EQ(r.rows[0].value, c.next) << c.n;
        EXPECT_EQ(r.rows[1].value, c.difference) << c.n;
    }
}

// The probable-prime test of a 100,000-digit number runs for minutes; a cancel ends it at once.
TEST(SplitterCancel, PrimalityTestOfAHugeNumber) {
    // 10^99999 + k with no prime factor below 1000, so that trial division cannot decide.
    TBigInt n;
    for (int k = 1;; k += 2) {
        n = big("1" + std::string(99998, '0') + (k < 10 ? "0" : "") + std::to_string(k));
        bool free = true;
        for (int32_t p : SmallPrimeBases) {
            if (p > 1000) break;
            TBigInt q = n;
            if (BigDivSmall(q, p) == 0) free = false;
        }
        if (free) break;
    }
    for (SplitterMethod m : {SplitterMethod::CompleteFactorization, SplitterMethod::SampleFactor}) {
        Progress p;
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            p.cancel();
        });
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_THROW(Analyse(m, n, true, p), Cancelled);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        canceller.join();
        EXPECT_LT(ms, 1200.0);
    }
}

// The factor line takes the 64-bit factorization below 2^64: the same primes as the Splitter's
// own factorization, sorted, on both sides of the boundary and for signs and units.
TEST(SplitterFactorLine, SameAsTheSortedFactorization) {
    std::vector<std::string> numbers = {"0", "1", "-1", "2", "-12", "18446744073709551615", "18446744073709551616",
                                        "18446744073709551617", "-18446744073709551557", "36893488147419103232",
                                        "4611686018427387904", "999999999999999989", "1000000016000000063"};
    std::mt19937_64 g(99);
    for (int i = 0; i < 60; ++i) numbers.push_back(std::to_string(g() >> (g() % 64)));
    for (const std::string& n : numbers) {
        Progress p;
        EXPECT_EQ(FactorLine(big(n), p), SortedFactors(analyse(SplitterMethod::CompleteFactorization, n))) << n;
    }
}

TEST(SplitterProgress, NamesTheStage) {
    // The sieve's progress line on a 30-digit balanced semiprime.
    Progress p;
    ASSERT_TRUE(splitter::Siqs(big("291609974767149813584311441063"), p));
    EXPECT_EQ(p.phase().rfind("Sieve: relations found ", 0), 0u) << p.phase();
    uint32_t curve = 0;
    splitter::Ecm(big("291609974767149813584311441063"), 300, 30000, 2, curve, p);
    EXPECT_EQ(p.phase(), "ECM curve 2");
}

}  // namespace
