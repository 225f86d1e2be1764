// gcd on 64-bit limbs: Lehmer's method for short values and a half-gcd from thresholds.gcd
// limbs, which finds the cofactors of half of Euclid's steps from the leading half of the
// limbs, recursively (down to thresholds.hgcd), and applies them to the rest with the fast
// products.
//
// Every reduction here is a matrix M of non-negative entries and determinant 1 (a product of
// Euclid's steps) with (a; b) = M (x; y), so gcd(x, y) = gcd(a, b) whatever the quotients were.
// What makes the cofactors of the leading part valid for the whole numbers: write
// a = 2^p A + a0, b = 2^p B + b0 (a0, b0 < 2^p, A, B < 2^k) and reduce (A, B) by steps that
// keep both values at least 2^t with 2t > k. Then A = m00 x' + m01 y' bounds every entry of M
// by 2^(k-t) < x', y', and the whole numbers reduce to
//     x = 2^p x' + m11 a0 - m01 b0 > 2^p (x' - m01),   y = 2^p y' + m00 b0 - m10 a0 > 2^p (y' - m10),
// both positive and at least 2^(p+t-1). Lehmer's passes use this on the leading 128 bits, the
// half-gcd on the leading half of the limbs.
#include <algorithm>
#include <bit>

#include "bigint/detail/limbs.h"
#include "bigint/poll.h"
#include "numtheory/word.h"

namespace limbs {
namespace {

// --- Lehmer's passes ---------------------------------------------------------------------------

// (hi B + lo) mod d for hi < d.
inline Limb mod21(Limb hi, Limb lo, Limb d) {
#if defined(__x86_64__)
    Limb q, r;
    __asm__("divq %4" : "=a"(q), "=d"(r) : "a"(lo), "d"(hi), "r"(d) : "cc");
    (void)q;
    return r;
#else
    return (Limb)((((u128)hi << 64) | lo) % d);
#endif
}

// A div B and A mod B for B >= 2^64 (so the quotient fits a limb), without the library's
// 128-bit division: the quotient of the leading 64 bits of B into A shifted alike is the true
// one or one above it.
inline Limb divrem128(u128 A, u128 B, u128& r) {
    const unsigned sh = 64 - (unsigned)std::countl_zero((Limb)(B >> 64));   // 1..64
    const Limb b1 = (Limb)(B >> sh);
    const u128 a1 = A >> sh;   // below 2^127, so a1 / b1 < 2^64
    Limb q;
#if defined(__x86_64__)
    Limb rem;
    __asm__("divq %4" : "=a"(q), "=d"(rem) : "a"((Limb)a1), "d"((Limb)(a1 >> 64)), "r"(b1) : "cc");
    (void)rem;
#else
    q = (Limb)(a1 / b1);
#endif
    q = q >= 1 ? q - 1 : 0;
    r = A - (u128)q * B;
    while (r >= B) {   // once at most
        r -= B;
        ++q;
    }
    return q;
}

// (A; B) = [m00 m01; m10 m11] (A'; B'), entries below 2^63.
struct Cofactors {
    Limb m00 = 1, m01 = 0, m10 = 0, m11 = 1;
    bool identity() const { return m01 == 0 && m10 == 0; }
};

// A div B and A mod B (B >= 2^33 in the 64-bit phase, so the quotient is small).
inline Limb quotient(Limb A, Limb B, Limb& r) {
    const Limb q = A / B;
    r = A - q * B;
    return q;
}
inline Limb quotient(u128 A, u128 B, u128& r) { return divrem128(A, B, r); }

// One step X := X - q Y for X > Y, both at least `low`: the largest q that keeps X at `low`
// or above (quotients 1 and 2 by subtraction), which adds q times column `from` of the
// cofactors to column `to`. False when no step is possible, or after a step that leaves no
// further one (X - Y below `low`); true means X < Y now.
template <class W>
inline bool euclidStep(W& X, W Y, W low, Limb& to0, Limb from0, Limb& to1, Limb from1) {
    W r = X - Y;
    if (r < low) return false;
    Limb q = 1;
    bool last = false;
    if (r >= Y) {
        r -= Y;
        q = 2;
        if (r >= Y) q = quotient(X, Y, r);
        if (r < low) {
            --q;
            r += Y;
            last = true;
        }
    }
    X = r;
    to0 += q * from0;
    to1 += q * from1;
    return !last;
}

// Euclid's steps on (A, B) while both stay at least `low` and the larger one passes `more`
// (true when it stops being so); false when no further step is possible.
template <class W, class More>
bool euclidSteps(W& A, W& B, W low, More more, Cofactors& m) {
    bool aLarger = A >= B;
    for (;;) {
        if (aLarger) {
            if (!more(A)) return true;
            if (!euclidStep(A, B, low, m.m01, m.m00, m.m11, m.m10)) return false;
        }
        aLarger = true;   // each step leaves the reduced value the smaller
        if (!more(B)) return true;
        if (!euclidStep(B, A, low, m.m00, m.m01, m.m10, m.m11)) return false;
    }
}

// Euclid's steps on 128-bit values A, B while both stay at least 2^t (65 <= t <= 127); the
// identity when a value starts below 2^t. The steps run on 128 bits until the larger value
// is below 2^96, then on its leading 64 bits (kept at least 2^t2 with 2 t2 > 64, which keeps
// the whole values at least 2^t, as for the limbs), then on 128 bits again for the last
// few bits.
Cofactors leadingCofactors(u128 A, u128 B, unsigned t) {
    Cofactors m;
    const u128 low = (u128)1 << t;
    if (A < low || B < low) return m;
    if (!euclidSteps(A, B, low, [](u128 x) { return (Limb)(x >> 64) >> 32 != 0; }, m)) return m;
    const unsigned sh = 64 - (unsigned)std::countl_zero((Limb)((A | B) >> 64));   // 1..32
    const unsigned t2 = std::max(33u, t + 1 - sh);
    Limb a = (Limb)(A >> sh), b = (Limb)(B >> sh);
    const Limb low2 = Limb{1} << std::min(t2, 63u);
    Cofactors n;
    if (t2 < 63 && a >= low2 && b >= low2) {
        euclidSteps(a, b, low2, [](Limb) { return true; }, n);
        if (!n.identity()) {
            // (A; B) := N^-1 (A; B): both results fit, entries of N below 2^31
            const u128 A2 = (u128)n.m11 * A - (u128)n.m01 * B, B2 = (u128)n.m00 * B - (u128)n.m10 * A;
            A = A2;
            B = B2;
            // M := M N, exact in 64 bits: the entries of the product stay below 2^63
            m = {m.m00 * n.m00 + m.m01 * n.m10, m.m00 * n.m01 + m.m01 * n.m11,
                 m.m10 * n.m00 + m.m11 * n.m10, m.m10 * n.m01 + m.m11 * n.m11};
        }
    }
    euclidSteps(A, B, low, [](u128) { return true; }, m);
    return m;
}

// The 128 bits of z[0..n) (n >= 3) below bit 64 (n - 1) + width, where width is the bit
// width of the larger top limb.
u128 top128(const Limb* z, size_t n, unsigned shift) {
    const Limb h = z[n - 1], m = z[n - 2], l = z[n - 3];
    if (shift == 0) return ((u128)h << 64) | m;
    return ((u128)((h << shift) | (m >> (64 - shift))) << 64) | ((m << shift) | (l >> (64 - shift)));
}

// (a, b) := (m11 a - m01 b, m00 b - m10 a) over n limbs in one pass; both results are known
// to be non-negative and to fit.
void applyCofactors(Limb* a, Limb* b, size_t n, const Cofactors& m) {
    // Each limb's difference of two products below 2^127, plus a carry below 2^64 either
    // way, fits a signed 128-bit sum: one carry for each result.
    __extension__ typedef __int128 i128;
    i128 ca = 0, cb = 0;
    for (size_t i = 0; i < n; ++i) {
        const Limb ai = a[i], bi = b[i];
        ca += (i128)((u128)m.m11 * ai) - (i128)((u128)m.m01 * bi);
        cb += (i128)((u128)m.m00 * bi) - (i128)((u128)m.m10 * ai);
        a[i] = (Limb)ca;
        b[i] = (Limb)cb;
        ca >>= 64;
        cb >>= 64;
    }
}

// --- the cofactor matrices of the half-gcd ------------------------------------------------------

// Entries trimmed (empty: zero), in the order m00, m01, m10, m11.
struct Matrix {
    Vec e[4];
    void setIdentity() {
        for (Vec& v : e) v.clear();
        e[0].push_back(1);
        e[3].push_back(1);
    }
};

void trim(Vec& v) { v.resize(trimmed(v.data(), v.size())); }

// r := x y (trimmed).
void product(Vec& r, const Vec& x, const Limb* y, size_t ny) {
    ny = trimmed(y, ny);
    if (x.empty() || ny == 0) {
        r.clear();
        return;
    }
    r.resize(x.size() + ny);
    if (x.size() >= ny) mul(r.data(), x.data(), x.size(), y, ny);
    else mul(r.data(), y, ny, x.data(), x.size());
    trim(r);
}

// x += y (trimmed values).
void addTo(Vec& x, const Vec& y) {
    if (y.empty()) return;
    if (x.size() < y.size()) x.resize(y.size(), 0);
    const Limb c = add(x.data(), x.data(), x.size(), y.data(), y.size());
    if (c) x.push_back(c);
}

// M := M N for cofactors N: each row (u, v) becomes (u n00 + v n10, u n01 + v n11).
void multiplyBy(Matrix& M, const Cofactors& n) {
    for (int row = 0; row < 2; ++row) {
        Vec& u = M.e[2 * row];
        Vec& v = M.e[2 * row + 1];
        const size_t len = std::max(u.size(), v.size()) + 1;   // entries below 2^63
        u.resize(len, 0);
        v.resize(len, 0);
        // two products below 2^127 and a carry below 2^64 fit one 128-bit sum
        u128 cu = 0, cv = 0;
        for (size_t i = 0; i < len; ++i) {
            const Limb ui = u[i], vi = v[i];
            cu += (u128)n.m00 * ui + (u128)n.m10 * vi;
            cv += (u128)n.m01 * ui + (u128)n.m11 * vi;
            u[i] = (Limb)cu;
            v[i] = (Limb)cv;
            cu >>= 64;
            cv >>= 64;
        }
        trim(u);
        trim(v);
    }
}

// M := M N.
void multiplyBy(Matrix& M, const Matrix& N) {
    Matrix r;
    Vec t;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            Vec& out = r.e[2 * i + j];
            product(out, M.e[2 * i], N.e[j].data(), N.e[j].size());
            product(t, M.e[2 * i + 1], N.e[2 + j].data(), N.e[2 + j].size());
            addTo(out, t);
        }
    M = std::move(r);
}

// (a, b) := M^-1 (a, b) over n limbs, where a[p..n), b[p..n) already hold the reduced
// leading parts x', y' and a[0..p), b[0..p) the untouched low parts:
//     x = 2^64p x' + m11 a0 - m01 b0,   y = 2^64p y' + m00 b0 - m10 a0.
void applyToLowParts(const Matrix& M, Limb* a, Limb* b, size_t p, size_t n) {
    Vec t[4];
    product(t[0], M.e[3], a, p);   // m11 a0
    product(t[1], M.e[1], b, p);   // m01 b0
    product(t[2], M.e[0], b, p);   // m00 b0
    product(t[3], M.e[2], a, p);   // m10 a0
    std::fill(a, a + p, 0);
    std::fill(b, b + p, 0);
    auto adjust = [n](Limb* z, const Vec& plus, const Vec& minus) {
        // plus and minus both fit n limbs; the result lies in [0, 2^64n).
        const int c = plus.size() != minus.size() ? (plus.size() < minus.size() ? -1 : 1)
                                                   : cmp_n(plus.data(), minus.data(), plus.size());
        if (c == 0) return;
        const Vec& big = c > 0 ? plus : minus;
        const Vec& small = c > 0 ? minus : plus;
        Vec d(big.size());
        sub(d.data(), big.data(), big.size(), small.data(), small.size());
        if (c > 0) add(z, z, n, d.data(), d.size());
        else sub(z, z, n, d.data(), d.size());
    };
    adjust(a, t[0], t[1]);
    adjust(b, t[2], t[3]);
}

// --- single division steps ------------------------------------------------------------------------

// Scratch for the quotient and remainder of a division step.
struct Scratch {
    Vec q, r;
};

// Replaces the larger of a, b (n limbs each, zero-padded) by its remainder modulo the smaller,
// or, with bound s, by the smallest value a - q b (or b - q a) that stays at least 2^64s;
// the quotient taken goes into M. False when no step was possible (equal values, a zero, or
// no value left above the bound).
bool divisionStep(Limb* a, Limb* b, size_t n, size_t s, Matrix* M, Scratch& w) {
    const size_t na = trimmed(a, n), nb = trimmed(b, n);
    if (na == 0 || nb == 0) return false;
    const int c = na != nb ? (na < nb ? -1 : 1) : cmp_n(a, b, na);
    if (c == 0) return false;
    const bool aLarger = c > 0;
    Limb* big = aLarger ? a : b;
    const Limb* small = aLarger ? b : a;
    const size_t nbig = aLarger ? na : nb, nsmall = aLarger ? nb : na;
    w.q.assign(nbig - nsmall + 1, 0);
    w.r.assign(nsmall + 1, 0);
    divmod(M || s ? w.q.data() : nullptr, w.r.data(), big, nbig, small, nsmall);
    if (trimmed(w.r.data(), nsmall) <= s && s > 0) {
        // the remainder falls below the bound: one subtraction fewer, if any is left
        sub_1(w.q.data(), w.q.size(), 1);
        if (trimmed(w.q.data(), w.q.size()) == 0) return false;
        w.r[nsmall] = add_n(w.r.data(), w.r.data(), small, nsmall);
    }
    // the new value is below the old one, so it fits: r[nsmall] is zero when nsmall = n
    const size_t len = std::min(nsmall + 1, n);
    std::copy(w.r.begin(), w.r.begin() + (long)len, big);
    std::fill(big + len, big + n, 0);
    if (M) {
        // a := a - q b puts q m00 into m01 (and q m10 into m11); b := b - q a the converse
        Vec t;
        const int from = aLarger ? 0 : 1, to = aLarger ? 1 : 0;
        for (int row = 0; row < 2; ++row) {
            product(t, M->e[2 * row + from], w.q.data(), w.q.size());
            addTo(M->e[2 * row + to], t);
        }
    }
    return true;
}

// --- the half-gcd --------------------------------------------------------------------------------

// Lehmer's passes on a, b (n limbs, zero-padded) while both stay at least 2^64s, the cofactors
// accumulated into M. True when a step was taken.
bool reduceByPasses(Limb* a, Limb* b, size_t n, size_t s, Matrix* M, Scratch& w) {
    bool progress = false;
    for (;;) {
        while (n > 0 && a[n - 1] == 0 && b[n - 1] == 0) --n;
        const unsigned shift = (unsigned)std::countl_zero(a[n - 1] | b[n - 1]);
        const size_t bits = 64 * n - shift;   // both values are at least 2^64s, so n > s
        if (bits <= 64 * s + 1) return progress;   // below 2^(64s+1): no step keeps both
        // the leading 128 bits sit at p = bits - 128 > 0 (n >= 3 here): keep them at least
        // 2^t with p + t - 1 >= 64s
        const size_t p = bits - 128;
        const unsigned t = (unsigned)std::max<long>(65, (long)(64 * s + 1) - (long)p);
        const Cofactors m = leadingCofactors(top128(a, n, shift), top128(b, n, shift), t);
        if (!m.identity()) {
            applyCofactors(a, b, n, m);
            if (M) multiplyBy(*M, m);
        } else if (!divisionStep(a, b, n, s, M, w)) {
            return progress;
        }
        progress = true;
    }
}

// The half-gcd of a, b (n limbs, zero-padded, one of them with n limbs): reduces both in
// place to values of at least 2^64s, s = n/2 + 1, taking as many of Euclid's steps as that
// allows, and sets M (if given) to the cofactors. False (nothing changed) when no step is
// possible. The entries of M end below 2^64(n-s).
bool halfGcd(Limb* a, Limb* b, size_t n, Matrix* M, Scratch& w) {
    const size_t s = n / 2 + 1;
    if (trimmed(a, n) <= s || trimmed(b, n) <= s) return false;
    if (M) M->setIdentity();
    if (n < thresholds.hgcd) return reduceByPasses(a, b, n, s, M, w);
    BigPoll();
    bool progress = false;
    // The leading n - p limbs: their half-gcd leaves both at least 2^64(p + (n-p)/2) >= 2^64s.
    const size_t p = n / 2;
    {
        Matrix M1;
        if (halfGcd(a + p, b + p, n - p, &M1, w)) {
            applyToLowParts(M1, a, b, p, n);
            if (M) *M = std::move(M1);
            progress = true;
        }
    }
    for (;;) {
        size_t m = std::max(trimmed(a, n), trimmed(b, n));
        // A second half-gcd on the leading k = 2m - 2s - 1 limbs (from limb p2 = 2s + 1 - m)
        // leaves both at least 2^64(p2 + k/2) >= 2^64s; once k is short, Lehmer's passes
        // finish the few limbs left.
        if (2 * m < 2 * s + 1 + thresholds.hgcd) return reduceByPasses(a, b, m, s, M, w) || progress;
        if (!divisionStep(a, b, m, s, M, w)) return progress;
        progress = true;
        m = std::max(trimmed(a, n), trimmed(b, n));
        if (2 * m < 2 * s + 1 + thresholds.hgcd) continue;
        const size_t p2 = 2 * s + 1 - m;
        Matrix M2;
        if (halfGcd(a + p2, b + p2, m - p2, &M2, w)) {
            applyToLowParts(M2, a, b, p2, m);
            if (M) multiplyBy(*M, M2);
        }
    }
}

// gcd of values of at most two limbs: 128-bit Euclid until one word is left.
Vec gcdShort(u128 a, u128 b) {
    if (a < b) std::swap(a, b);
    while (b >> 64) {
        u128 t;
        divrem128(a, b, t);
        a = b;
        b = t;
    }
    if (b == 0) return a >> 64 ? Vec{(Limb)a, (Limb)(a >> 64)} : Vec{(Limb)a};
    const Limb d = (Limb)b, hi = (Limb)(a >> 64) % d;
    return Vec{numtheory::Gcd64(d, mod21(hi, (Limb)a, d))};
}

}  // namespace

Vec gcd(const Limb* a, size_t na, const Limb* b, size_t nb) {
    na = trimmed(a, na);
    nb = trimmed(b, nb);
    size_t n = std::max(na, nb);
    Vec x(n, 0), y(n, 0);
    std::copy(a, a + na, x.data());
    std::copy(b, b + nb, y.data());
    Scratch w;
    for (;;) {
        while (n > 0 && x[n - 1] == 0 && y[n - 1] == 0) --n;
        const size_t nx = trimmed(x.data(), n), ny = trimmed(y.data(), n);
        if (nx == 0 || ny == 0) {
            Vec g = nx ? x : y;
            g.resize(n);
            return g;
        }
        if (n <= 2) {
            auto value = [](const Vec& z, size_t len) {
                return len == 1 ? u128{z[0]} : ((u128)z[1] << 64) | z[0];
            };
            return gcdShort(value(x, n), value(y, n));
        }
        if (n >= std::max<size_t>(thresholds.gcd, 3) && std::min(nx, ny) > n / 2 + 1) {
            if (halfGcd(x.data(), y.data(), n, nullptr, w)) continue;
        } else {
            const unsigned shift = (unsigned)std::countl_zero(x[n - 1] | y[n - 1]);
            const Cofactors m = leadingCofactors(top128(x.data(), n, shift), top128(y.data(), n, shift), 65);
            if (!m.identity()) {
                applyCofactors(x.data(), y.data(), n, m);
                continue;
            }
        }
        if (!divisionStep(x.data(), y.data(), n, 0, nullptr, w)) {   // equal values
            x.resize(n);
            return x;
        }
    }
}

}  // namespace limbs
