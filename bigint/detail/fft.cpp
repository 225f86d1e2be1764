// Radix-4 complex FFT, and the negacyclic "right-angle" convolution on it: a length-N complex
// transform multiplies numbers of up to 2N pieces with no real-to-complex post-processing and
// no bit reversal (forward decimation in frequency, inverse decimation in time).
#include "bigint/detail/fft.h"

#include "bigint/detail/limbs.h"
#include "bigint/detail/mag.h"
#include "bigint/detail/simd.h"

#include <cmath>
#include <memory>
#include <numbers>

namespace bigfft {

double roundingLimit = 0.25;

// Right-angle weights e^{i pi j / (2n)} of the negacyclic product.
struct Weights {
    size_t n = 0;
    std::vector<double> zr, zi;
    explicit Weights(size_t size) : n(size), zr(size), zi(size) {
        for (size_t j = 0; j < n; ++j) {
            long double ang = std::numbers::pi_v<long double> * (long double)j / (2.0L * (long double)n);
            zr[j] = (double)std::cos(ang);
            zi[j] = (double)std::sin(ang);
        }
    }
};

namespace {

// Sizes kept per thread; one more evicts the oldest one.
constexpr size_t kCachedSizes = 16;

// Kept per thread like the transforms, and shared the same way (see transformFor).
std::shared_ptr<const Weights> weightsFor(size_t n) {
    thread_local std::vector<std::shared_ptr<const Weights>> cache;
    for (const auto& w : cache)
        if (w->n == n) return w;
    if (cache.size() >= kCachedSizes) cache.erase(cache.begin());
    cache.push_back(std::make_shared<const Weights>(n));
    return cache.back();
}

// The radix-4 butterflies are QUENDRA_KERNELs: compiled for AVX2 as well where the target
// supports multiversioning.

QUENDRA_KERNEL
void dif4(double* re, double* im, size_t n, size_t q, const double* w1r,
          const double* w1i, const double* w2r, const double* w2i,
          const double* w3r, const double* w3i) {
    for (size_t s = 0; s < n; s += 4 * q) {
        double *r0 = re + s, *r1 = r0 + q, *r2 = r1 + q, *r3 = r2 + q;
        double *i0 = im + s, *i1 = i0 + q, *i2 = i1 + q, *i3 = i2 + q;
        // The four quarters never overlap, so the loop may run on vector registers.
QUENDRA_IVDEP
        for (size_t j = 0; j < q; ++j) {
            const double t0r = r0[j] + r2[j], t0i = i0[j] + i2[j];
            const double t1r = r0[j] - r2[j], t1i = i0[j] - i2[j];
            const double t2r = r1[j] + r3[j], t2i = i1[j] + i3[j];
            const double t3r = i1[j] - i3[j], t3i = r3[j] - r1[j];   // (a1 - a3) * (-i)
            r0[j] = t0r + t2r; i0[j] = t0i + t2i;
            const double ar = t0r - t2r, ai = t0i - t2i;
            r1[j] = ar * w2r[j] - ai * w2i[j]; i1[j] = ar * w2i[j] + ai * w2r[j];
            const double br = t1r + t3r, bi = t1i + t3i;
            r2[j] = br * w1r[j] - bi * w1i[j]; i2[j] = br * w1i[j] + bi * w1r[j];
            const double cr = t1r - t3r, ci = t1i - t3i;
            r3[j] = cr * w3r[j] - ci * w3i[j]; i3[j] = cr * w3i[j] + ci * w3r[j];
        }
    }
}

QUENDRA_KERNEL
void dit4(double* re, double* im, size_t n, size_t q, const double* w1r,
          const double* w1i, const double* w2r, const double* w2i,
          const double* w3r, const double* w3i) {
    for (size_t s = 0; s < n; s += 4 * q) {
        double *r0 = re + s, *r1 = r0 + q, *r2 = r1 + q, *r3 = r2 + q;
        double *i0 = im + s, *i1 = i0 + q, *i2 = i1 + q, *i3 = i2 + q;
        // The four quarters never overlap, so the loop may run on vector registers.
QUENDRA_IVDEP
        for (size_t j = 0; j < q; ++j) {
            // conjugate twiddles
            const double d1r = r1[j] * w2r[j] + i1[j] * w2i[j], d1i = i1[j] * w2r[j] - r1[j] * w2i[j];
            const double d2r = r2[j] * w1r[j] + i2[j] * w1i[j], d2i = i2[j] * w1r[j] - r2[j] * w1i[j];
            const double d3r = r3[j] * w3r[j] + i3[j] * w3i[j], d3i = i3[j] * w3r[j] - r3[j] * w3i[j];
            const double s0r = r0[j] + d1r, s0i = i0[j] + d1i;
            const double s1r = r0[j] - d1r, s1i = i0[j] - d1i;
            const double s2r = d2r + d3r, s2i = d2i + d3i;
            const double s3r = d3i - d2i, s3i = d2r - d3r;   // (d2 - d3) * i
            r0[j] = s0r + s2r; i0[j] = s0i + s2i;
            r2[j] = s0r - s2r; i2[j] = s0i - s2i;
            r1[j] = s1r + s3r; i1[j] = s1i + s3i;
            r3[j] = s1r - s3r; i3[j] = s1i - s3i;
        }
    }
}

// Radix-3 split of a length 3t transform: outputs by frequency mod 3 into thirds, each then
// a power-of-two transform. omega = e^{-2 pi i / 3} = -1/2 - i sqrt(3)/2.
QUENDRA_KERNEL
void dif3(double* re, double* im, size_t t, const double* w1r, const double* w1i, const double* w2r,
          const double* w2i) {
    constexpr double h = 0.86602540378443864676;   // sqrt(3)/2
    double *r0 = re, *r1 = re + t, *r2 = re + 2 * t, *i0 = im, *i1 = im + t, *i2 = im + 2 * t;
QUENDRA_IVDEP
    for (size_t j = 0; j < t; ++j) {
        const double sr = r1[j] + r2[j], si = i1[j] + i2[j], dr = r1[j] - r2[j], di = i1[j] - i2[j];
        const double tr = r0[j] - 0.5 * sr, ti = i0[j] - 0.5 * si;
        const double ur = h * di, ui = -h * dr;   // -i sqrt(3)/2 (a1 - a2)
        r0[j] += sr; i0[j] += si;
        const double y1r = tr + ur, y1i = ti + ui, y2r = tr - ur, y2i = ti - ui;
        r1[j] = y1r * w1r[j] - y1i * w1i[j]; i1[j] = y1r * w1i[j] + y1i * w1r[j];
        r2[j] = y2r * w2r[j] - y2i * w2i[j]; i2[j] = y2r * w2i[j] + y2i * w2r[j];
    }
}

QUENDRA_KERNEL
void dit3(double* re, double* im, size_t t, const double* w1r, const double* w1i, const double* w2r,
          const double* w2i) {
    constexpr double h = 0.86602540378443864676;
    double *r0 = re, *r1 = re + t, *r2 = re + 2 * t, *i0 = im, *i1 = im + t, *i2 = im + 2 * t;
QUENDRA_IVDEP
    for (size_t j = 0; j < t; ++j) {
        const double z1r = r1[j] * w1r[j] + i1[j] * w1i[j], z1i = i1[j] * w1r[j] - r1[j] * w1i[j];
        const double z2r = r2[j] * w2r[j] + i2[j] * w2i[j], z2i = i2[j] * w2r[j] - r2[j] * w2i[j];
        const double sr = z1r + z2r, si = z1i + z2i, dr = z1r - z2r, di = z1i - z2i;
        const double tr = r0[j] - 0.5 * sr, ti = i0[j] - 0.5 * si;
        const double ur = -h * di, ui = h * dr;   // +i sqrt(3)/2 (z1 - z2)
        r0[j] += sr; i0[j] += si;
        r1[j] = tr + ur; i1[j] = ti + ui;
        r2[j] = tr - ur; i2[j] = ti - ui;
    }
}

// The last radix-4 level (quarter size 1): every twiddle is 1, so no products at all.
QUENDRA_KERNEL
void dif4last(double* re, double* im, size_t n) {
    for (size_t s = 0; s < n; s += 4) {
        const double t0r = re[s] + re[s + 2], t0i = im[s] + im[s + 2];
        const double t1r = re[s] - re[s + 2], t1i = im[s] - im[s + 2];
        const double t2r = re[s + 1] + re[s + 3], t2i = im[s + 1] + im[s + 3];
        const double t3r = im[s + 1] - im[s + 3], t3i = re[s + 3] - re[s + 1];
        re[s] = t0r + t2r; im[s] = t0i + t2i;
        re[s + 1] = t0r - t2r; im[s + 1] = t0i - t2i;
        re[s + 2] = t1r + t3r; im[s + 2] = t1i + t3i;
        re[s + 3] = t1r - t3r; im[s + 3] = t1i - t3i;
    }
}

QUENDRA_KERNEL
void dit4first(double* re, double* im, size_t n) {
    for (size_t s = 0; s < n; s += 4) {
        const double d1r = re[s + 1], d1i = im[s + 1], d2r = re[s + 2], d2i = im[s + 2];
        const double d3r = re[s + 3], d3i = im[s + 3];
        const double s0r = re[s] + d1r, s0i = im[s] + d1i, s1r = re[s] - d1r, s1i = im[s] - d1i;
        const double s2r = d2r + d3r, s2i = d2i + d3i, s3r = d3i - d2i, s3i = d2r - d3r;
        re[s] = s0r + s2r; im[s] = s0i + s2i;
        re[s + 2] = s0r - s2r; im[s + 2] = s0i - s2i;
        re[s + 1] = s1r + s3r; im[s + 1] = s1i + s3i;
        re[s + 3] = s1r - s3r; im[s + 3] = s1i - s3i;
    }
}

void radix2(double* re, double* im, size_t n) {
    for (size_t s = 0; s < n; s += 2) {
        const double ur = re[s], ui = im[s], vr = re[s + 1], vi = im[s + 1];
        re[s] = ur + vr; im[s] = ui + vi;
        re[s + 1] = ur - vr; im[s + 1] = ui - vi;
    }
}

}  // namespace

Transform::Transform(size_t n) : n_(n), rev_(n) {
    // n = 2^j or 3 * 2^j: a radix-3 pass splits by frequency mod 3 into thirds of 2^j.
    const size_t pow2 = n % 3 == 0 ? n / 3 : n;
    third_ = n % 3 == 0 ? pow2 : 0;
    size_t q = pow2 / 4;
    for (; q >= 1; q /= 4) {
        Level l{q, {}, {}, {}, {}, {}, {}};
        for (auto* v : {&l.w1r, &l.w1i, &l.w2r, &l.w2i, &l.w3r, &l.w3i}) v->resize(q);
        for (size_t j = 0; j < q; ++j) {
            // Computed directly (not by recurrence) so every twiddle is correctly rounded.
            for (int m = 1; m <= 3; ++m) {
                long double ang = -2.0L * std::numbers::pi_v<long double> * (long double)(m * j) / (long double)(4 * q);
                double c = (double)std::cos(ang), si = (double)std::sin(ang);
                if (m == 1) { l.w1r[j] = c; l.w1i[j] = si; }
                if (m == 2) { l.w2r[j] = c; l.w2i[j] = si; }
                if (m == 3) { l.w3r[j] = c; l.w3i[j] = si; }
            }
        }
        levels_.push_back(std::move(l));
        if (q < 4) break;
    }
    size_t covered = 1;
    for (size_t i = 0; i < levels_.size(); ++i) covered *= 4;
    radix2Tail_ = covered * 2 == pow2;
    if (third_) {
        for (auto* v : {&t3w1r_, &t3w1i_, &t3w2r_, &t3w2i_}) v->resize(third_);
        for (size_t j = 0; j < third_; ++j) {
            long double a1 = -2.0L * std::numbers::pi_v<long double> * (long double)j / (long double)n;
            long double a2 = -2.0L * std::numbers::pi_v<long double> * (long double)(2 * j) / (long double)n;
            t3w1r_[j] = (double)std::cos(a1); t3w1i_[j] = (double)std::sin(a1);
            t3w2r_[j] = (double)std::cos(a2); t3w2i_[j] = (double)std::sin(a2);
        }
    }
    int bits = 0;
    while ((size_t{1} << bits) < pow2) ++bits;
    for (size_t k = 0; k < n; ++k) {
        const size_t kk = third_ ? k / 3 : k, r = third_ ? k % 3 : 0;
        uint32_t rv = 0;
        for (int b = 0; b < bits; ++b) rv |= (uint32_t)((kk >> b) & 1) << (bits - 1 - b);
        rev_[k] = (uint32_t)(r * pow2) + rv;
    }
}

void Transform::forward(double* re, double* im) const {
    if (third_) dif3(re, im, third_, t3w1r_.data(), t3w1i_.data(), t3w2r_.data(), t3w2i_.data());
    for (const Level& l : levels_) {
        if (l.q == 1) dif4last(re, im, n_);
        else dif4(re, im, n_, l.q, l.w1r.data(), l.w1i.data(), l.w2r.data(), l.w2i.data(), l.w3r.data(), l.w3i.data());
    }
    if (radix2Tail_) radix2(re, im, n_);
}

void Transform::inverse(double* re, double* im) const {
    if (radix2Tail_) radix2(re, im, n_);
    for (auto it = levels_.rbegin(); it != levels_.rend(); ++it) {
        if (it->q == 1) dit4first(re, im, n_);
        else dit4(re, im, n_, it->q, it->w1r.data(), it->w1i.data(), it->w2r.data(), it->w2i.data(), it->w3r.data(), it->w3i.data());
    }
    if (third_) dit3(re, im, third_, t3w1r_.data(), t3w1i_.data(), t3w2r_.data(), t3w2i_.data());
}

std::shared_ptr<const Transform> transformFor(size_t n) {
    // One cache per thread: long computations run on worker threads. Evicting an entry only
    // drops the cache's share, so a caller still holding it keeps a live transform.
    thread_local std::vector<std::shared_ptr<const Transform>> cache;
    for (const auto& t : cache)
        if (t->size() == n) return t;
    if (cache.size() >= kCachedSizes) cache.erase(cache.begin());
    cache.push_back(std::make_shared<const Transform>(n));
    return cache.back();
}

namespace {

__extension__ typedef unsigned __int128 u128;

// Bits of a number given as n words of W bits (leading zero words allowed).
template <int W, class Word>
size_t bitLength(const Word* a, size_t n) {
    while (n > 0 && a[n - 1] == 0) --n;
    if (n == 0) return 0;
    return (size_t)W * (n - 1) + (size_t)(64 - __builtin_clzll((uint64_t)a[n - 1]));
}

// Balanced pieces of `bits` bits (values in [-2^(bits-1), 2^(bits-1)), which keeps the
// convolution sums small and the rounding error low) for a number of len bits: one more
// than its plain pieces, for the last carry.
size_t pieceCount(size_t len, int bits) { return (len + (size_t)bits - 1) / (size_t)bits + 1; }

// Piece size and transform length (complex points, each carrying two pieces) for a product
// of numbers of la and lb bits.
struct Plan {
    size_t n;
    int bits;
};

Plan planFor(size_t la, size_t lb) {
    const size_t bitsTotal = la + lb;
    // Largest piece size that is safe: 2*bits + log2(pieces) stays well inside a double.
    int maxBits = 20;
    while (maxBits > 8) {
        const double m = (double)bitsTotal / maxBits + 2;
        if (2.0 * maxBits + std::log2(m) <= 48.0) break;
        --maxBits;
    }
    const size_t need = pieceCount(la, maxBits) + pieceCount(lb, maxBits);
    size_t n = 1;
    while (2 * n < need) n *= 2;
    // Three quarters of that power of two, a length of 3 * 2^j, when it is long enough.
    if (n >= 64 && 2 * (n / 4 * 3) >= need) n = n / 4 * 3;
    // Within that transform length, the smallest piece size gives the most headroom.
    int bits = maxBits;
    while (bits > 8 && pieceCount(la, bits - 1) + pieceCount(lb, bits - 1) <= 2 * n) --bits;
    return {n, bits};
}

// The bits pos .. pos + 63 of a number of na limbs (zeros past its end), masked.
inline uint64_t rawPiece(const uint64_t* a, size_t na, size_t pos, uint64_t mask) {
    const size_t w = pos >> 6;
    const unsigned off = (unsigned)(pos & 63);
    const uint64_t lo = w < na ? a[w] : 0, hi = w + 1 < na ? a[w + 1] : 0;
    return ((lo >> off) | ((hi << 1) << (63 - off))) & mask;
}

// Multiplies the n loaded points by the right-angle weights, in place.
void weigh(const Weights& p, size_t n, double* re, double* im) {
    const double* zr = p.zr.data();
    const double* zi = p.zi.data();
    for (size_t j = 0; j < n; ++j) {
        const double x = re[j], y = im[j];
        re[j] = x * zr[j] - y * zi[j];
        im[j] = x * zi[j] + y * zr[j];
    }
}

// Writes the balanced pieces of a (na words of W bits, len significant bits) as doubles,
// pieces 0..n-1 in re and n..2n-1 in im, zeros past the last one, and weights them for the
// right-angle convolution: (re + i im) e^{i pi j / (2n)}. The pieces must fit 2n.
template <int W, class Word>
void load(const Word* a, size_t na, size_t len, int bits, const Weights& p, double* re, double* im) {
    const size_t n = p.n, np = pieceCount(len, bits);
    const uint64_t mask = (uint64_t{1} << bits) - 1;
    const int64_t half = int64_t{1} << (bits - 1);
    u128 acc = 0;
    int have = 0;
    size_t idx = 0, pos = 0;
    int64_t carry = 0;
    auto next = [&]() {
        uint64_t raw;
        if constexpr (W == 64) {   // straight from the limbs: no chain through a bit buffer
            raw = rawPiece((const uint64_t*)a, na, pos, mask);
            pos += (size_t)bits;
        } else {
            if (have < bits && idx < na) {
                acc |= (u128)(uint64_t)a[idx++] << have;
                have += W;
            }
            raw = (uint64_t)acc & mask;
            acc >>= bits;
            have -= bits;
        }
        const int64_t v = (int64_t)raw + carry;
        carry = v >= half;
        return (double)(v - (carry << bits));
    };
    size_t k = 0;
    for (; k < n && k < np; ++k) re[k] = next();
    for (; k < n; ++k) re[k] = 0;
    for (k = 0; k < n && n + k < np; ++k) im[k] = next();
    for (; k < n; ++k) im[k] = 0;
    weigh(p, n, re, im);
}

// After the inverse transform: unweights, scales and rounds the 2n convolution sums into c,
// returning the largest distance of a sum from its rounded value.
double roundSums(const double* re, const double* im, const Weights& p, int64_t* c) {
    const size_t n = p.n;
    const double scale = 1.0 / (double)n;
    // 1.5 * 2^52 added and taken away rounds to nearest: the sums stay below 2^48.
    constexpr double magic = 6755399441055744.0;
    double maxErr = 0;
    for (size_t j = 0; j < n; ++j) {
        const double r = (re[j] * p.zr[j] + im[j] * p.zi[j]) * scale;
        const double i = (im[j] * p.zr[j] - re[j] * p.zi[j]) * scale;
        const double rr = (r + magic) - magic, ri = (i + magic) - magic;
        maxErr = std::max(maxErr, std::max(std::fabs(r - rr), std::fabs(i - ri)));
        c[j] = (int64_t)rr;
        c[j + n] = (int64_t)ri;
    }
    return maxErr;
}

// Carries the sums c[0..count) into bits-wide pieces and packs them into nout words of W bits.
template <int W, class Word>
void pack(const int64_t* c, size_t count, int bits, Word* out, size_t nout) {
    const uint64_t mask = (uint64_t{1} << bits) - 1;
    const uint64_t wmask = W == 64 ? ~uint64_t{0} : (uint64_t{1} << W) - 1;
    u128 acc = 0;
    int have = 0;
    size_t idx = 0;
    int64_t carry = 0;
    for (size_t k = 0; k < count && idx < nout; ++k) {
        const int64_t t = c[k] + carry;
        carry = t >> bits;
        acc |= (u128)((uint64_t)t & mask) << have;
        have += bits;
        if (have >= W) {
            out[idx++] = (Word)((uint64_t)acc & wmask);
            acc >>= W;
            have -= W;
        }
    }
    // What is left: the last bits and the final carry (zero or positive for a product).
    if (carry > 0) acc |= (u128)(uint64_t)carry << have;
    for (; idx < nout; ++idx) {
        out[idx] = (Word)((uint64_t)acc & wmask);
        acc >>= W;
    }
}

// The 2n balanced pieces of x < 2^(2n bits) for a wrapped product, weighted as in load(): the
// carry out of the last piece is worth 2^(2n bits) = -1, taken off the first piece.
void loadWrapped(const uint64_t* x, size_t nx, int bits, const Weights& p, double* re, double* im) {
    const size_t n = p.n;
    const uint64_t mask = (uint64_t{1} << bits) - 1;
    const int64_t half = int64_t{1} << (bits - 1);
    size_t pos = 0;
    int64_t carry = 0;
    auto next = [&]() {
        const int64_t v = (int64_t)rawPiece(x, nx, pos, mask) + carry;
        pos += (size_t)bits;
        carry = v >= half;
        return (double)(v - (carry << bits));
    };
    for (size_t k = 0; k < n; ++k) re[k] = next();
    for (size_t k = 0; k < n; ++k) im[k] = next();
    re[0] -= (double)carry;
    weigh(p, n, re, im);
}

// Scratch kept per thread: a product of this size is usually followed by more.
struct Scratch {
    std::vector<double> ar, ai, br, bi;
    std::vector<int64_t> c;
};
// This thread's scratch, sized for a transform of n points and its 2n sums.
Scratch& scratch(size_t n) {
    thread_local Scratch s;
    s.ar.resize(n);
    s.ai.resize(n);
    s.c.resize(2 * n);
    return s;
}

// One product through the transform at a given plan; false when the rounding check fails.
template <int W, class Word>
bool convolveAt(const Word* a, size_t na, size_t la, const Word* b, size_t nb, size_t lb,
                bool square, Plan plan, Word* out, size_t nout) {
    const size_t n = plan.n;
    const std::shared_ptr<const Transform> transform = transformFor(n);
    const std::shared_ptr<const Weights> weights = weightsFor(n);
    const Transform& t = *transform;
    Scratch& s = scratch(n);
    double* ar = s.ar.data();
    double* ai = s.ai.data();
    load<W>(a, na, la, plan.bits, *weights, ar, ai);
    t.forward(ar, ai);
    if (square) {
        for (size_t j = 0; j < n; ++j) {
            const double r = ar[j], i = ai[j];
            ar[j] = r * r - i * i;
            ai[j] = 2 * r * i;
        }
    } else {
        s.br.resize(n);
        s.bi.resize(n);
        double* br = s.br.data();
        double* bi = s.bi.data();
        load<W>(b, nb, lb, plan.bits, *weights, br, bi);
        t.forward(br, bi);
        for (size_t j = 0; j < n; ++j) {
            const double r = ar[j] * br[j] - ai[j] * bi[j];
            const double i = ar[j] * bi[j] + ai[j] * br[j];
            ar[j] = r;
            ai[j] = i;
        }
    }
    t.inverse(ar, ai);
    if (roundSums(ar, ai, *weights, s.c.data()) > roundingLimit) return false;
    pack<W>(s.c.data(), 2 * n, plan.bits, out, nout);
    return true;
}

// The product of a (na words of W bits) and b into na + nb words; on a failed rounding check
// smaller pieces, and false if even the smallest fail.
template <int W, class Word>
bool convolve(const Word* a, size_t na, const Word* b, size_t nb, bool square, Word* out) {
    const size_t nout = na + nb;
    const size_t la = bitLength<W>(a, na), lb = square ? la : bitLength<W>(b, nb);
    if (la == 0 || lb == 0) {
        std::fill(out, out + nout, Word{0});
        return true;
    }
    Plan plan = planFor(la, lb);
    for (; plan.bits >= 8; --plan.bits) {
        while (pieceCount(la, plan.bits) + pieceCount(lb, plan.bits) > 2 * plan.n) plan.n *= 2;
        if (convolveAt<W>(a, na, la, b, nb, lb, square, plan, out, nout)) return true;
    }
    return false;
}

}  // namespace

WrappedPlan wrappedPlanFor(size_t minBits, size_t stretch) {
    for (size_t p2 = 32;; p2 *= 2) {
        for (size_t len : {p2, p2 / 2 * 3}) {
            // The sums run over 2 len stretch products of pieces: 2 bits + log2(2 len stretch)
            // within 48 bits, as for the plain products.
            int maxBits = 20;
            while (maxBits > 8 && 2.0 * maxBits + std::log2(2.0 * (double)(len * stretch)) > 48.0) --maxBits;
            size_t b = std::max<size_t>((minBits + 2 * len - 1) / (2 * len), 1);
            // M = 2 len b must be whole limbs: 48 points (3 * 16) need an even piece size.
            while ((2 * len * b) % 64 != 0) ++b;
            if (b <= (size_t)maxBits) return {len, (int)b};
        }
    }
}

WrappedFactor::WrappedFactor(const uint64_t* y, size_t ny, size_t n, int bits)
    : n_(n), limbs_(2 * n * (size_t)bits / 64), bits_(bits), re_(n), im_(n),
      transform_(transformFor(n)), weights_(weightsFor(n)) {
    loadWrapped(y, ny, bits, *weightsFor(n), re_.data(), im_.data());
    transform_->forward(re_.data(), im_.data());
}

bool WrappedFactor::mul(const uint64_t* x, size_t nx, uint64_t* out) const {
    const size_t n = n_;
    const Transform* transform = transform_.get();
    const Weights* weights = weights_.get();
    Scratch& s = scratch(n);
    double* ar = s.ar.data();
    double* ai = s.ai.data();
    loadWrapped(x, nx, bits_, *weights, ar, ai);
    transform->forward(ar, ai);
    const double* br = re_.data();
    const double* bi = im_.data();
    for (size_t j = 0; j < n; ++j) {
        const double r = ar[j] * br[j] - ai[j] * bi[j];
        const double i = ar[j] * bi[j] + ai[j] * br[j];
        ar[j] = r;
        ai[j] = i;
    }
    transform->inverse(ar, ai);
    if (roundSums(ar, ai, *weights, s.c.data()) > roundingLimit) return false;
    // Carry through the 2n sums into M bits; the carry out C is worth 2^M = -1.
    const int64_t* c = s.c.data();
    const uint64_t mask = (uint64_t{1} << bits_) - 1;
    u128 acc = 0;
    int have = 0;
    size_t idx = 0;
    int64_t carry = 0;
    for (size_t k = 0; k < 2 * n; ++k) {
        const int64_t t = c[k] + carry;
        carry = t >> bits_;
        acc |= (u128)((uint64_t)t & mask) << have;
        have += bits_;
        if (have >= 64) {
            out[idx++] = (uint64_t)acc;
            acc >>= 64;
            have -= 64;
        }
    }
    // out[0..limbs) - carry, brought into [0, 2^M].
    const size_t k = limbs_;
    out[k] = 0;
    if (carry > 0) {
        if (limbs::sub_1(out, k, (uint64_t)carry)) out[k] = limbs::add_1(out, k, 1);   // + 2^M + 1
    } else if (carry < 0) {
        out[k] = limbs::add_1(out, k, (uint64_t)-carry);
        if (out[k] && limbs::trimmed(out, k) > 0) {   // above 2^M: less 2^M + 1
            out[k] = 0;
            limbs::sub_1(out, k, 1);
        }
    }
    return true;
}

bool mul(const int64_t* a, size_t na, const int64_t* b, size_t nb, int64_t* out) {
    return convolve<31>(a, na, b, nb, false, out);
}

bool sqr(const int64_t* a, size_t na, int64_t* out) {
    return convolve<31>(a, na, a, na, true, out);
}

bool mul(const uint64_t* a, size_t na, const uint64_t* b, size_t nb, uint64_t* out) {
    return convolve<64>(a, na, b, nb, false, out);
}

bool sqr(const uint64_t* a, size_t na, uint64_t* out) {
    return convolve<64>(a, na, a, na, true, out);
}

}  // namespace bigfft
