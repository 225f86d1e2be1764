// Lehmer's gcd on 64-bit limbs: Euclid's algorithm on the leading 64 bits gives a 2x2 matrix
// of cofactors below 2^32, applied to the whole numbers in one pass, which removes about 32
// bits a pass; a full division step is taken when the lengths differ or the leading bits
// decide nothing.
#include <algorithm>
#include <bit>

#include "bigint/detail/limbs.h"
#include "numtheory/word.h"

namespace limbs {
namespace {

__extension__ typedef __int128 i128;

// (x, y) := (y, x mod y), y non-zero.
void divisionStep(Vec& x, Vec& y) {
    Vec r(y.size());
    divmod(nullptr, r.data(), x.data(), x.size(), y.data(), y.size());
    r.resize(trimmed(r.data(), r.size()));
    x.swap(y);
    y.swap(r);
}

struct Cofactors {
    int64_t A = 1, B = 0, C = 0, D = 1;
};

// The matrix of the quotients that Euclid's algorithm on the leading 64 bits of x and y (read
// at x's top bit, so y's may start with zeros) finds while the remainder keeps 32 bits and
// the cofactors stay below 2^32. Any such matrix is unimodular and so preserves the gcd, even
// if a quotient from the leading bits is not the true one; the only failure is a negative
// result, which the caller catches. B = 0: no quotient was decided.
Cofactors leadingCofactors(const Vec& x, const Vec& y) {
    const size_t n = x.size();
    const unsigned s = (unsigned)std::countl_zero(x[n - 1]);
    auto top = [&](const Vec& z) {
        const Limb hi = n - 1 < z.size() ? z[n - 1] : 0, lo = n - 2 < z.size() ? z[n - 2] : 0;
        return s ? (hi << s) | (lo >> (64 - s)) : hi;
    };
    Limb xh = top(x), yh = top(y);
    Cofactors m;
    constexpr int64_t kLimit = int64_t{1} << 32;
    while (yh >= (Limb{1} << 32)) {
        const Limb q = xh / yh, t = xh - q * yh;   // q < 2^32: yh has 33 bits or more
        const i128 nC = (i128)m.A - (i128)q * m.C, nD = (i128)m.B - (i128)q * m.D;
        if (nC >= kLimit || nC <= -kLimit || nD >= kLimit || nD <= -kLimit) break;
        m = {m.C, m.D, (int64_t)nC, (int64_t)nD};
        xh = yh;
        yh = t;
    }
    return m;
}

// (x, y) := (A x + B y, C x + D y), ordered so that x >= y; false (x, y unchanged) when a
// result would be negative. One pass computes both.
bool applyCofactors(const Cofactors& m, Vec& x, Vec& y, Vec& nx, Vec& ny) {
    const size_t n = x.size();
    nx.resize(n);
    ny.resize(n);
    i128 c1 = 0, c2 = 0;
    for (size_t i = 0; i < n; ++i) {
        const i128 xi = (i128)x[i], yi = i < y.size() ? (i128)y[i] : 0;
        const i128 t = m.A * xi + m.B * yi + c1, w = m.C * xi + m.D * yi + c2;
        nx[i] = (Limb)t;
        ny[i] = (Limb)w;
        c1 = t >> 64;
        c2 = w >> 64;
    }
    if (c1 < 0 || c2 < 0) return false;
    nx.resize(trimmed(nx.data(), n));
    ny.resize(trimmed(ny.data(), n));
    x.swap(nx);
    y.swap(ny);
    if (x.size() < y.size() || (x.size() == y.size() && cmp_n(x.data(), y.data(), x.size()) < 0)) x.swap(y);
    return true;
}

// gcd of values of at most two limbs: 128-bit Euclid until one word is left.
Vec gcdShort(const Vec& x, const Vec& y) {
    auto value = [](const Vec& z) {
        return z.empty() ? u128{0} : z.size() == 1 ? u128{z[0]} : ((u128)z[1] << 64) | z[0];
    };
    u128 a = value(x), b = value(y);
    while (b >> 64) {
        const u128 t = a % b;
        a = b;
        b = t;
    }
    if (b == 0) return a >> 64 ? Vec{(Limb)a, (Limb)(a >> 64)} : Vec{(Limb)a};
    return Vec{numtheory::Gcd64((Limb)b, (Limb)(a % b))};
}

}  // namespace

Vec gcd(const Limb* a, size_t na, const Limb* b, size_t nb) {
    Vec x(a, a + trimmed(a, na)), y(b, b + trimmed(b, nb)), nx, ny;
    if (x.size() < y.size() || (x.size() == y.size() && cmp_n(x.data(), y.data(), x.size()) < 0)) x.swap(y);
    while (!y.empty()) {
        if (x.size() <= 2) return gcdShort(x, y);
        if (y.size() + 1 < x.size()) {
            divisionStep(x, y);
            continue;
        }
        const Cofactors m = leadingCofactors(x, y);
        if (m.B == 0 || !applyCofactors(m, x, y, nx, ny)) divisionStep(x, y);
    }
    return x;
}

}  // namespace limbs
