// Differential test of every core operation against GMP on random and structured operands.
// QUENDRA_DIFF_PAIRS sets the number of operand pairs (default 30000, seven checks each);
// QUENDRA_DIFF_SEED replays a failing run.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "bigint/mag.h"
#include "tests/gmp_util.h"

namespace {

uint64_t envOr(const char* name, uint64_t fallback) {
    const char* v = std::getenv(name);
    return v ? std::strtoull(v, nullptr, 10) : fallback;
}

bool isZero(const Mpz& z) { return mpz_sgn(z.v) == 0; }

// Checks one pair with every operation; returns an empty string or what went wrong.
std::string checkPair(const TBigInt& A, const TBigInt& B) {
    Mpz a(A), b(B), e, f;
    TBigInt c, q, r;
    auto sign = [](bool positive) { return positive ? Positive : Negative; };

    BigAdd(A, B, c);
    mpz_add(e.v, a.v, b.v);
    if (!SameMagnitude(c, e) || c.Sign != (isZero(e) ? A.Sign : sign(mpz_sgn(e.v) > 0))) return "add";
    BigSub(A, B, c);
    mpz_sub(e.v, a.v, b.v);
    if (!SameMagnitude(c, e) || c.Sign != (isZero(e) ? A.Sign : sign(mpz_sgn(e.v) > 0))) return "sub";
    BigMul(A, B, c);
    mpz_mul(e.v, a.v, b.v);
    if (!SameMagnitude(c, e) || c.Sign != sign(A.Sign == B.Sign)) return "mul";
    BigSquare(A, c);
    mpz_mul(e.v, a.v, a.v);
    if (!SameMagnitude(c, e) || c.Sign != Positive) return "square";
    if (!isZero(b)) {
        BigDivMod(A, B, q, r);
        mpz_mod(f.v, a.v, b.v);                  // 0 <= f < |b|
        mpz_sub(e.v, a.v, f.v);
        mpz_divexact(e.v, e.v, b.v);             // the matching quotient
        if (!SameMagnitude(q, e) || !SameMagnitude(r, f) || r.Sign != Positive ||
            q.Sign != sign(A.Sign == B.Sign))
            return "divmod";
    }
    BigGcd(A, B, c);
    mpz_gcd(e.v, a.v, b.v);
    {
        int cmp = BigCompareAbs(A, B);
        uint8_t expected = Positive;
        const TBigInt& big = cmp == 0 ? A : B;
        const TBigInt& small = cmp == 0 ? B : A;
        if (cmp == 2) expected = A.Sign;
        else if (BigIsZero(small)) expected = big.Sign;
        else {
            Mpz bb(big), ss(small), m;
            mpz_mod(m.v, bb.v, ss.v);
            if (isZero(m)) expected = small.Sign;
        }
        if (!SameMagnitude(c, e) || c.Sign != expected) return "gcd";
    }
    std::string text = BigToDecimal(A);
    if (text != (A.Sign == Negative && isZero(a) ? "-" : "") + a.str()) return "toDecimal";
    BigFromDecimal(text, c);
    if (c.Digits != A.Digits || c.Sign != A.Sign) return "fromDecimal";
    return {};
}

void runPairs(uint64_t seed, uint64_t pairs, size_t maxDigits) {
    OperandMaker maker(seed);
    for (uint64_t i = 0; i < pairs; ++i) {
        TBigInt A = maker.make(maxDigits);
        TBigInt B = maker.make(maker.rng()() % 3 == 0 ? 3 : maxDigits);
        std::string what = checkPair(A, B);
        ASSERT_EQ(what, "") << "seed " << seed << " pair " << i << "\nA=" << BigToDecimal(A)
                            << "\nB=" << BigToDecimal(B);
    }
}

uint64_t seedFor(uint64_t offset) {
    uint64_t fixed = envOr("QUENDRA_DIFF_SEED", 0);
    if (fixed) return fixed + offset;
    return (uint64_t)std::chrono::steady_clock::now().time_since_epoch().count() + offset;
}

TEST(AgainstGmp, RandomAndStructuredOperands) {
    runPairs(seedFor(0), envOr("QUENDRA_DIFF_PAIRS", 30000), 400);
}

// Tiny thresholds send small operands through Karatsuba and the FFT, so their recursion
// edges (odd halves, unbalanced slices, carries between halves) meet every operand shape.
TEST(AgainstGmp, FastProductPathsAtLowThresholds) {
    const size_t k = mag::karatsubaThreshold, f = mag::fftThreshold;
    mag::karatsubaThreshold = 4;
    mag::fftThreshold = 24;
    runPairs(seedFor(1), envOr("QUENDRA_DIFF_PAIRS", 30000) / 10, 120);
    mag::karatsubaThreshold = k;
    mag::fftThreshold = f;
}

TEST(AgainstGmp, LongOperands) {
    OperandMaker maker(seedFor(2));
    for (int i = 0; i < 12; ++i) {
        TBigInt A = maker.make(6000), B = maker.make(6000), c;
        Mpz a(A), b(B), e;
        BigMul(A, B, c);
        mpz_mul(e.v, a.v, b.v);
        ASSERT_TRUE(SameMagnitude(c, e)) << "mul of " << A.Digits[0] << " x " << B.Digits[0] << " digits";
        BigSquare(A, c);
        mpz_mul(e.v, a.v, a.v);
        ASSERT_TRUE(SameMagnitude(c, e)) << "square of " << A.Digits[0] << " digits";
    }
}

}  // namespace
