// Magnitude kernels: schoolbook, Karatsuba and FFT products, Knuth's long division, Lehmer's
// gcd and the decimal conversions. All work on 31-bit digits held in 64-bit elements.
#include "bigint/detail/mag.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>

#include "bigint/detail/fft.h"
#include "bigint/detail/limbs.h"
#include "numtheory/digits.h"

namespace mag {
namespace {

constexpr int kBits = 31;
constexpr int64_t kMask = DigitMask;
// Products with an operand of at most this many digits stay on digits: regrouping would cost
// more than it saves.
constexpr size_t kDirectDigits = 2;

// Digits regrouped into limbs, on the stack when short.
class Packed {
public:
    explicit Packed(size_t limbCount) : n(limbCount) {
        if (n > kSmall) big_.resize(n);
        p = n > kSmall ? big_.data() : small_;
    }
    Packed(const int64_t* d, size_t digits) : Packed(limbs::packedSize(digits)) {
        numtheory::DigitsToWords(d, digits, p, n);
    }
    limbs::Limb* p;
    size_t n;

private:
    static constexpr size_t kSmall = 64;
    limbs::Limb small_[kSmall];
    std::vector<limbs::Limb> big_;
};

// out[0..na+nb) = a*b, row by row. A row's carry stays below 2^33, so t < 2^63 throughout.
void school(const int64_t* a, size_t na, const int64_t* b, size_t nb, int64_t* out) {
    std::fill(out, out + na + nb, 0);
    for (size_t i = 0; i < nb; ++i) {
        const int64_t bi = b[i];
        if (bi == 0) continue;
        int64_t carry = 0;
        int64_t* o = out + i;
        for (size_t j = 0; j < na; ++j) {
            int64_t t = a[j] * bi + o[j] + carry;
            o[j] = t & kMask;
            carry = t >> kBits;
        }
        o[na] = carry;   // this slot is untouched by earlier rows; the next row absorbs it
    }
    // The last row may leave a carry above 31 bits in its top slot only when the product
    // needs it, which cannot happen: the product fits na+nb digits.
}

// Cross products once, doubled, then the diagonal squares added.
void schoolSqr(const int64_t* a, size_t n, int64_t* out) {
    std::fill(out, out + 2 * n, 0);
    for (size_t i = 0; i + 1 < n; ++i) {
        const int64_t ai = a[i];
        if (ai == 0) continue;
        int64_t carry = 0;
        int64_t* o = out + 2 * i + 1;
        const int64_t* aj = a + i + 1;
        size_t m = n - i - 1;
        for (size_t j = 0; j < m; ++j) {
            int64_t t = ai * aj[j] + o[j] + carry;
            o[j] = t & kMask;
            carry = t >> kBits;
        }
        o[m] = carry;
    }
    // out := 2*out + diagonal, carrying in one pass.
    int64_t carry = 0;
    for (size_t i = 0; i < n; ++i) {
        int64_t sq = a[i] * a[i];
        int64_t lo = 2 * out[2 * i] + (sq & kMask) + carry;
        out[2 * i] = lo & kMask;
        carry = lo >> kBits;
        int64_t hi = 2 * out[2 * i + 1] + (sq >> kBits) + carry;
        out[2 * i + 1] = hi & kMask;
        carry = hi >> kBits;
    }
}



}  // namespace

size_t trimmed(const int64_t* a, size_t n) {
    while (n > 0 && a[n - 1] == 0) --n;
    return n;
}

void trim(Num& r) {
    size_t n = r.size() - 1;
    while (n > 1 && r[n] == 0) --n;
    if (n == 0) { r.assign(2, 0); r[0] = 1; return; }
    r.resize(n + 1);
    r[0] = (int64_t)n;
}

void put(TBigInt& x, Num&& r, uint8_t sign) {
    trim(r);
    x.Digits = std::move(r);
    x.Sign = sign;
}

int cmp(const int64_t* a, size_t na, const int64_t* b, size_t nb) {
    if (na != nb) return na < nb ? -1 : 1;
    for (size_t i = na; i-- > 0;)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

void mul(const int64_t* a, size_t na, const int64_t* b, size_t nb, int64_t* out) {
    if (na < nb) { std::swap(a, b); std::swap(na, nb); }
    if (nb == 0) { std::fill(out, out + na, 0); return; }
    if (nb <= kDirectDigits) { school(a, na, b, nb, out); return; }
    if (limbs::packedSize(nb) >= limbs::thresholds.fft && bigfft::mul(a, na, b, nb, out)) return;
    Packed pa(a, na), pb(b, nb);
    Packed r(pa.n + pb.n);
    limbs::mul(r.p, pa.p, pa.n, pb.p, pb.n);
    numtheory::WordsToDigits(r.p, r.n, out, na + nb);
}

void sqr(const int64_t* a, size_t n, int64_t* out) {
    if (n <= kDirectDigits) { schoolSqr(a, n, out); return; }
    if (limbs::packedSize(n) >= limbs::thresholds.fftSqr && bigfft::sqr(a, n, out)) return;
    Packed pa(a, n);
    Packed r(2 * pa.n);
    limbs::sqr(r.p, pa.p, pa.n);
    numtheory::WordsToDigits(r.p, r.n, out, 2 * n);
}

Num mul(const int64_t* a, size_t na, const int64_t* b, size_t nb) {
    Num r = make(na + nb);
    mul(a, na, b, nb, r.data() + 1);
    trim(r);
    return r;
}

Num sqr(const int64_t* a, size_t n) {
    Num r = make(2 * n);
    sqr(a, n, r.data() + 1);
    trim(r);
    return r;
}

namespace {

// Whether x's digits can take a result while the operands a and b are still read: neither
// lies in them.
bool reusable(const TBigInt& x, const int64_t* a, const int64_t* b) {
    if (x.Digits.empty()) return false;
    const std::less<const int64_t*> below;
    const int64_t *lo = x.Digits.data(), *hi = lo + x.Digits.size();
    auto inside = [&](const int64_t* p) { return !below(p, lo) && below(p, hi); };
    return !inside(a) && !inside(b);
}

}  // namespace

void mulInto(TBigInt& x, const int64_t* a, size_t na, const int64_t* b, size_t nb, uint8_t sign) {
    if (!reusable(x, a, b)) { put(x, mul(a, na, b, nb), sign); return; }
    x.Digits.resize(na + nb + 1);
    mul(a, na, b, nb, x.Digits.data() + 1);
    trim(x.Digits);
    x.Sign = sign;
}

void sqrInto(TBigInt& x, const int64_t* a, size_t n) {
    if (!reusable(x, a, a)) { put(x, sqr(a, n), Positive); return; }
    x.Digits.resize(2 * n + 1);
    sqr(a, n, x.Digits.data() + 1);
    trim(x.Digits);
    x.Sign = Positive;
}

Num add(const int64_t* a, size_t na, const int64_t* b, size_t nb) {
    if (na < nb) { std::swap(a, b); std::swap(na, nb); }
    Num r = make(na + 1);
    int64_t* o = r.data() + 1;
    int64_t carry = 0;
    for (size_t i = 0; i < na; ++i) {
        int64_t t = a[i] + (i < nb ? b[i] : 0) + carry;
        o[i] = t & kMask;
        carry = t >> kBits;
    }
    o[na] = carry;
    trim(r);
    return r;
}

Num sub(const int64_t* a, size_t na, const int64_t* b, size_t nb) {
    Num r = make(std::max<size_t>(na, 1));
    int64_t* o = r.data() + 1;
    int64_t borrow = 0;
    for (size_t i = 0; i < na; ++i) {
        int64_t t = a[i] - (i < nb ? b[i] : 0) + borrow;
        o[i] = t & kMask;
        borrow = t >> kBits;
    }
    trim(r);
    return r;
}

// Single digits directly; everything else on limbs.
void divmod(const int64_t* a, size_t na, const int64_t* b, size_t nb, Num* q, Num* r) {
    na = trimmed(a, na);
    if (na < nb || cmp(a, na, b, nb) < 0) {
        if (q) *q = make(1);
        if (r) { *r = make(std::max<size_t>(na, 1)); std::copy(a, a + na, r->data() + 1); trim(*r); }
        return;
    }
    if (nb == 1) {
        const int64_t d = b[0];
        Num qq = make(na);
        int64_t rem = 0;
        for (size_t i = na; i-- > 0;) {
            int64_t t = (rem << kBits) | a[i];
            qq[i + 1] = t / d;
            rem = t % d;
        }
        if (q) { trim(qq); *q = std::move(qq); }
        if (r) { *r = make(1); (*r)[1] = rem; }
        return;
    }
    Packed pa(a, na), pb(b, nb);
    const size_t lb = limbs::trimmed(pb.p, pb.n), la = limbs::trimmed(pa.p, pa.n);
    Packed pq(la - lb + 1), pr(lb);
    limbs::divmod(q ? pq.p : nullptr, r ? pr.p : nullptr, pa.p, la, pb.p, lb);
    if (q) {
        *q = make((64 * pq.n + 30) / 31);
        numtheory::WordsToDigits(pq.p, pq.n, q->data() + 1);
        trim(*q);
    }
    if (r) {
        *r = make(nb);
        numtheory::WordsToDigits(pr.p, pr.n, r->data() + 1, nb);
        trim(*r);
    }
}

Num gcd(const int64_t* a, size_t na, const int64_t* b, size_t nb) {
    Packed pa(a, na), pb(b, nb);
    const limbs::Vec g = limbs::gcd(pa.p, pa.n, pb.p, pb.n);
    Num r = make(numtheory::DigitCountForWords(g.size()));
    numtheory::WordsToDigits(g.data(), g.size(), r.data() + 1);
    trim(r);
    return r;
}

std::string toDecimal(const int64_t* a, size_t n) {
    Packed pa(a, n);
    return limbs::toDecimal(pa.p, pa.n);
}

}  // namespace mag
