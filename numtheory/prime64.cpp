// Miller-Rabin and the 64-bit factorization, in Montgomery form.
#include "numtheory/prime64.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>

#include "numtheory/primes.h"
#include "numtheory/rho.h"
#include "numtheory/word.h"

namespace numtheory {

namespace {

// The strong test of n = d 2^s + 1 to the bases, their powers taken side by side.
// A base that n divides says nothing and is passed.
template <size_t kCount>
bool strongBases(const Mont64& m, uint64_t d, int s, const std::array<uint64_t, kCount>& bases) {
    const uint64_t one = m.one(), minusOne = m.minusOne();
    std::array<uint64_t, kCount> a, x;
    for (size_t k = 0; k < kCount; ++k) x[k] = a[k] = m.enter(bases[k]);
    for (int bit = 62 - std::countl_zero(d); bit >= 0; --bit) {   // left to right after the top bit
        for (size_t k = 0; k < kCount; ++k) x[k] = m.sqr(x[k]);
        if ((d >> bit) & 1)
            for (size_t k = 0; k < kCount; ++k) x[k] = m.mul(x[k], a[k]);
    }
    for (size_t k = 0; k < kCount; ++k) {
        if (a[k] == 0) continue;
        uint64_t y = x[k];
        if (y == one || y == minusOne) continue;
        bool composite = true;
        for (int i = 1; i < s && composite; ++i) {
            y = m.sqr(y);
            if (y == minusOne) composite = false;
            else if (y == one) break;
        }
        if (composite) return false;
    }
    return true;
}

// The odd primes below 1000 with their inverses modulo 2^64: p divides n exactly when
// n p^-1 (mod 2^64) <= (2^64 - 1) / p, one multiplication instead of a division.
struct TrialPrime {
    uint64_t p, inverse, limit;
};

const auto kTrialPrimes = [] {
    std::array<TrialPrime, 167> table{};
    size_t count = 0;
    for (uint32_t p : SmallPrimes().subspan(1)) {
        if (p >= 1000) break;
        table[count++] = {p, InverseMod2to64(p), std::numeric_limits<uint64_t>::max() / p};
    }
    return table;
}();
constexpr uint64_t kTrialBound = 1009;   // the first prime not in the table

// A non-trivial factor of the odd composite n, or n when the polynomial x^2 + c found none.
uint64_t rhoFactor(uint64_t n, uint64_t c) {
    const Mont64 m(n);
    uint64_t g = n;
    const auto gcd = [&](uint64_t v) {
        g = Gcd64(v, n);
        return g == 1 ? GcdOutcome::One : g == n ? GcdOutcome::All : GcdOutcome::Factor;
    };
    const auto noPoll = [](uint64_t) {};
    const bool found = n < (uint64_t{1} << 62)
                           ? BrentRho<true>(m, m.enter(c), m.enter(2), UINT64_MAX, gcd, noPoll)
                           : BrentRho<false>(m, m.enter(c), m.enter(2), UINT64_MAX, gcd, noPoll);
    return found ? g : n;
}

// Appends the prime factors of n (no factor below 1000, n > 1) in any order.
void splitLarge(uint64_t n, std::vector<uint64_t>& out) {
    if (n < kTrialBound * kTrialBound || MillerRabin64(n)) {
        out.push_back(n);
        return;
    }
    uint64_t d = n;
    for (uint64_t c = 1; d == n; ++c) d = rhoFactor(n, c);
    splitLarge(d, out);
    splitLarge(n / d, out);
}

}  // namespace

bool MillerRabin64(uint64_t n) {
    const Mont64 m(n);
    uint64_t d = n - 1;
    const int s = std::countr_zero(d);
    d >>= s;
    if (!strongBases<1>(m, d, s, {2})) return false;
    if (n < 4759123141ULL) return strongBases<2>(m, d, s, {7, 61});
    return strongBases<6>(m, d, s, {325, 9375, 28178, 450775, 9780504, 1795265022});
}

bool IsPrime64(uint64_t n) {
    if (n < 2) return false;
    // A constant list, so that each division becomes a multiplication.
    constexpr uint32_t kTiny[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 53, 59, 61};
    for (uint32_t p : kTiny)
        if (n % p == 0) return n == p;
    if (n < 67 * 67) return true;
    return MillerRabin64(n);
}

std::vector<uint64_t> Factor64(uint64_t n) {
    std::vector<uint64_t> factors;
    if (n < 2) return factors;
    const int twos = std::countr_zero(n);
    factors.assign((size_t)twos, 2);
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
        splitLarge(n, factors);
        std::sort(factors.begin() + (long)from, factors.end());
    }
    return factors;
}

}  // namespace numtheory
