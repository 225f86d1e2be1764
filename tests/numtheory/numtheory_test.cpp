// The arithmetic core against plain references: a sieve and exhaustive ranges for small
// values, GMP for random and structured ones (strong pseudoprimes to the first bases,
// Carmichael numbers, squares of primes, products of two 32-bit primes, 2^64 - 1 and its
// neighbours).
#include <gmp.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "numtheory/big.h"
#include "numtheory/digits.h"
#include "numtheory/fixed.h"
#include "numtheory/prime64.h"
#include "numtheory/primes.h"
#include "numtheory/word.h"
#include "tests/gmp_util.h"

namespace {

using namespace numtheory;

void setWord(mpz_t z, uint64_t n) { mpz_import(z, 1, 1, sizeof n, 0, 0, &n); }

uint64_t getWord(const mpz_t z) {
    uint64_t n = 0;
    mpz_export(&n, nullptr, 1, sizeof n, 0, 0, z);
    return n;
}

bool GmpIsPrime(uint64_t n) {
    Mpz z;
    setWord(z.v, n);
    return mpz_probab_prime_p(z.v, 40) != 0;
}

uint64_t GmpNextPrime(uint64_t n) {
    Mpz z;
    setWord(z.v, n);
    mpz_nextprime(z.v, z.v);
    return getWord(z.v);
}

std::vector<bool> Sieve(uint64_t n) {
    std::vector<bool> prime(n, true);
    prime[0] = prime[1] = false;
    for (uint64_t i = 2; i * i < n; ++i)
        if (prime[i])
            for (uint64_t j = i * i; j < n; j += i) prime[j] = false;
    return prime;
}

// Values that stress a 64-bit routine: random words of every length, 2^64 - 1 and its
// neighbours, powers of two and their neighbours.
std::vector<uint64_t> StructuredWords(std::mt19937_64& rng, int randomCount) {
    std::vector<uint64_t> v;
    for (uint64_t d = 0; d < 64; ++d) v.push_back(UINT64_MAX - d);
    for (int k = 1; k < 64; ++k)
        for (int64_t d = -2; d <= 2; ++d) v.push_back((uint64_t{1} << k) + (uint64_t)d);
    for (int i = 0; i < randomCount; ++i) v.push_back(rng() >> (rng() % 64));
    return v;
}

// ---- primality ----

TEST(IsPrime64, AgreesWithTheSieveBelowTwoMillion) {
    const uint64_t n = 2000000;
    const std::vector<bool> prime = Sieve(n);
    for (uint64_t i = 0; i < n; ++i) ASSERT_EQ(IsPrime64(i), prime[i]) << i;
}

TEST(IsPrime64, StructuredValuesAgreeWithGmp) {
    // The least strong pseudoprimes to the first 1, 2, ..., 11 prime bases (those below 2^64),
    // further pseudoprimes to base 2, Carmichael numbers, and the limits of the base sets.
    const uint64_t hard[] = {
        2047, 1373653, 25326001, 3215031751ULL, 2152302898747ULL, 3474749660383ULL, 341550071728321ULL,
        3825123056546413051ULL, 3277, 4033, 4681, 8321, 15841, 29341, 42799, 49141, 52633, 65281, 74665,
        80581, 85489, 88357, 90751, 561, 1105, 1729, 2465, 2821, 6601, 8911, 41041, 62745, 63973, 75361,
        101101, 9746347772161ULL, 4759123141ULL, 4759123139ULL, 4294967297ULL, 4294967291ULL,
        2305843009213693951ULL, 18446744073709551557ULL, 999999999999999989ULL, 1000000000000000003ULL,
    };
    for (uint64_t n : hard) EXPECT_EQ(IsPrime64(n), GmpIsPrime(n)) << n;
    EXPECT_FALSE(IsPrime64(3825123056546413051ULL));
    EXPECT_TRUE(IsPrime64(18446744073709551557ULL));
    std::mt19937_64 rng(17);
    for (uint64_t n : StructuredWords(rng, 20000)) ASSERT_EQ(IsPrime64(n), GmpIsPrime(n)) << n;
}

TEST(IsPrime64, CarmichaelNumbersAndSquaresAndSemiprimesAreComposite) {
    const unsigned seed = std::random_device{}();
    std::mt19937_64 rng(seed);
    // Chernick's Carmichael numbers (6k + 1)(12k + 1)(18k + 1) with all three factors prime.
    int found = 0;
    for (uint64_t k = 1; k < 200000 && found < 200; ++k) {
        const uint64_t a = 6 * k + 1, b = 12 * k + 1, c = 18 * k + 1;
        if (!GmpIsPrime(a) || !GmpIsPrime(b) || !GmpIsPrime(c)) continue;
        const u128 n = (u128)a * b * c;
        if (n >> 64) break;
        ++found;
        ASSERT_FALSE(IsPrime64((uint64_t)n)) << (uint64_t)n;
    }
    EXPECT_GT(found, 20);
    for (int i = 0; i < 2000; ++i) {
        const uint64_t p = GmpNextPrime(rng() >> 32), q = GmpNextPrime(rng() >> 33);
        ASSERT_TRUE(IsPrime64(p)) << p << " seed " << seed;
        ASSERT_FALSE(IsPrime64(p * q)) << p << " * " << q << " seed " << seed;
        ASSERT_FALSE(IsPrime64(p * p)) << p << "^2 seed " << seed;
    }
}

TEST(IsPrime64, RandomWordsAgreeWithGmp) {
    const unsigned seed = std::random_device{}();
    std::mt19937_64 rng(seed);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t n = rng() >> (rng() % 64) | 1;
        ASSERT_EQ(IsPrime64(n), GmpIsPrime(n)) << n << " seed " << seed;
    }
}

// ---- factorization ----

void ExpectFactorization(uint64_t n, const std::vector<uint64_t>& f, unsigned seed) {
    ASSERT_TRUE(std::is_sorted(f.begin(), f.end())) << n << " seed " << seed;
    u128 product = 1;
    for (uint64_t p : f) {
        ASSERT_TRUE(GmpIsPrime(p)) << p << " of " << n << " seed " << seed;
        product *= p;
    }
    ASSERT_TRUE(product == n) << n << " seed " << seed;
}

TEST(Factor64, FactorsRandomAndStructuredWords) {
    const unsigned seed = std::random_device{}();
    std::mt19937_64 rng(seed);
    for (uint64_t n : StructuredWords(rng, 2000))
        if (n >= 2) ExpectFactorization(n, Factor64(n), seed);
    // Two factors of the same size are rho's hardest case; squares and cubes its oddest.
    for (int i = 0; i < 300; ++i) {
        const uint64_t p = GmpNextPrime(rng() >> 32), q = GmpNextPrime(rng() >> 32);
        EXPECT_EQ(Factor64(p * q), (std::vector<uint64_t>{std::min(p, q), std::max(p, q)}))
            << p << " * " << q << " seed " << seed;
    }
    EXPECT_EQ(Factor64(4294967291ULL * 4294967291ULL), (std::vector<uint64_t>{4294967291ULL, 4294967291ULL}));
    EXPECT_EQ(Factor64(2097143ULL * 2097143ULL * 2097143ULL), (std::vector<uint64_t>(3, 2097143ULL)));
    EXPECT_EQ(Factor64(18446744073709551615ULL), (std::vector<uint64_t>{3, 5, 17, 257, 641, 65537, 6700417}));
    EXPECT_EQ(Factor64(3825123056546413051ULL), (std::vector<uint64_t>{149491, 747451, 34233211}));
    EXPECT_EQ(Factor64(1ULL << 63), std::vector<uint64_t>(63, 2));
    EXPECT_EQ(Factor64(1009ULL * 1009ULL), (std::vector<uint64_t>{1009, 1009}));
    EXPECT_EQ(Factor64(997ULL * 1009ULL), (std::vector<uint64_t>{997, 1009}));
    EXPECT_TRUE(Factor64(1).empty());
    EXPECT_TRUE(Factor64(0).empty());
}

TEST(Factor64, EveryNumberBelowAHundredThousand) {
    for (uint64_t n = 2; n < 100000; ++n) {
        const std::vector<uint64_t> f = Factor64(n);
        uint64_t product = 1;
        for (uint64_t p : f) {
            ASSERT_TRUE(IsPrime64(p)) << p << " of " << n;
            product *= p;
        }
        ASSERT_EQ(product, n);
        ASSERT_TRUE(std::is_sorted(f.begin(), f.end())) << n;
    }
}

// ---- word arithmetic ----

TEST(WordArithmetic, InverseGcdAndMontgomeryAgreeWithPlainArithmetic) {
    const unsigned seed = std::random_device{}();
    std::mt19937_64 rng(seed);
    for (uint64_t x : StructuredWords(rng, 5000)) {
        const uint64_t odd = x | 1;
        ASSERT_EQ(odd * InverseMod2to64(odd), 1u) << odd;
        const uint64_t y = rng() >> (rng() % 64);
        ASSERT_EQ(Gcd64(x, y), std::gcd(x, y)) << x << " " << y;
        if (odd < 3) continue;
        const Mont64 m(odd);
        const uint64_t a = rng() % odd, b = rng() % odd, e = rng();
        ASSERT_EQ(m.leave(m.mul(m.enter(a), m.enter(b))), MulMod64(a, b, odd)) << odd;
        ASSERT_EQ(m.leave(m.add(m.enter(a), m.enter(b))), (uint64_t)(((u128)a + b) % odd));
        ASSERT_EQ(m.leave(m.sub(m.enter(a), m.enter(b))), a >= b ? a - b : a + (odd - b));
        ASSERT_EQ(m.leave(m.pow(m.enter(a), e)), PowMod64(a, e, odd)) << a << "^" << e << " mod " << odd;
    }
    EXPECT_EQ(Gcd64(0, 0), 0u);
    EXPECT_EQ(Gcd64(0, 12), 12u);
}

TEST(WordArithmetic, PowModAgreesWithGmp) {
    std::mt19937_64 rng(5);
    Mpz b, e, m, r;
    for (uint64_t mod : StructuredWords(rng, 2000)) {
        if (mod == 0) continue;
        const uint64_t base = rng(), exp = rng() >> (rng() % 64);
        setWord(b.v, base);
        setWord(e.v, exp);
        setWord(m.v, mod);
        mpz_powm(r.v, b.v, e.v, m.v);
        ASSERT_EQ(PowMod64(base, exp, mod), getWord(r.v)) << base << "^" << exp << " mod " << mod;
    }
}

TEST(WordArithmetic, RootsAreFloors) {
    std::mt19937_64 rng(3);
    Mpz z, r;
    for (uint64_t n : StructuredWords(rng, 3000))
        for (uint64_t k : {1, 2, 3, 4, 5, 7, 13, 31, 63}) {
            setWord(z.v, n);
            mpz_root(r.v, z.v, k);
            ASSERT_EQ(IntegerRoot64(n, k), getWord(r.v)) << n << " root " << k;
        }
    for (uint64_t x = 0; x < 70000; ++x) {
        ASSERT_EQ(Isqrt64(x * x), x);
        if (x > 0) {
            ASSERT_EQ(Isqrt64(x * x - 1), x - 1);
        }
    }
    EXPECT_EQ(Isqrt64(UINT64_MAX), 4294967295u);
    EXPECT_EQ(IntegerRoot64(UINT64_MAX, 64), 1u);
    EXPECT_EQ(IntegerRoot64(2, 300000000), 1u);
    EXPECT_EQ(IntegerRoot64(0, 300000000), 0u);
}

TEST(WordArithmetic, InversesSquareRootsAndJacobiAgreeWithGmp) {
    Mpz a, n, r;
    for (uint32_t p : OddPrimesUpTo(20000)) {
        for (uint64_t x = 1; x < std::min<uint64_t>(p, 60); ++x) {
            ASSERT_EQ(MulMod64(x, InverseMod64(x, p), p), 1u) << x << " mod " << p;
            const uint64_t s = SqrtModPrime(x * x, p);
            ASSERT_EQ(MulMod64(s, s, p), x * x % p) << x << "^2 mod " << p;
        }
    }
    std::mt19937_64 rng(9);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t x = rng() >> (rng() % 64), odd = (rng() >> (rng() % 64)) | 1;
        setWord(a.v, x);
        setWord(n.v, odd);
        ASSERT_EQ(Jacobi64(x, odd), mpz_jacobi(a.v, n.v)) << x << " / " << odd;
        if (odd > 1 && std::gcd(x, odd) == 1 && odd < (uint64_t{1} << 63)) {
            mpz_invert(r.v, a.v, n.v);
            ASSERT_EQ(InverseMod64(x, odd), getWord(r.v)) << x << " mod " << odd;
        }
    }
}

// ---- prime tables ----

TEST(PrimeTables, AgreeWithTheSieve) {
    const uint64_t n = uint64_t{1} << 22;
    const std::vector<bool> prime = Sieve(n + 1);
    std::vector<uint32_t> odd;
    for (uint32_t i = 3; i <= n; i += 2)
        if (prime[i]) odd.push_back(i);
    const std::span<const uint32_t> small = SmallPrimes();
    ASSERT_EQ(small.size(), 6542u);
    EXPECT_EQ(small[0], 2u);
    EXPECT_TRUE(std::equal(small.begin() + 1, small.end(), odd.begin()));
    for (uint64_t limit : {uint64_t{2}, uint64_t{3}, uint64_t{100}, uint64_t{65537}, n, uint64_t{1000}}) {
        const std::span<const uint32_t> got = OddPrimesUpTo(limit);
        const auto end = std::upper_bound(odd.begin(), odd.end(), (uint32_t)limit);
        ASSERT_TRUE(std::equal(got.begin(), got.end(), odd.begin(), end)) << limit;
    }
    const auto flags = OddPrimeFlags(n);
    for (uint64_t i = 0; 2 * i + 1 <= n; ++i) ASSERT_EQ((*flags)[i] != 0, (bool)prime[2 * i + 1]) << 2 * i + 1;
}

// ---- digit runs and TBigInt ----

TEST(Digits, ResidueAndWordsAgreeWithGmp) {
    OperandMaker make(11);
    Mpz r, m;
    for (int i = 0; i < 3000; ++i) {
        const TBigInt x = make.make(12);
        const Mpz ref(x);
        mpz_abs(r.v, ref.v);
        for (uint64_t mod : {uint64_t{1}, uint64_t{3}, uint64_t{1} << 32, (uint64_t{1} << 33) + 1, UINT64_MAX,
                             make.rng()() >> (make.rng()() % 64) | 1}) {
            setWord(m.v, mod);
            Mpz q;
            mpz_mod(q.v, r.v, m.v);
            ASSERT_EQ(BigResidue(x, mod), getWord(q.v)) << mod;
        }
        // Words and back, whole and cut to fewer words.
        const std::vector<uint64_t> w = BigToWords(x);
        const TBigInt back = BigFromWords(w.data(), w.size());
        ASSERT_TRUE(SameMagnitude(back, ref));
        uint64_t low = 0;
        DigitsToWords(x.Digits.data() + 1, (size_t)x.Digits[0], &low, 1);
        ASSERT_EQ(low, (uint64_t)mpz_getlimbn(r.v, 0));
        ASSERT_EQ(BigBitLength(x), mpz_sgn(r.v) ? mpz_sizeinbase(r.v, 2) : 0u);
    }
}

TEST(BigIntegerRoot, IsTheFloorForAnyExponent) {
    OperandMaker make(21);
    Mpz r;
    for (int i = 0; i < 400; ++i) {
        const TBigInt x = make.make(8);
        const Mpz ref(x);
        for (uint64_t k : {1, 2, 3, 5, 31, 62, 200}) {
            mpz_abs(r.v, ref.v);
            mpz_root(r.v, r.v, k);
            ASSERT_TRUE(SameMagnitude(BigIntegerRoot(x, k), r)) << BigToDecimal(x) << " root " << k;
        }
    }
    EXPECT_EQ(BigToDecimal(BigIntegerRoot(BigFromInt(2), 300000000)), "1");
    EXPECT_EQ(BigToDecimal(BigIntegerRoot(BigFromInt(0), 300000000)), "0");
}

// ---- fixed-width Montgomery ----

template <int K>
void CheckMontK(std::mt19937_64& rng) {
    for (int i = 0; i < 300; ++i) {
        typename MontK<K>::V n, a, b;
        for (int j = 0; j < K; ++j) n[j] = rng(), a[j] = rng(), b[j] = rng();
        if (i % 3 == 0) n[K - 1] >>= rng() % 64;   // moduli of fewer bits than the width
        if (n[K - 1] == 0) n[K - 1] = 1;
        n[0] |= 1;
        const TBigInt N = BigFromWords(n.data(), K);
        if (BigBitLength(N) < 2) continue;
        const BigMont<K> m(N);
        const TBigInt A = BigFromWords(a.data(), K), B = BigFromWords(b.data(), K);
        const auto x = m.enterBig(A), y = m.enterBig(B);
        Mpz ra(A), rb(B), rn(N), want;
        mpz_mul(want.v, ra.v, rb.v);
        mpz_mod(want.v, want.v, rn.v);
        ASSERT_TRUE(SameMagnitude(m.leaveBig(m.mul(x, y)), want)) << K;
        mpz_add(want.v, ra.v, rb.v);
        mpz_mod(want.v, want.v, rn.v);
        ASSERT_TRUE(SameMagnitude(m.leaveBig(m.add(x, y)), want)) << K;
        mpz_sub(want.v, ra.v, rb.v);
        mpz_mod(want.v, want.v, rn.v);
        ASSERT_TRUE(SameMagnitude(m.leaveBig(m.sub(x, y)), want)) << K;
    }
}

TEST(MontK, ProductsSumsAndDifferencesAgreeWithGmp) {
    std::mt19937_64 rng(23);
    CheckMontK<1>(rng);
    CheckMontK<2>(rng);
    CheckMontK<3>(rng);
    CheckMontK<4>(rng);
    CheckMontK<11>(rng);
}

}  // namespace
