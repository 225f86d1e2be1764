// The Mersenne squaring: exact squaring for small exponents, an irrational-base discrete
// weighted transform (IBDWT) for large ones.
#include "bigint/mersenne_square.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "bigint/convert.h"
#include "bigint/types.h"
#include "bigint/detail/fft.h"
#include "bigint/detail/limbs.h"
#include "bigint/detail/mag.h"
#include "bigint/detail/simd.h"
#include "numtheory/digits.h"

namespace {

using Bits = std::vector<uint64_t>;

// Below this exponent the exact path is as fast and needs no error bound.
constexpr uint32_t kTransformFrom = 1000;
// The shortest transform (its carry runs in four quarters of at least 16 words), and the
// narrowest words worth a transform: below 8 bits a step is done exactly instead.
constexpr size_t kMinLength = 64;
constexpr uint64_t kMinWordBits = 8;

// Transform lengths run 64, 96, 128, 192, ...: 2^k and 3 * 2^k.
size_t nextLength(size_t n) { return (n & (n - 1)) == 0 ? n / 2 * 3 : n / 3 * 4; }

bool isLength(size_t n) {
    const size_t pow2 = n % 3 == 0 ? n / 3 : n;
    return n >= kMinLength && (pow2 & (pow2 - 1)) == 0;
}

size_t wordCount(uint32_t p) { return ((size_t)p + 63) / 64; }

uint64_t getBits(const Bits& v, uint64_t at, int count) {
    const size_t w = at / 64, off = at % 64;
    uint64_t r = w < v.size() ? v[w] >> off : 0;
    if (off + (size_t)count > 64 && w + 1 < v.size()) r |= v[w + 1] << (64 - off);
    return count == 64 ? r : r & ((uint64_t{1} << count) - 1);
}

void putBits(Bits& v, uint64_t at, int count, uint64_t value) {
    const size_t w = at / 64, off = at % 64;
    v[w] |= value << off;
    if (off + (size_t)count > 64) v[w + 1] |= value >> (64 - off);
}

bool allOnes(const Bits& v, uint32_t p) {
    for (uint32_t i = 0; i < p / 64; ++i)
        if (v[i] != ~uint64_t{0}) return false;
    return p % 64 == 0 || v[p / 64] == (uint64_t{1} << (p % 64)) - 1;
}

// The low `bitCount` bits of v as a magnitude.
mag::Num toNum(const Bits& v, uint64_t bitCount) {
    const size_t k = std::max<size_t>(1, (size_t)((bitCount + 63) / 64));
    Bits low(k, 0);
    std::copy(v.begin(), v.begin() + (long)std::min(k, v.size()), low.begin());
    if (bitCount % 64) low[k - 1] &= (uint64_t{1} << (bitCount % 64)) - 1;
    mag::Num r = mag::make(numtheory::DigitCountForWords(k));
    numtheory::WordsToDigits(low.data(), k, r.data() + 1);
    mag::trim(r);
    return r;
}

Bits smallValue(uint32_t p, uint64_t value) {
    Bits v(wordCount(p), 0);
    v[0] = value;
    return v;
}

// --- exact path ---------------------------------------------------------------------------

// v mod 2^p - 1 for v < 2^(2p + 1): split at bit p and add, twice, then fold 2^p - 1 to 0.
Bits reduce(const mag::Num& v, uint32_t p) {
    const size_t words = wordCount(p);
    Bits all((31 * (size_t)v[0] + 63) / 64 + 2, 0);
    numtheory::DigitsToWords(v.data() + 1, (size_t)v[0], all.data(), all.size());
    const size_t total = 64 * all.size();
    for (int round = 0; round < 3; ++round) {
        Bits lo(words + 1, 0), hi(words + 1, 0);
        for (size_t at = 0; at < p; at += 32) lo[at / 64] |= getBits(all, at, (int)std::min<size_t>(32, p - at)) << (at % 64);
        for (size_t at = p; at < total; at += 32) {
            const size_t dst = at - p;
            if (dst / 64 >= hi.size()) break;
            const int count = (int)std::min<size_t>(32, total - at);
            putBits(hi, dst, count, getBits(all, at, count));
        }
        Bits sum(words + 1, 0);
        mag::u128 carry = 0;
        for (size_t i = 0; i < words + 1; ++i) {
            carry += (mag::u128)lo[i] + hi[i];
            sum[i] = (uint64_t)carry;
            carry >>= 64;
        }
        all.assign(sum.begin(), sum.end());
        all.push_back(0);
    }
    Bits r(all.begin(), all.begin() + (long)words);
    if (p % 64) r[words - 1] &= (uint64_t{1} << (p % 64)) - 1;
    if (allOnes(r, p)) std::fill(r.begin(), r.end(), 0);
    return r;
}

// v - 2 mod 2^p - 1 on a canonical residue.
void minusTwo(Bits& v, uint32_t p) {
    if (std::any_of(v.begin() + 1, v.end(), [](uint64_t w) { return w != 0; }) || v[0] >= 2) {
        uint64_t borrow = 2;
        for (uint64_t& w : v) {
            const uint64_t before = w;
            w -= borrow;
            borrow = before < borrow ? 1 : 0;
            if (!borrow) break;
        }
        return;
    }
    // 0 - 2 = 2^p - 3, 1 - 2 = 2^p - 2
    const uint64_t low = v[0];
    std::fill(v.begin(), v.end(), ~uint64_t{0});
    if (p % 64) v.back() = (uint64_t{1} << (p % 64)) - 1;
    v[0] -= 2 - low;
}

}  // namespace

// --- the weighted transform ---------------------------------------------------------------

// The per-word loops of a step are QUENDRA_KERNELs: compiled for AVX2 as well where the
// target supports multiversioning.

namespace {

QUENDRA_KERNEL void weighIn(const int64_t* x, const double* weight, double* re, double* im, size_t m) {
QUENDRA_IVDEP
    for (size_t k = 0; k < m; ++k) {
        re[k] = (double)x[2 * k] * weight[2 * k];
        im[k] = (double)x[2 * k + 1] * weight[2 * k + 1];
    }
}

// One pair of the bit-reversed spectrum: Z_k at i and Z_(m-k) at j, w^k = (c, s). The real
// input's spectrum values Y_k and Y_(k+m) are squared and packed back for the inverse
// transform. For a real input Y_(m-k) = conj Y_(k+m), so the partner's output is the
// conjugate mix of the same two values: one computation serves both places.
static inline void squarePair(const double* re, const double* im, size_t i, size_t j, double c, double s,
                              double* outr, double* outi) {
    const double zr = re[i], zi = im[i], wr = re[j], wi = -im[j];
    const double er = 0.5 * (zr + wr), ei = 0.5 * (zi + wi);
    const double orr = 0.5 * (zi - wi), oi = -0.5 * (zr - wr);
    const double tr = c * orr - s * oi, ti = c * oi + s * orr;          // w^k O_k
    const double y1r = er + tr, y1i = ei + ti, y2r = er - tr, y2i = ei - ti;
    const double s1r = y1r * y1r - y1i * y1i, s1i = 2 * y1r * y1i;
    const double s2r = y2r * y2r - y2i * y2i, s2i = 2 * y2r * y2i;
    const double epr = 0.5 * (s1r + s2r), epi = 0.5 * (s1i + s2i);
    const double dr = 0.5 * (s1r - s2r), di = 0.5 * (s1i - s2i);
    const double opr = dr * c + di * s, opi = di * c - dr * s;          // times conj w^k
    outr[j] = epr + opi;   // conj E' + i conj O', written first: j may equal i
    outi[j] = opr - epi;
    outr[i] = epr - opi;   // E' + i O'
    outi[i] = epi + opr;
}

// In bit-reversed order the frequencies k and m - k sit at mirrored places of each octave
// [2^j, 2^(j+1)); for a length 3 * 2^j the first third pairs within itself like a power of
// two, and the second and third thirds pair with each other, mirrored end to end. So the
// loops run in order, without gathers.
QUENDRA_KERNEL void squareSpectrum(const double* re, const double* im, const double* cr, const double* ci,
                              double* outr, double* outi, size_t m, size_t third) {
    const size_t pow2 = third ? third : m;
    squarePair(re, im, 0, 0, cr[0], ci[0], outr, outi);
    if (pow2 > 1) squarePair(re, im, 1, 1, cr[1], ci[1], outr, outi);
    for (size_t lo = 2; lo < pow2; lo *= 2) {
        const size_t mirror = 3 * lo - 1, half = lo / 2;
QUENDRA_IVDEP
        for (size_t i = lo; i < lo + half; ++i) squarePair(re, im, i, mirror - i, cr[i], ci[i], outr, outi);
    }
    if (third) {   // the two upper thirds
        const size_t mirror = 4 * third - 1;
QUENDRA_IVDEP
        for (size_t i = third; i < 2 * third; ++i) squarePair(re, im, i, mirror - i, cr[i], ci[i], outr, outi);
    }
}

// Unweighs and rounds to integers: adding 1.5 * 2^52 puts round(a) in the low bits of the
// double (for |a| < 2^51), read back as an integer. False when a rounding error reached 0.4
// or a value passed 2^50, beyond which a double no longer shows its rounding error.
QUENDRA_KERNEL bool roundOut(const double* re, const double* im, const double* unweight, int64_t* y, size_t m) {
    constexpr double magic = 6755399441055744.0;
    constexpr int64_t magicBits = 0x4338000000000000;
    int64_t bad = 0;
QUENDRA_IVDEP
    for (size_t k = 0; k < m; ++k) {
        const double a = re[k] * unweight[2 * k], b = im[k] * unweight[2 * k + 1];
        const double ra = a + magic, rb = b + magic;
        const double ea = std::fabs(a - (ra - magic)), eb = std::fabs(b - (rb - magic));
        bad |= (int64_t)(ea >= 0.4) | (int64_t)(eb >= 0.4) | (int64_t)!(std::fabs(a) < 0x1p50) |
               (int64_t)!(std::fabs(b) < 0x1p50);
        y[2 * k] = std::bit_cast<int64_t>(ra) - magicBits;
        y[2 * k + 1] = std::bit_cast<int64_t>(rb) - magicBits;
    }
    return bad == 0;
}

}  // namespace


struct MersenneSquarer::Impl {
    uint32_t p;
    Bits exact;                      // the residue on the exact path
    size_t n = 0, m = 0;             // real words, complex points
    std::vector<int> bits;           // bits of word j: floor(p/n) or ceil(p/n)
    std::vector<uint64_t> start;     // first bit of word j: ceil(p j / n)
    std::vector<double> weight, unweight, cr, ci, re, im, re2, im2;
    std::vector<int64_t> x;          // balanced digits
    std::vector<int64_t> y;          // the next digits while a step is checked
    // Shared with the per-thread cache of transforms: the cache may evict its entry, the
    // squarer keeps the transform alive; squarers of the same length build it only once.
    std::shared_ptr<const bigfft::Transform> t;

    explicit Impl(uint32_t exponent) : p(exponent) {}

    // Shortest length whose words keep the convolution sums safely inside a double:
    // 2b + log2(n)/2 <= 44 with balanced digits, b the largest word size.
    // Lengths are 2^k or 3 * 2^k.
    static size_t lengthFor(uint32_t p) {
        for (size_t n = kMinLength;; n = nextLength(n)) {
            const double b = std::ceil((double)p / (double)n);
            if (2 * b + std::log2((double)n) / 2 <= 44) return n;
        }
    }

    void init(size_t length) {
        n = length;
        m = n / 2;
        t = bigfft::transformFor(m);
        start.assign(n + 1, 0);
        bits.assign(n, 0);
        weight.assign(n, 0);
        unweight.assign(n, 0);
        for (size_t j = 0; j <= n; ++j) start[j] = ((uint64_t)p * j + n - 1) / n;
        for (size_t j = 0; j < n; ++j) {
            bits[j] = (int)(start[j + 1] - start[j]);
            const long double e = ((long double)start[j] * (long double)n - (long double)p * (long double)j) / (long double)n;
            const long double a = std::exp2(e);
            weight[j] = (double)a;
            unweight[j] = (double)(1.0L / (a * (long double)m));
        }
        cr.assign(m, 0);
        ci.assign(m, 0);
        for (size_t k = 0; k < m; ++k) {
            const long double ang = -2.0L * 3.141592653589793238462643383279502884L * (long double)k / (long double)n;
            cr[k] = (double)std::cos(ang);
            ci[k] = (double)std::sin(ang);
        }
        // Stored in the order of the forward output (bit-reversed), where the pairing runs.
        const auto& rev = t->positions();
        std::vector<double> br(m), bi(m);
        for (size_t k = 0; k < m; ++k) { br[rev[k]] = cr[k]; bi[rev[k]] = ci[k]; }
        cr.swap(br);
        ci.swap(bi);
        re.assign(m, 0); im.assign(m, 0); re2.assign(m, 0); im2.assign(m, 0);
        y.assign(n, 0);
        x.assign(n, 0);
    }

    // Balanced digits of a canonical residue.
    void load(const Bits& v) {
        for (size_t j = 0; j < n; ++j) x[j] = (int64_t)getBits(v, start[j], bits[j]);
        carry(0);
    }

    // Propagates carries (and the wrap-around 2^p = 1) until every digit is balanced.
    void carry(int64_t c) {
        for (size_t round = 0;; ++round) {
            for (size_t j = 0; j < n; ++j) {
                const int64_t v = x[j] + c;
                const int b = bits[j];
                const int64_t half = int64_t{1} << (b - 1), mask = (int64_t{1} << b) - 1;
                const int64_t d = ((v + half) & mask) - half;
                x[j] = d;
                c = (v - d) >> b;
                if (c == 0 && round > 0) return;
            }
            if (c == 0) return;
        }
    }

    Bits save() const {
        std::vector<int64_t> d = x;
        int64_t c = 0;
        for (size_t round = 0;; ++round) {   // to non-negative digits, wrapping the carry
            for (size_t j = 0; j < n; ++j) {
                const int64_t v = d[j] + c;
                const int b = bits[j];
                const int64_t dd = v & ((int64_t{1} << b) - 1);
                d[j] = dd;
                c = (v - dd) >> b;
            }
            if (c == 0) break;
        }
        Bits r(wordCount(p) + 1, 0);
        for (size_t j = 0; j < n; ++j) putBits(r, start[j], bits[j], (uint64_t)d[j]);
        r.resize(wordCount(p));
        if (allOnes(r, p)) std::fill(r.begin(), r.end(), 0);
        return r;
    }

    // One squaring minus two; false (digits untouched) when the rounding error is too large.
    bool tryStep() {
        weighIn(x.data(), weight.data(), re.data(), im.data(), m);
        t->forward(re.data(), im.data());
        squareSpectrum(re.data(), im.data(), cr.data(), ci.data(), re2.data(), im2.data(), m, t->third());
        t->inverse(re2.data(), im2.data());
        if (!roundOut(re2.data(), im2.data(), unweight.data(), y.data(), m)) return false;
        // Balanced digits: four carry chains run side by side over the four quarters (the
        // serial chain is the cost here), then each quarter's carry ripples into the next,
        // and the top one wraps to the bottom (2^p = 1); these ripples usually die at once.
        y[0] -= 2;   // s^2 - 2
        const size_t quarter = n / 4;
        int64_t c[4] = {0, 0, 0, 0};
        for (size_t i = 0; i < quarter; ++i) {
            for (size_t q = 0; q < 4; ++q) {
                const size_t j = q * quarter + i;
                const int b = bits[j];
                const int64_t v = y[j] + c[q];
                c[q] = (v + (int64_t{1} << (b - 1))) >> b;
                y[j] = v - (c[q] << b);
            }
        }
        for (size_t q = 0; q < 4; ++q) {
            int64_t carry = c[q];
            for (size_t j = ((q + 1) % 4) * quarter; carry != 0; j = (j + 1) % n) {
                const int b = bits[j];
                const int64_t v = y[j] + carry;
                carry = (v + (int64_t{1} << (b - 1))) >> b;
                y[j] = v - (carry << b);
            }
        }
        x.swap(y);
        return true;
    }
};


MersenneSquarer::MersenneSquarer(uint32_t p) {
    if (p < kMinExponent || p > kMaxExponent)
        throw BigError("Mersenne squaring needs an exponent from 2 to 2147483647, not " + std::to_string(p));
    impl_ = std::make_unique<Impl>(p);
    if (p >= kTransformFrom) impl_->init(Impl::lengthFor(p));
    // 4 mod 2^p - 1: 4 itself from p = 3 on, 1 for p = 2.
    set(smallValue(p, p == 2 ? 1 : 4));
}

MersenneSquarer::~MersenneSquarer() = default;
MersenneSquarer::MersenneSquarer(MersenneSquarer&&) noexcept = default;
MersenneSquarer& MersenneSquarer::operator=(MersenneSquarer&&) noexcept = default;

uint32_t MersenneSquarer::exponent() const { return impl_->p; }

void MersenneSquarer::set(const std::vector<uint64_t>& residue) {
    const uint32_t p = impl_->p;
    if (residue.size() != wordCount(p) || (p % 64 && residue.back() >> (p % 64)))
        throw BigError("Residue does not fit the exponent " + std::to_string(p));
    Bits v = residue;
    if (allOnes(v, p)) std::fill(v.begin(), v.end(), 0);
    if (impl_->n) impl_->load(v);
    else impl_->exact = std::move(v);
}

std::vector<uint64_t> MersenneSquarer::get() const { return impl_->n ? impl_->save() : impl_->exact; }

size_t MersenneSquarer::transformLength() const { return impl_->n; }

void MersenneSquarer::forceTransformLength(size_t n) {
    const uint32_t p = impl_->p;
    // Words of ceil(p / n) bits at most and floor(p / n) at least.
    const uint64_t widest = n ? ((uint64_t)p + n - 1) / n : 0, narrowest = n ? p / n : 0;
    if (!isLength(n) || narrowest < kMinWordBits || widest > (uint64_t)kMaxForcedWordBits)
        throw BigError("Transform length " + std::to_string(n) + " cannot hold exponent " + std::to_string(p));
    const Bits v = get();
    impl_->init(n);
    impl_->load(v);
}

void MersenneSquarer::step() {
    Impl& s = *impl_;
    if (!s.n) {
        const mag::Num v = toNum(s.exact, s.p);
        s.exact = reduce(mag::sqr(v.data() + 1, (size_t)v[0]), s.p);
        minusTwo(s.exact, s.p);
        return;
    }
    while (!s.tryStep()) {
        // Too close to a rounding boundary: redo this step with a transform twice as long,
        // or exactly once words would get too short to be worth a transform.
        const Bits v = s.save();
        if (s.p / (s.n * 2) < kMinWordBits) {
            s.n = 0;
            s.t.reset();
            s.exact = v;
            step();
            return;
        }
        s.init(s.n * 2);
        s.load(v);
    }
}

std::string ResidueToDecimal(const std::vector<uint64_t>& residue) {
    return limbs::toDecimal(residue.data(), residue.size());
}
