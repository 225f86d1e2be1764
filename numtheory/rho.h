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

// Pollard's rho in Floyd's form with x -> x^2 + c from x0 (both in Montgomery form): x takes
// one step and y two per iteration, the differences x - y multiply into a running product,
// and gcd(product, n) is asked after iterations 1, 3, 5, ... up to `budget`. The gcds are
// batched over kBatch iterations; a batch whose gcd is not 1 is replayed with a gcd after each
// odd iteration, so the first such gcd is exactly the one the unbatched run finds.
// `found(v)` tells whether gcd(v, n) is not 1 (and keeps it where the caller wants it);
// `poll(iterations)` is called every 4096 iterations. True when a gcd other than 1 turned up.
template <class Ring, class Found, class Poll>
bool FloydRho(const Ring& m, typename Ring::V c, typename Ring::V x0, uint64_t budget, Found&& found,
              Poll&& poll) {
    using V = typename Ring::V;
    constexpr uint64_t kBatch = 64;
    const auto f = [&](const V& v) { return m.add(m.sqr(v), c); };
    V x = x0, y = x0, q = m.one();
    for (uint64_t done = 0; done < budget; done += kBatch) {
        const V sx = x, sy = y, sq = q;
        const uint64_t n = std::min(kBatch, budget - done);
        for (uint64_t i = 0; i < n; ++i) {
            x = f(x);
            y = f(f(y));
            q = m.mul(m.sub(x, y), q);
        }
        // q is the product times a power of R, a unit: the gcd with n is the same.
        if (found(q)) {
            x = sx, y = sy, q = sq;
            for (uint64_t i = 1; i <= n; ++i) {
                x = f(x);
                y = f(f(y));
                q = m.mul(m.sub(x, y), q);
                if ((done + i) % 2 == 1 && found(q)) return true;
            }
        }
        if ((done & 4095) == 0) poll(done);
    }
    return false;
}

}  // namespace numtheory
