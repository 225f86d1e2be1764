// Miller-Rabin and Pollard-Brent rho on 64-bit words, in Montgomery form.
#include "tools/divisors/prime64.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

using u64 = uint64_t;
__extension__ typedef unsigned __int128 u128;   // a GCC/Clang extension, hence the marker

// Arithmetic modulo an odd n in Montgomery form with R = 2^64.
class Montgomery {
public:
    explicit Montgomery(u64 n) : n_(n) {
        // Newton's iteration doubles the correct low bits of n^-1 each step: 5 -> 80 bits.
        u64 inv = (n * 3) ^ 2;
        for (int i = 0; i < 4; ++i) inv *= 2 - n * inv;
        inv_ = inv;
        one_ = (u64)(((u128)1 << 64) % n);
        r2_ = (u64)((u128)one_ * one_ % n);
    }
    u64 modulus() const { return n_; }
    u64 one() const { return one_; }
    u64 to(u64 a) const { return mul(a % n_, r2_); }
    // REDC written as a difference of high words, so that t + m*n never overflows 128 bits
    // even for n close to 2^64; valid for t < n * 2^64.
    u64 reduce(u128 t) const {
        const u64 m = (u64)t * inv_;
        const u64 hi = (u64)(t >> 64), mh = (u64)(((u128)m * n_) >> 64);
        return hi >= mh ? hi - mh : hi - mh + n_;
    }
    u64 mul(u64 a, u64 b) const { return reduce((u128)a * b); }
    u64 add(u64 a, u64 b) const {
        const u64 s = a + b;
        return (s < a || s >= n_) ? s - n_ : s;
    }
    u64 pow(u64 base, u64 e) const {   // base in Montgomery form
        u64 r = one_;
        while (e) {
            if (e & 1) r = mul(r, base);
            base = mul(base, base);
            e >>= 1;
        }
        return r;
    }

private:
    u64 n_, inv_, one_, r2_;
};

u64 Gcd(u64 a, u64 b) {
    if (a == 0) return b;
    if (b == 0) return a;
    const int shift = __builtin_ctzll(a | b);
    a >>= __builtin_ctzll(a);
    do {
        b >>= __builtin_ctzll(b);
        if (a > b) std::swap(a, b);
        b -= a;
    } while (b);
    return a << shift;
}

constexpr std::array<unsigned, 18> kTinyPrimes = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 53, 59, 61};

// Strong probable-prime test of an odd n > 61 to the seven bases of Jim Sinclair's set,
// which no composite below 2^64 passes. A base that n divides says nothing and is skipped.
// The seven powers share the exponent, so they run in lockstep: seven independent chains
// of products keep the multiplier busy where one chain would wait on each product.
bool MillerRabin(u64 n) {
    const Montgomery m(n);
    u64 d = n - 1;
    const int s = __builtin_ctzll(d);
    d >>= s;
    constexpr int kBases = 7;
    constexpr u64 bases[kBases] = {2, 325, 9375, 28178, 450775, 9780504, 1795265022};
    const u64 one = m.one(), minusOne = n - one;
    u64 a[kBases], x[kBases];
    for (int k = 0; k < kBases; ++k) {
        a[k] = m.to(bases[k] % n);
        x[k] = a[k];
    }
    for (int bit = 62 - __builtin_clzll(d); bit >= 0; --bit) {   // left to right after the top bit
        for (int k = 0; k < kBases; ++k) x[k] = m.mul(x[k], x[k]);
        if ((d >> bit) & 1)
            for (int k = 0; k < kBases; ++k) x[k] = m.mul(x[k], a[k]);
    }
    for (int k = 0; k < kBases; ++k) {
        if (a[k] == 0) continue;   // n divides the base
        u64 y = x[k];
        if (y == one || y == minusOne) continue;
        bool composite = true;
        for (int i = 1; i < s && composite; ++i) {
            y = m.mul(y, y);
            if (y == minusOne) composite = false;
            else if (y == one) break;
        }
        if (composite) return false;
    }
    return true;
}

// The odd primes below 1000 with their inverses modulo 2^64: p divides n exactly when
// n * p^-1 (mod 2^64) <= (2^64 - 1) / p, one multiplication instead of a division.
struct TrialPrime { u64 p, inverse, limit; };

constexpr auto kTrialPrimes = [] {
    std::array<TrialPrime, 167> table{};
    int count = 0;
    for (u64 p = 3; p < 1000; p += 2) {
        bool prime = true;
        for (u64 q = 3; q * q <= p; q += 2)
            if (p % q == 0) prime = false;
        if (!prime) continue;
        u64 inv = p;
        for (int i = 0; i < 6; ++i) inv *= 2 - p * inv;
        table[count++] = {p, inv, std::numeric_limits<u64>::max() / p};
    }
    return table;
}();
constexpr u64 kTrialBound = 1009;   // the first prime not in the table

// A non-trivial factor of an odd composite n that has no prime factor below 1000, or n
// itself when the polynomial x^2 + c found none (the caller then tries another c).
// Lazy: n < 2^62, so x^2 + c may stay unreduced below 2n (the product of two such values
// is still below n * 2^64, all that Montgomery reduction needs), one select fewer on the
// chain every step waits for.
template <bool Lazy>
u64 PollardBrent(u64 n, u64 c) {
    const Montgomery m(n);
    const u64 cm = m.to(c);
    const auto f = [&](u64 x) { return Lazy ? m.mul(x, x) + cm : m.add(m.mul(x, x), cm); };
    constexpr u64 kBatch = 128;   // differences multiplied together per gcd
    u64 x = 0, y = m.to(2), ys = y, q = m.one(), g = 1;
    for (u64 r = 1; g == 1; r <<= 1) {
        x = y;
        for (u64 i = 0; i < r; ++i) y = f(y);
        for (u64 k = 0; k < r && g == 1; k += kBatch) {
            ys = y;
            const u64 steps = std::min(kBatch, r - k);
            for (u64 i = 0; i < steps; ++i) {
                y = f(y);
                q = m.mul(q, x > y ? x - y : y - x);
            }
            // q carries a factor R, which is prime to n, so the gcd is unaffected.
            g = Gcd(q, n);
        }
    }
    if (g == n) {
        // The batch overshot (or q became 0): redo its steps one gcd at a time.
        do {
            ys = f(ys);
            g = Gcd(x > ys ? x - ys : ys - x, n);
        } while (g == 1);
    }
    return g;
}

// Appends the prime factors of n (no factor below 1000, n > 1) in any order.
void SplitLarge(u64 n, std::vector<u64>& out) {
    if (n < kTrialBound * kTrialBound || MillerRabin(n)) {
        out.push_back(n);
        return;
    }
    u64 d = n;
    for (u64 c = 1; d == n; ++c) d = n < (1ULL << 62) ? PollardBrent<true>(n, c) : PollardBrent<false>(n, c);
    SplitLarge(d, out);
    SplitLarge(n / d, out);
}

}  // namespace

bool IsPrime64Fast(uint64_t n) {
    if (n < 2) return false;
    for (unsigned p : kTinyPrimes)
        if (n % p == 0) return n == p;
    if (n < 67 * 67) return true;
    return MillerRabin(n);
}

std::vector<uint64_t> Factor64(uint64_t n) {
    std::vector<u64> factors;
    if (n < 2) return factors;
    const int twos = __builtin_ctzll(n);
    factors.assign(twos, 2);
    n >>= twos;
    for (const TrialPrime& t : kTrialPrimes) {
        if (t.p * t.p > n) break;
        while (n * t.inverse <= t.limit) {
            factors.push_back(t.p);
            n *= t.inverse;   // the exact quotient n / p
        }
    }
    if (n > 1) {
        const size_t from = factors.size();
        SplitLarge(n, factors);
        std::sort(factors.begin() + (long)from, factors.end());
    }
    return factors;
}
