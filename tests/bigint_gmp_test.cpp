// Differential test of every core operation against GMP on random and structured operands.
// QUENDRA_DIFF_PAIRS sets the number of operand pairs (default 30000, seven checks each);
// QUENDRA_DIFF_SEED replays a failing run.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "bigint/detail/fft.h"
#include "bigint/detail/limbs.h"
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

// Tiny thresholds send small operands through every product, division, gcd and conversion
// method, so their recursion edges (odd halves, unbalanced slices, carries between halves,
// quotient corrections) meet every operand shape.
TEST(AgainstGmp, FastPathsAtLowThresholds) {
    const limbs::Thresholds saved = limbs::thresholds;
    limbs::thresholds = {2, 2, 12, 12, 4, 2, 3, 3};
    runPairs(seedFor(1), envOr("QUENDRA_DIFF_PAIRS", 30000) / 10, 120);
    limbs::thresholds = saved;
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

// The modular inverse and the logarithm for every pairing of signs: mpz_invert gives the
// inverse in 0 .. |M|-1 (0 modulo 1); the logarithm c must satisfy |B|^c <= |A| < |B|^(c+1).
TEST(AgainstGmp, ModInverseAndLogarithmForEverySign) {
    const uint64_t seed = seedFor(3);
    OperandMaker maker(seed);
    for (int i = 0; i < 1200; ++i) {
        const size_t digits = i % 10 == 0 ? 400 : 12;
        TBigInt A = maker.make(digits), M = maker.make(i % 2 ? digits : 2);
        if (i % 3 == 0) M = BigFromInt(2 + (int64_t)(maker.rng()() % 60));
        for (int signs = 0; signs < 4; ++signs) {
            A.Sign = signs & 1 ? Negative : Positive;
            M.Sign = signs & 2 ? Negative : Positive;
            const std::string where = "seed " + std::to_string(seed) + " case " + std::to_string(i) +
                                      "\nA=" + BigToDecimal(A) + "\nM=" + BigToDecimal(M);
            Mpz a(A), m(M), e;
            TBigInt x = BigFromInt(-7);
            BigModInverse(A, M, x);
            if (mpz_sgn(m.v) != 0 && mpz_invert(e.v, a.v, m.v)) {
                if (mpz_cmpabs_ui(m.v, 1) == 0) mpz_set_ui(e.v, 0);
                ASSERT_TRUE(SameMagnitude(x, e) && x.Sign == Positive) << "inverse " << where;
            } else {
                ASSERT_EQ(BigToDecimal(x), "-7") << "no inverse " << where;
            }
            if (mpz_cmpabs_ui(m.v, 2) < 0) continue;
            TBigInt c;
            BigLog(A, M, c);
            const unsigned long k = std::stoul(BigToDecimal(c));
            if (mpz_sgn(a.v) == 0) {   // no power reaches 0: no division happens
                ASSERT_EQ(k, 0u) << where;
                continue;
            }
            Mpz absA, absM, power;
            mpz_abs(absA.v, a.v);
            mpz_abs(absM.v, m.v);
            mpz_pow_ui(power.v, absM.v, k);
            ASSERT_LE(mpz_cmp(power.v, absA.v), 0) << "log " << k << " too large " << where;
            mpz_mul(power.v, power.v, absM.v);
            ASSERT_GT(mpz_cmp(power.v, absA.v), 0) << "log " << k << " too small " << where;
        }
    }
}

// A transform taken from the per-thread cache stays usable however many other sizes are
// requested after it (the cache evicts beyond a few sizes): a round trip still gives n * x.
TEST(Transforms, ACachedTransformOutlivesItsEviction) {
    const std::shared_ptr<const bigfft::Transform> held = bigfft::transformFor(96);
    for (size_t n = 128; n <= 128 << 9; n *= 2) bigfft::transformFor(n);
    std::vector<double> re(96), im(96);
    for (size_t j = 0; j < re.size(); ++j) {
        re[j] = (double)(j % 7) - 3;
        im[j] = (double)(j % 5);
    }
    const std::vector<double> re0 = re, im0 = im;
    held->forward(re.data(), im.data());
    held->inverse(re.data(), im.data());
    for (size_t j = 0; j < re.size(); ++j) {
        ASSERT_NEAR(re[j], 96 * re0[j], 1e-9) << j;
        ASSERT_NEAR(im[j], 96 * im0[j], 1e-9) << j;
    }
}

}  // namespace
