// Super Modulo's engine: modular powers and expressions against known answers and GMP.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <random>
#include <string>

#include "bigint/bigint.h"
#include "core/progress.h"
#include "tests/gmp_util.h"
#include "tools/modulo/modulo.h"

namespace {

using modulo::ChunkedPowMod;
using modulo::ReduceExpression;
using modulo::ReduceOverFactors;

TBigInt big(const std::string& s) {
    TBigInt x;
    BigFromDecimal(s, x);
    return x;
}

// One factor through the run (the compiled path for well-formed text) and through the rewriting.
struct Both {
    std::string run, rewrite;
};
Both reduceBoth(const std::string& expression, int64_t factor) {
    Progress progress;
    std::vector<std::string> lines;
    Both b;
    try {
        ReduceOverFactors(expression, factor, factor, progress, lines);
        b.run = lines.at(0);
    } catch (const BigError& e) {
        b.run = std::string("error: ") + e.what();
    }
    try {
        b.rewrite = ReduceExpression(expression, BigFromInt(factor));
    } catch (const BigError& e) {
        b.rewrite = std::string("error: ") + e.what();
    }
    return b;
}

TEST(ModuloExpression, KnownAnswers) {
    struct Row { const char* expression; int64_t factor; const char* result; };
    const Row rows[] = {
        {"2^10+1", 7, "3"},           // 1025 mod 7
        {"3*2^5-1", 10, "5"}, {"3*2^5-1", 11, "7"}, {"3*2^5-1", 12, "11"},
        {"-5+3", 100, "98"},          // -2, reduced
        {"10-3+2", 100, "9"},         // "+" and "-" from the left
        {"10-30-5", 100, "75"},       // -25, reduced
        {"10-3-5", 100, "2"},
        {"2^3^2", 1000, "64"},        // (2^3)^2
        {"-2^2", 10, "6"},            // the sign applies to the power
        {"-5*3", 100, "85"},
        {"2*3+4*5", 1000, "26"},
        {"1+2*3^2-4", 1000, "15"},
        {"0^0", 7, "1"},
        {"5^0", 1, "0"},
        {"123456789^987654321*3+7", 1, "0"},
        {"-0", 9, "0"},
        {"007*008", 100, "56"},
    };
    for (const Row& r : rows) {
        const Both b = reduceBoth(r.expression, r.factor);
        EXPECT_EQ(b.run, r.result) << r.expression << " mod " << r.factor;
        EXPECT_EQ(b.rewrite, r.result) << r.expression << " mod " << r.factor;
    }
}

// Exponents far beyond what a product of 150-unit blocks could reach, as the field allows them.
TEST(ModuloExpression, HugeExponentsAgreeWithGmpPowm) {
    struct Row { const char* base; const char* exponent; };
    const Row rows[] = {{"2", "1000000000000"}, {"7", "999999999999999999999999999999999999999999999999"},
                        {"123456789", "98765432109876543210"}};
    for (const Row& r : rows) {
        for (int64_t f : {int64_t{2}, int64_t{1000000007}, int64_t{999999999999999999}, int64_t{1} << 40,
                          int64_t{9223372036854775807}}) {
            Mpz b, e, m, want;
            mpz_set_str(b.v, r.base, 10);
            mpz_set_str(e.v, r.exponent, 10);
            mpz_set_si(m.v, f);
            mpz_powm(want.v, b.v, e.v, m.v);
            const Both got = reduceBoth(std::string(r.base) + "^" + r.exponent, f);
            EXPECT_EQ(got.run, want.str()) << r.base << "^" << r.exponent << " mod " << f;
            EXPECT_EQ(got.rewrite, want.str()) << r.base << "^" << r.exponent << " mod " << f;
        }
    }
}

TEST(ModuloExpression, MalformedTextGivesTheConversionError) {
    struct Row { const char* expression; const char* message; };
    const Row rows[] = {
        {"2 * 3^4 + 1", "'' is not a valid integer value"},   // blanks next to operators
        {"", "'' is not a valid integer value"},
        {"2^", "'' is not a valid integer value"},
        {"+5", "'' is not a valid integer value"},
        {"5+-3", "'' is not a valid integer value"},
        {"2**3", "'' is not a valid integer value"},
        {"a^2", "'' is not a valid integer value"},
        {"5 -3", "'' is not a valid integer value"},
        {"-", "'' is not a valid integer value"},
        {"x", "'x' is not a valid integer value"},
        {"12a", "'12a' is not a valid integer value"},
    };
    for (const Row& r : rows) {
        const Both b = reduceBoth(r.expression, 97);
        EXPECT_EQ(b.run, std::string("error: ") + r.message) << "[" << r.expression << "]";
        EXPECT_EQ(b.rewrite, std::string("error: ") + r.message) << "[" << r.expression << "]";
    }
}

TEST(ModuloRunOverFactors, OneLinePerFactorAndTheEnds) {
    Progress progress;
    std::vector<std::string> lines;
    ReduceOverFactors("3*2^5-1", 1, 1001, progress, lines);
    ASSERT_EQ(lines.size(), 1001u);
    for (int64_t f = 1; f <= 1001; ++f) EXPECT_EQ(lines[f - 1], std::to_string(95 % f)) << f;

    // A run that reaches the largest 64-bit factor stops there.
    const int64_t top = std::numeric_limits<int64_t>::max();
    lines.clear();
    ReduceOverFactors("10^30+1", top - 2, top, progress, lines);
    ASSERT_EQ(lines.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        Mpz v, m;
        mpz_ui_pow_ui(v.v, 10, 30);
        mpz_add_ui(v.v, v.v, 1);
        mpz_set_si(m.v, top - 2 + k);
        mpz_mod(v.v, v.v, m.v);
        EXPECT_EQ(lines[k], v.str());
    }

    lines.clear();
    ReduceOverFactors("2+2", 0, 5, progress, lines);
    ReduceOverFactors("2+2", 6, 5, progress, lines);
    EXPECT_TRUE(lines.empty());
}

TEST(ModuloRunOverFactors, CancelThrowsAndAFailureKeepsNoLine) {
    Progress cancelled;
    cancelled.cancel();
    std::vector<std::string> lines;
    EXPECT_THROW(ReduceOverFactors("2^10+1", 7, 1007, cancelled, lines), Cancelled);
    // A long pasted text is rewritten one operation at a time, each a chance to stop.
    std::string pasted;
    for (int i = 0; i < 20000; ++i) pasted += "1*";
    pasted += " 1";
    EXPECT_THROW(ReduceExpression(pasted, BigFromInt(7), &cancelled), Cancelled);
    Progress progress;
    try {
        ReduceOverFactors("2 * 3", 7, 1007, progress, lines);
        ADD_FAILURE() << "no failure";
    } catch (const BigError& e) {
        EXPECT_EQ(std::string(e.what()), "'' is not a valid integer value");
    }
    EXPECT_TRUE(lines.empty());
}

// Long texts are read once per operator kind: 100,000 characters take milliseconds, and a
// cancel is seen at once however the text looks.
TEST(ModuloExpression, LongTextsInLinearTime) {
    const auto t0 = std::chrono::steady_clock::now();
    const std::string dashes(100000, '-');
    EXPECT_THROW(ReduceExpression(dashes + "5+1", BigFromInt(7)), BigError);
    std::string sum;
    for (int i = 0; i < 25000; ++i) sum += "3^2+";
    sum += "1";
    EXPECT_EQ(ReduceExpression(sum, BigFromInt(1000003)), "225001");
    EXPECT_EQ(ReduceExpression("-" + sum, BigFromInt(1000003)), "224983");   // -9 + 24999 * 9 + 1
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(ms, 2000.0);
    Progress cancelled;
    cancelled.cancel();
    for (const std::string& text : {dashes + "5+1", sum, dashes, std::string(200000, '7')})
        EXPECT_THROW(ReduceExpression(text, BigFromInt(7), &cancelled), Cancelled) << text.size();
}

// Moduli of every kind the power distinguishes: one, powers of two, odd and even words,
// the edge of the word range and multi-digit odd and even moduli.
std::vector<std::string> moduli() {
    return {"1", "2", "3", "4", "1024", "1000000007", "999999999999999999", "1000000000000000000",
            "4611686018427387904", "9223372036854775807", "9223372036854775806",
            "9223372036854775808", "9223372036854775809", "340282366920938463463374607431768211457",
            "340282366920938463463374607431768211456", "123456789012345678901234567890123456"};
}

TEST(ChunkedPowMod, AgreesWithGmpPowm) {
    std::mt19937_64 rng(20261210);
    SCOPED_TRACE("seed 20261210");
    const TBigInt zero = BigFromInt(0);
    for (const std::string& ms : moduli()) {
        const TBigInt M = big(ms);
        Mpz m(M);
        for (int i = 0; i < 40; ++i) {
            std::string bs = std::to_string(rng()) + std::to_string(rng() % 1000000) ;
            bs = bs.substr(0, 1 + rng() % bs.size());
            if (i % 3 == 0) bs = "-" + bs;
            std::string es = i == 0 ? "0" : std::to_string(rng());
            if (i % 4 == 1) es += std::to_string(rng()) + std::to_string(rng());   // beyond 150 * 2^63
            const TBigInt B = big(bs), E = big(es);
            TBigInt R;
            ChunkedPowMod(B, E, M, R);
            Mpz b(B), e(E), want;
            mpz_powm(want.v, b.v, e.v, m.v);
            ASSERT_EQ(BigToDecimal(R), want.str()) << bs << "^" << es << " mod " << ms;
        }
    }
    TBigInt R;
    EXPECT_THROW(ChunkedPowMod(big("5"), big("3"), zero, R), BigError);
    EXPECT_THROW(ChunkedPowMod(big("5"), big("3"), big("-7"), R), BigError);
}

// Every small case, where powers of two in the modulus meet small and even bases.
TEST(ChunkedPowMod, ExhaustiveSmallCases) {
    std::vector<int64_t> ms;
    for (int64_t m = 1; m <= 64; ++m) ms.push_back(m);
    for (int64_t m : {int64_t{1} << 62, int64_t{3} << 60, int64_t{5} << 40, (int64_t{1} << 62) + 2}) ms.push_back(m);
    Mpz b, e, m, want;
    for (int64_t M : ms) {
        mpz_set_si(m.v, M);
        for (int64_t B = -2; B <= 20; ++B) {
            mpz_set_si(b.v, B);
            for (int64_t E = 0; E <= 70; ++E) {
                mpz_set_si(e.v, E);
                mpz_powm(want.v, b.v, e.v, m.v);
                TBigInt R;
                ChunkedPowMod(BigFromInt(B), BigFromInt(E), BigFromInt(M), R);
                ASSERT_EQ(BigToDecimal(R), want.str()) << B << "^" << E << " mod " << M;
            }
        }
    }
}

// Random well-formed expressions of at most 50 characters, reduced modulo random factors by the
// run, and by the rewriting with the factor as a big integer, against the exact value in GMP.
TEST(ModuloExpression, RandomExpressionsAgreeWithGmp) {
    const unsigned seed = 5150;
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937_64 rng(seed);
    const auto digits = [&](int maxLen) {
        std::string s = std::to_string(rng());
        return s.substr(0, 1 + rng() % std::min<size_t>(s.size(), (size_t)maxLen));
    };
    int checked = 0;
    while (checked < 300) {
        std::string text;
        Mpz value, term, factor;
        mpz_set_ui(value.v, 0);
        bool negative = rng() % 4 == 0;
        if (negative) text = "-";
        const int terms = 1 + (int)(rng() % 4);
        for (int t = 0; t < terms; ++t) {
            if (t > 0) {
                negative = rng() % 2 == 0;
                text += negative ? "-" : "+";
            }
            mpz_set_ui(term.v, 1);
            const int factors = 1 + (int)(rng() % 3);
            for (int f = 0; f < factors; ++f) {
                if (f > 0) text += "*";
                // Now and then a base beyond 18 digits, the size of one machine-word chunk.
                const std::string base = rng() % 6 == 0 ? digits(19) + digits(19) : digits(6);
                text += base;
                mpz_set_str(factor.v, base.c_str(), 10);
                const int powers = (int)(rng() % 3);
                for (int p = 0; p < powers; ++p) {
                    const std::string e = digits(2);
                    text += "^" + e;
                    mpz_pow_ui(factor.v, factor.v, std::stoul(e));
                }
                mpz_mul(term.v, term.v, factor.v);
            }
            if (negative) mpz_sub(value.v, value.v, term.v);
            else mpz_add(value.v, value.v, term.v);
        }
        if (text.size() > 50 || mpz_sizeinbase(value.v, 2) > 20000) continue;
        const int64_t f = rng() % 3 == 0 ? (int64_t)(1 + rng() % 1000)
                                          : (int64_t)(1 + rng() % std::numeric_limits<int64_t>::max());
        Mpz m, want;
        mpz_set_si(m.v, f);
        mpz_fdiv_r(want.v, value.v, m.v);
        const Both b = reduceBoth(text, f);
        ASSERT_EQ(b.run, want.str()) << text << " mod " << f;
        ASSERT_EQ(b.rewrite, want.str()) << text << " mod " << f;
        // And modulo a factor beyond the machine word, through the big-integer paths.
        std::string bigModulus = std::to_string(f) + std::to_string(rng() | 1);
        Mpz bm, wantBig;
        mpz_set_str(bm.v, bigModulus.c_str(), 10);
        mpz_fdiv_r(wantBig.v, value.v, bm.v);
        ASSERT_EQ(ReduceExpression(text, big(bigModulus)), wantBig.str()) << text << " mod " << bigModulus;
        ++checked;
    }
}

}  // namespace
