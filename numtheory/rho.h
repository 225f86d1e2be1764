// Pollard's rho in Brent's form, over any Montgomery ring of this module (Mont64 or
// MontK<K>): the one rho of the program's fixed-width factor finders.
#pragma once

#include <algorithm>
#include <cstdint>

namespace numtheory {

// What the gcd of a product of differences with n says.
enum class GcdOutcome { One, Factor, All };

// Brent's rho on the ring's odd composite modulus n with x -> x^2 + c, started at x0 (both in
// Montgomery form), for at most `budget` iterations. The differences of kBatch iterations
// are multiplied together before one gcd; a batch whose gcd is all of n is replayed one
// gcd per step. `gcd(v)` classifies gcd(v, n) (and keeps the factor itself where the caller
// wants it); `poll(iterations)` is called after every batch. True when a gcd gave a factor.
// kLazy (Mont64 with n < 2^62 only) keeps x^2 + c unreduced below 2n: one select fewer on
// the chain that every step waits for.
template <bool kLazy = false, class Ring, class Gcd, class Poll>
bool BrentRho(const Ring& m, typename Ring::V c, typename Ring::V x0, uint64_t budget, Gcd&& gcd,
              Poll&& poll) {
    using V = typename Ring::V;
    constexpr uint64_t kBatch = 128;
    const auto f = [&](const V& x) {
        if constexpr (kLazy) return m.sqr(x) + c;
        else return m.add(m.sqr(x), c);
    };
    V y = x0, x = y, ys = y, q = m.one();
    GcdOutcome g = GcdOutcome::One;
    uint64_t r = 1, used = 0;
    while (g == GcdOutcome::One && used < budget) {
        x = y;
        for (uint64_t i = 0; i < r; ++i) y = f(y);
        used += r;
        for (uint64_t k = 0; k < r && g == GcdOutcome::One; k += kBatch) {
            ys = y;
            const uint64_t steps = std::min(kBatch, r - k);
            for (uint64_t i = 0; i < steps; ++i) {
                y = f(y);
                q = m.mul(q, m.diff(x, y));
            }
            used += steps;
            // q carries a power of R, which is prime to n: the gcd is unaffected.
            g = gcd(q);
            poll(used);
        }
        r *= 2;
    }
    if (g == GcdOutcome::All) {
        // The batch overshot (or q became 0): replay its steps one gcd at a time.
        g = GcdOutcome::One;
        for (uint64_t i = 0; i < 2 * kBatch + r && g == GcdOutcome::One; ++i) {
            ys = f(ys);
            g = gcd(m.diff(x, ys));
        }
    }
    return g == GcdOutcome::Factor;
}

}  // namespace numtheory
