// The limb kernels behind the public operations, against GMP at and around every threshold
// where one method hands over to the next, on random and structured operands: all-ones
// limbs, powers of two and their neighbours, divisors with a lone top bit, dividends that
// leave the largest remainder, decimal powers and their neighbours. A failure names the seed;
// QUENDRA_KERNEL_SEED replays it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "bigint/detail/fft.h"
#include "bigint/detail/limbs.h"
#include "bigint/poll.h"
#include "tests/gmp_util.h"

namespace {

uint64_t seedFor(uint64_t offset) {
    if (const char* v = std::getenv("QUENDRA_KERNEL_SEED")) return std::strtoull(v, nullptr, 10) + offset;
    return (uint64_t)std::chrono::steady_clock::now().time_since_epoch().count() + offset;
}

// The thresholds as they were, put back when a test ends, however it ends.
struct KeptThresholds {
    limbs::Thresholds saved = limbs::thresholds;
    ~KeptThresholds() { limbs::thresholds = saved; }
};

// Values of a given size in limbs, in the shapes that stress carries and estimates.
class Shapes {
public:
    explicit Shapes(uint64_t seed) : rng_(seed) {}
    void make(Mpz& z, size_t limbs, int shape) {
        const unsigned long bits = 64 * (unsigned long)limbs;
        switch (shape % 6) {
        case 0:   // random, top limb non-zero
            mpz_set_ui(z.v, 0);
            for (size_t i = 0; i < limbs; ++i) {
                mpz_mul_2exp(z.v, z.v, 64);
                mpz_add_ui(z.v, z.v, (unsigned long)rng_());
            }
            mpz_setbit(z.v, bits - 1 - rng_() % 63);
            break;
        case 1:   // all ones
            mpz_set_ui(z.v, 0);
            mpz_setbit(z.v, bits);
            mpz_sub_ui(z.v, z.v, 1);
            break;
        case 2:   // a lone top bit
            mpz_set_ui(z.v, 0);
            mpz_setbit(z.v, bits - 1);
            break;
        case 3:   // 2^k + 1
            mpz_set_ui(z.v, 1);
            mpz_setbit(z.v, bits - 1 - rng_() % 64);
            break;
        case 4:   // 2^k - 1 with k just below a limb boundary
            mpz_set_ui(z.v, 0);
            mpz_setbit(z.v, bits - rng_() % 3);
            mpz_sub_ui(z.v, z.v, 1);
            break;
        default:  // top half all ones, bottom half random: quotient estimates at their edge
            make(z, limbs, 0);
            for (unsigned long b = bits / 2; b < bits; ++b) mpz_setbit(z.v, b);
        }
    }
    std::mt19937_64& rng() { return rng_; }

private:
    std::mt19937_64 rng_;
};

std::string where(uint64_t seed, const Mpz& a, const Mpz& b) {
    return "seed " + std::to_string(seed) + " sizes " + std::to_string(mpz_size(a.v)) + " / " +
           std::to_string(mpz_size(b.v)) + " limbs";
}

// Sizes (in limbs) at and around a threshold.
std::vector<size_t> around(size_t t) {
    std::vector<size_t> s;
    for (size_t v : {t - 1, t, t + 1, 2 * t - 1, 2 * t + 1})
        if (v >= 1) s.push_back(v);
    return s;
}

TEST(LimbKernels, ProductsAroundEveryThreshold) {
    const uint64_t seed = seedFor(0);
    Shapes shapes(seed);
    const limbs::Thresholds& t = limbs::thresholds;
    std::vector<size_t> sizes;
    for (size_t th : {t.karatsuba, t.karatsubaSqr, t.fft, t.fftSqr})
        for (size_t s : around(th)) sizes.push_back(s);
    for (size_t na : sizes) {
        Mpz a, b, e;
        shapes.make(a, na, (int)(shapes.rng()() % 6));
        // the other operand as long, a little shorter, or much shorter (sliced products)
        for (size_t nb : {na, na - na / 5, std::max<size_t>(1, na / 3), size_t{1}}) {
            shapes.make(b, nb, (int)(shapes.rng()() % 6));
            TBigInt A = a.get(), B = b.get(), c;
            BigMul(A, B, c);
            mpz_mul(e.v, a.v, b.v);
            ASSERT_TRUE(SameMagnitude(c, e)) << "mul " << where(seed, a, b);
        }
        TBigInt A = a.get(), c;
        BigSquare(A, c);
        mpz_mul(e.v, a.v, a.v);
        ASSERT_TRUE(SameMagnitude(c, e)) << "square " << where(seed, a, a);
    }
}

// Every length of the unrolled kernels and one past them: products, squares, and powers
// whose modulus has that many limbs (the unrolled Montgomery reduction), on every shape.
TEST(LimbKernels, EveryUnrolledLength) {
    const uint64_t seed = seedFor(7);
    Shapes shapes(seed);
    for (size_t n = 1; n <= limbs::kFixedLimbs + 1; ++n) {
        for (int shape = 0; shape < 6; ++shape) {
            Mpz a, b, e, m, x;
            shapes.make(a, n, shape);
            shapes.make(b, n, (int)(shapes.rng()() % 6));
            TBigInt A = a.get(), C;
            BigMul(A, b.get(), C);
            mpz_mul(e.v, a.v, b.v);
            ASSERT_TRUE(SameMagnitude(C, e)) << "mul " << where(seed, a, b);
            BigSquare(A, C);
            mpz_mul(e.v, a.v, a.v);
            ASSERT_TRUE(SameMagnitude(C, e)) << "square " << where(seed, a, a);
            // odd modulus of this shape; the base is the other operand, the exponent short
            mpz_setbit(a.v, 0);
            if (mpz_cmp_ui(a.v, 3) < 0) mpz_set_ui(a.v, 3);
            shapes.make(x, 1 + shapes.rng()() % 2, (int)(shapes.rng()() % 6));
            BigMontPowMod(b.get(), x.get(), a.get(), C);
            mpz_powm(m.v, b.v, x.v, a.v);
            ASSERT_TRUE(SameMagnitude(C, m)) << "powmod " << where(seed, b, a);
        }
    }
}

TEST(LimbKernels, DivisionAroundItsThresholdAndTheLargestRemainders) {
    const uint64_t seed = seedFor(1);
    Shapes shapes(seed);
    const size_t t = limbs::thresholds.divide;
    std::vector<size_t> divisors = {1, 2, 3};
    for (size_t s : around(t)) divisors.push_back(s);
    divisors.push_back(4 * t + 3);
    for (size_t nb : divisors) {
        // quotients from one limb (the truncated recursion) past the divisor's length
        // (blocks of quotient limbs)
        for (size_t nq : {size_t{1}, nb / 2 + 1, nb - 1 + (nb == 1), nb, nb + 1, 2 * nb + 3}) {
            for (int kind = 0; kind < 3; ++kind) {
                Mpz a, b, q, r, e, f;
                shapes.make(b, nb, (int)(shapes.rng()() % 6));
                shapes.make(q, nq, (int)(shapes.rng()() % 6));
                if (kind == 0) shapes.make(a, nb + nq, (int)(shapes.rng()() % 6));
                if (kind == 1) {   // q b + (b - 1): the largest remainder
                    mpz_mul(a.v, q.v, b.v);
                    mpz_add(a.v, a.v, b.v);
                    mpz_sub_ui(a.v, a.v, 1);
                }
                if (kind == 2) mpz_mul(a.v, q.v, b.v);   // exact
                TBigInt A = a.get(), B = b.get(), Q, R;
                BigDivMod(A, B, Q, R);
                mpz_fdiv_qr(e.v, f.v, a.v, b.v);
                ASSERT_TRUE(SameMagnitude(Q, e) && SameMagnitude(R, f))
                    << "divmod kind " << kind << " " << where(seed, a, b);
            }
        }
    }
}

// Powers of ten and their neighbours around the lengths where the conversions split
// (19 * 2^k digits), and random lengths, both ways.
TEST(LimbKernels, DecimalConversionsAroundTheirSplits) {
    const uint64_t seed = seedFor(2);
    Shapes shapes(seed);
    std::vector<unsigned long> lengths;
    for (unsigned long k = 19; k <= 19 * 1024; k *= 2)
        for (unsigned long d : {k - 1, k, k + 1}) lengths.push_back(d);
    for (int i = 0; i < 8; ++i) lengths.push_back(1 + shapes.rng()() % 30000);
    for (unsigned long digits : lengths) {
        Mpz ten;
        mpz_ui_pow_ui(ten.v, 10, digits);
        for (long delta : {-1L, 0L, 1L}) {
            Mpz a;
            if (delta < 0) mpz_sub_ui(a.v, ten.v, 1);
            else mpz_add_ui(a.v, ten.v, (unsigned long)delta);
            TBigInt A = a.get(), back;
            ASSERT_EQ(BigToDecimal(A), a.str()) << "seed " << seed << " 10^" << digits << " + " << delta;
            BigFromDecimal(a.str(), back);
            ASSERT_TRUE(SameMagnitude(back, a)) << "seed " << seed << " 10^" << digits << " + " << delta;
        }
        Mpz r;
        shapes.make(r, 1 + digits / 19, (int)(shapes.rng()() % 6));
        TBigInt R = r.get(), back;
        const std::string text = BigToDecimal(R);
        ASSERT_EQ(text, r.str()) << "seed " << seed << " " << mpz_size(r.v) << " limbs";
        BigFromDecimal(text, back);
        ASSERT_TRUE(SameMagnitude(back, r)) << "seed " << seed << " " << text.size() << " digits";
    }
}

// To decimal through the reciprocals of the powers of ten (built on a power's second
// division; the transform threshold lowered so that short powers get them too): blocks of
// nines above blocks of zeros, the largest remainders (10^k - 1), powers of ten and their
// neighbours, random values; each converted twice, so the second run meets the reciprocals.
TEST(LimbKernels, DecimalThroughReciprocals) {
    const uint64_t seed = seedFor(5);
    Shapes shapes(seed);
    const KeptThresholds restore;
    limbs::thresholds.fft = 8;
    limbs::thresholds.fftSqr = 8;
    for (unsigned long k = 19 * 16; k <= 19 * 256; k *= 2) {
        for (unsigned long digits : {k - 1, k, k + 1, 2 * k - 1, 2 * k, 2 * k + 1}) {
            std::vector<Mpz> values(6);
            Mpz t;
            mpz_ui_pow_ui(values[0].v, 10, digits);
            mpz_sub_ui(values[0].v, values[0].v, 1);   // all nines
            mpz_ui_pow_ui(values[1].v, 10, digits);
            mpz_add_ui(values[2].v, values[1].v, 1);
            mpz_ui_pow_ui(t.v, 10, digits / 2);        // nines over zeros: 10^digits - 10^(digits/2)
            mpz_sub(values[3].v, values[1].v, t.v);
            mpz_add_ui(values[4].v, t.v, 0);
            mpz_sub_ui(values[4].v, values[4].v, 1);   // 10^(digits/2) - 1
            mpz_mul(values[4].v, values[4].v, t.v);    // nines over zeros at the middle split
            shapes.make(values[5], 1 + digits * 10 / 193, (int)(shapes.rng()() % 6));
            for (const Mpz& v : values)
                for (int pass = 0; pass < 2; ++pass)
                    ASSERT_EQ(BigToDecimal(v.get()), v.str())
                        << "seed " << seed << " digits " << digits << " pass " << pass;
        }
    }
}

// Every transform product failing its rounding check: products fall back to Karatsuba, the
// Montgomery reduction and the division by a power of ten's reciprocal to plain products and
// divisions, with the same results.
TEST(LimbKernels, FallbacksWhenTheRoundingCheckFails) {
    const uint64_t seed = seedFor(6);
    Shapes shapes(seed);
    struct Restore {
        limbs::Thresholds saved = limbs::thresholds;
        double limit = bigfft::roundingLimit;
        ~Restore() {
            limbs::thresholds = saved;
            bigfft::roundingLimit = limit;
        }
    } restore;
    limbs::thresholds.fft = 8;
    limbs::thresholds.fftSqr = 8;
    limbs::thresholds.montgomeryProducts = limbs::kFixedLimbs + 1;
    for (double limit : {0.25, -1.0}) {   // the reciprocals and rings built, then used failing
        bigfft::roundingLimit = limit;
        for (size_t k : {limbs::kFixedLimbs + 1, size_t{33}}) {
            Mpz n, a, e, ref;
            shapes.make(n, k, (int)(shapes.rng()() % 6));
            mpz_setbit(n.v, 0);
            shapes.make(a, k, (int)(shapes.rng()() % 6));
            shapes.make(e, 2, 0);
            TBigInt C;
            BigMontPowMod(a.get(), e.get(), n.get(), C);
            mpz_powm(ref.v, a.v, e.v, n.v);
            ASSERT_TRUE(SameMagnitude(C, ref)) << "powmod limit " << limit << " " << where(seed, a, n);
            Mpz b, c;
            shapes.make(b, 3 * k, (int)(shapes.rng()() % 6));
            TBigInt P;
            BigMul(a.get(), b.get(), P);
            mpz_mul(c.v, a.v, b.v);
            ASSERT_TRUE(SameMagnitude(P, c)) << "mul limit " << limit << " " << where(seed, a, b);
        }
        for (unsigned long digits : {19ul * 64 - 1, 19ul * 64 + 1, 3000ul}) {
            Mpz v;
            mpz_ui_pow_ui(v.v, 10, digits);
            mpz_sub_ui(v.v, v.v, 1);
            for (int pass = 0; pass < 2; ++pass)
                ASSERT_EQ(BigToDecimal(v.get()), v.str()) << "limit " << limit << " digits " << digits;
        }
    }
}

}  // namespace

// Modular powers on moduli around the length where the reduction by rows hands over to the
// reduction by products, and well past it: odd moduli of every shape, bases above the modulus.
// With the hand-over lowered to just past the unrolled kernels, the products run on the
// shortest transforms, where R has more limbs than the modulus.
TEST(LimbKernels, ModularPowersAroundTheReductionThreshold) {
    const uint64_t seed = seedFor(3);
    Shapes shapes(seed);
    const KeptThresholds restore;
    const size_t atThreshold = limbs::thresholds.montgomeryProducts;
    // The lowest threshold that the unrolled kernels of short moduli leave in force.
    const size_t lowest = limbs::kFixedLimbs + 1;
    for (size_t threshold : {atThreshold, lowest}) {
        limbs::thresholds.montgomeryProducts = threshold;
        std::vector<size_t> sizes = {1, 2, 3, threshold - 1, threshold, threshold + 1};
        if (threshold == lowest) {
            // every length up to about twice the lowest: the wrapped products' lengths of 32 and
            // 48 points with every piece size, and their first steps to 64 and 96
            for (size_t k = lowest + 2; k <= 2 * lowest + 12; ++k) sizes.push_back(k);
            sizes.insert(sizes.end(), {64, 90});
        }
        for (size_t k : sizes) {
            for (int shape = 0; shape < 6; ++shape) {
                Mpz n, a, e, ref;
                shapes.make(n, k, shape);
                mpz_setbit(n.v, 0);
                if (mpz_cmp_ui(n.v, 3) < 0) mpz_set_ui(n.v, 3);
                shapes.make(a, k + 1, (int)(shapes.rng()() % 6));
                if (shape == 1) mpz_sub_ui(a.v, n.v, 1);   // -1: its square 1, the products all ones
                shapes.make(e, 1 + shapes.rng()() % 3, (int)(shapes.rng()() % 6));
                TBigInt C;
                BigMontPowMod(a.get(), e.get(), n.get(), C);
                mpz_powm(ref.v, a.v, e.v, n.v);
                ASSERT_TRUE(SameMagnitude(C, ref))
                    << "powmod shape " << shape << " threshold " << threshold << " " << where(seed, a, n);
            }
        }
    }
}

// Lehmer's gcd: large common factors of every shape, consecutive Fibonacci numbers (every
// quotient 1, the longest run of Euclid's steps), and operands of very different lengths.
TEST(LimbKernels, GcdOfStructuredOperands) {
    const uint64_t seed = seedFor(4);
    Shapes shapes(seed);
    for (size_t k : {1, 2, 3, 5, 30, 120}) {
        for (int shape = 0; shape < 6; ++shape) {
            Mpz g, a, b, e;
            shapes.make(g, k, shape);
            shapes.make(a, 1 + shapes.rng()() % 40, (int)(shapes.rng()() % 6));
            shapes.make(b, 1 + shapes.rng()() % 40, (int)(shapes.rng()() % 6));
            mpz_mul(a.v, a.v, g.v);
            mpz_mul(b.v, b.v, g.v);
            TBigInt c;
            BigGcd(a.get(), b.get(), c);
            mpz_gcd(e.v, a.v, b.v);
            ASSERT_TRUE(SameMagnitude(c, e)) << "gcd shape " << shape << " " << where(seed, a, b);
        }
    }
    for (unsigned long n : {90ul, 93ul, 94ul, 1000ul, 5000ul}) {
        Mpz a, b, e;
        mpz_fib2_ui(a.v, b.v, n);
        TBigInt c;
        BigGcd(a.get(), b.get(), c);
        mpz_gcd(e.v, a.v, b.v);
        ASSERT_TRUE(SameMagnitude(c, e)) << "Fibonacci " << n;
    }
}

namespace {

limbs::Vec toLimbs(const Mpz& z) {
    limbs::Vec v(mpz_size(z.v) + 1, 0);
    size_t count = 0;
    mpz_export(v.data(), &count, -1, sizeof(limbs::Limb), 0, 0, z.v);
    v.resize(count);
    return v;
}

// The pairs whose Euclid runs are hardest or most special, at a size of about k limbs.
void makeGcdPair(Shapes& shapes, Mpz& a, Mpz& b, size_t k, int kind) {
    std::mt19937_64& rng = shapes.rng();
    Mpz g, t;
    switch (kind) {
    case 0:   // random, equally long
        shapes.make(a, k, 0);
        shapes.make(b, k, 0);
        break;
    case 1:   // equal
        shapes.make(a, k, (int)(rng() % 6));
        mpz_set(b.v, a.v);
        break;
    case 2:   // one divides the other
        shapes.make(a, k, (int)(rng() % 6));
        shapes.make(t, 1 + rng() % k, (int)(rng() % 6));
        mpz_mul(b.v, a.v, t.v);
        break;
    case 3: {   // consecutive Fibonacci numbers: every quotient 1
        mpz_fib2_ui(a.v, b.v, (unsigned long)(64 * k * 1.44) + rng() % 64);
        break;
    }
    case 4:   // a common factor of most of the length
        shapes.make(g, k - k / 8, (int)(rng() % 6));
        shapes.make(a, 1 + k / 8, 0);
        shapes.make(b, 1 + k / 8, 0);
        mpz_mul(a.v, a.v, g.v);
        mpz_mul(b.v, b.v, g.v);
        break;
    case 5:   // very unequal lengths
        shapes.make(a, k, (int)(rng() % 6));
        shapes.make(b, 1 + rng() % (1 + k / 4), (int)(rng() % 6));
        break;
    case 6:   // powers of two times odd numbers
        shapes.make(a, k, 0);
        shapes.make(b, k, 0);
        mpz_setbit(a.v, 0);
        mpz_setbit(b.v, 0);
        mpz_mul_2exp(a.v, a.v, rng() % 200);
        mpz_mul_2exp(b.v, b.v, rng() % 200);
        break;
    case 7:   // all-ones limbs: gcd(2^64i - 1, 2^64j - 1) = 2^64 gcd(i, j) - 1
        shapes.make(a, k, 1);
        shapes.make(b, k - k / 3, 1);
        break;
    default:   // all-ones against random, with a common factor of a third of the length
        shapes.make(g, 1 + k / 3, 1);
        shapes.make(a, k - k / 3, 0);
        shapes.make(b, k - k / 3 - 1 + rng() % 3, 0);
        mpz_mul(a.v, a.v, g.v);
        mpz_mul(b.v, b.v, g.v);
    }
}

}  // namespace

// The gcd kernel on the pairs above, in both orders, with the half-gcd's threshold at its
// own value and lowered so that its recursion (both halves, the division steps between them,
// the passes that finish) meets every shape at several depths.
TEST(LimbKernels, GcdThroughTheHalfGcd) {
    const uint64_t seed = seedFor(8);
    Shapes shapes(seed);
    const KeptThresholds restore;
    const limbs::Thresholds& saved = restore.saved;
    // (where the whole numbers go to the half-gcd, where its recursion stops)
    const std::pair<size_t, size_t> settings[] = {{saved.gcd, saved.hgcd}, {3, 3}, {4, 4}, {5, 9}, {20, 6}};
    for (const auto& [gcdThreshold, threshold] : settings) {
        limbs::thresholds.gcd = gcdThreshold;
        limbs::thresholds.hgcd = threshold;
        std::vector<size_t> sizes = {3, 4, 5};
        for (size_t s : around(gcdThreshold)) sizes.push_back(s + 2);
        // (at its own thresholds, 2 gcd + 1 limbs give cofactors long enough for the transform)
        if (threshold < saved.hgcd) sizes.insert(sizes.end(), {7 * threshold + 1, 40 * threshold + 3});
        for (size_t k : sizes) {
            for (int kind = 0; kind < 9; ++kind) {
                Mpz a, b, e, r;
                makeGcdPair(shapes, a, b, k, kind);
                mpz_gcd(e.v, a.v, b.v);
                const limbs::Vec x = toLimbs(a), y = toLimbs(b);
                for (bool swapped : {false, true}) {
                    const limbs::Vec g = swapped ? limbs::gcd(y.data(), y.size(), x.data(), x.size())
                                                 : limbs::gcd(x.data(), x.size(), y.data(), y.size());
                    mpz_import(r.v, g.size(), -1, sizeof(limbs::Limb), 0, 0, g.data());
                    ASSERT_TRUE(mpz_cmp(r.v, e.v) == 0 && (g.empty() || g.back() != 0))
                        << "gcd kind " << kind << " thresholds " << gcdThreshold << ", " << threshold << " "
                        << where(seed, a, b);
                }
            }
        }
    }
}

// A long gcd answers the poll of its thread: it is called along the way, and a poll that
// throws ends the gcd with its exception, the operands unchanged.
TEST(LimbKernels, LongGcdAnswersItsPoll) {
    const uint64_t seed = seedFor(9);
    Shapes shapes(seed);
    Mpz a, b, e;
    shapes.make(a, 3 * limbs::thresholds.gcd, 0);
    shapes.make(b, 3 * limbs::thresholds.gcd, 0);
    mpz_gcd(e.v, a.v, b.v);
    const TBigInt A = a.get(), B = b.get();
    TBigInt c;
    int polls = 0;
    {
        BigPollScope scope([&] { ++polls; });
        BigGcd(A, B, c);
    }
    EXPECT_TRUE(SameMagnitude(c, e)) << "seed " << seed;
    EXPECT_GT(polls, 0);
    struct Stop {};
    TBigInt X = A, Y = B, d;
    BigPollScope scope([] { throw Stop{}; });
    EXPECT_THROW(BigGcd(X, Y, d), Stop);
    EXPECT_EQ(X.Digits, A.Digits);
    EXPECT_EQ(Y.Digits, B.Digits);
}
