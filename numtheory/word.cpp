// Roots, inverses and square roots modulo a prime on single words.
#include "numtheory/word.h"

#include <cmath>
#include <utility>

namespace numtheory {

uint64_t Isqrt64(uint64_t n) {
    uint64_t r = (uint64_t)std::sqrt((double)n);
    // The estimate is off by at most one or two; r * r must not wrap, so r < 2^32.
    if (r > 0xffffffffu) r = 0xffffffffu;
    while (r * r > n) --r;
    while (r < 0xffffffffu && (r + 1) * (r + 1) <= n) ++r;
    return r;
}

namespace {

// Whether r^k > n, without overflow (r >= 1).
bool powAbove(uint64_t r, uint64_t k, uint64_t n) {
    uint64_t p = 1;
    for (uint64_t i = 0; i < k; ++i) {
        if (p > n / r) return true;
        p *= r;
    }
    return false;
}

}  // namespace

uint64_t IntegerRoot64(uint64_t n, uint64_t k) {
    if (n <= 1 || k == 1) return n;
    if (k == 2) return Isqrt64(n);
    if (k >= 64) return 1;   // 2^k > n
    uint64_t r = (uint64_t)std::pow((double)n, 1.0 / (double)k);
    if (r < 1) r = 1;
    // r^k <= n < (r + 1)^k, corrected from the estimate (off by at most one or two).
    while (r > 1 && powAbove(r, k, n)) --r;
    while (!powAbove(r + 1, k, n)) ++r;
    return r;
}

uint64_t InverseMod64(uint64_t a, uint64_t m) {
    int64_t t = 0, nt = 1;
    uint64_t r = m, nr = a % m;
    while (nr) {
        const uint64_t q = r / nr;
        const int64_t tt = t - (int64_t)q * nt;
        t = nt;
        nt = tt;
        const uint64_t rr = r - q * nr;
        r = nr;
        nr = rr;
    }
    return t < 0 ? (uint64_t)(t + (int64_t)m) : (uint64_t)t;
}

uint64_t SqrtModPrime(uint64_t a, uint64_t p) {
    a %= p;
    if (a == 0) return 0;
    if (p % 4 == 3) return PowMod64(a, (p + 1) / 4, p);
    uint64_t q = p - 1, s = 0;
    while (!(q & 1)) q >>= 1, ++s;
    uint64_t z = 2;
    while (PowMod64(z, (p - 1) / 2, p) != p - 1) ++z;
    uint64_t m = s, c = PowMod64(z, q, p), t = PowMod64(a, q, p), r = PowMod64(a, (q + 1) / 2, p);
    while (t != 1) {
        uint64_t i = 0, tt = t;
        while (tt != 1) tt = MulMod64(tt, tt, p), ++i;
        uint64_t b = c;
        for (uint64_t j = 0; j + i + 1 < m; ++j) b = MulMod64(b, b, p);
        m = i;
        c = MulMod64(b, b, p);
        t = MulMod64(t, c, p);
        r = MulMod64(r, b, p);
    }
    return r;
}

int Jacobi64(uint64_t a, uint64_t n) {
    int t = 1;
    a %= n;
    while (a != 0) {
        while ((a & 1) == 0) {
            a >>= 1;
            const uint64_t r = n & 7;
            if (r == 3 || r == 5) t = -t;
        }
        std::swap(a, n);
        if ((a & 3) == 3 && (n & 3) == 3) t = -t;
        a %= n;
    }
    return n == 1 ? t : 0;
}

}  // namespace numtheory
