// Montgomery arithmetic on 64-bit limbs: products on the limb kernels, then a reduction by
// rows or by two products; sliding-window powers.
#include "bigint/detail/mont.h"
#include "bigint/poll.h"

#include <algorithm>

#include "bigint/detail/fft.h"
#include "bigint/detail/limbs.h"
#include "numtheory/digits.h"
#include "numtheory/word.h"

namespace mont {

namespace {

// -n^-1 mod 2^(64 k) for odd n of k limbs, by Newton's iteration x := x (2 - n x), which
// doubles the correct low limbs each step, from the inverse of the lowest limb.
Limbs negatedInverse(const Limbs& n) {
    const size_t k = n.size();
    Limbs x(k, 0), e(2 * k), f(k), y(2 * k);
    x[0] = numtheory::InverseMod2to64(n[0]);
    for (size_t p = 1; p < k;) {
        const size_t q = std::min(2 * p, k);
        limbs::mul(e.data(), n.data(), q, x.data(), p);       // n x mod B^q
        for (size_t i = 0; i < q; ++i) f[i] = ~e[i];          // 2 - n x = ~(n x) + 3
        limbs::add_1(f.data(), q, 3);
        limbs::mul(y.data(), f.data(), q, x.data(), p);
        std::copy(y.begin(), y.begin() + (long)q, x.begin());
        p = q;
    }
    for (size_t i = 0; i < k; ++i) x[i] = ~x[i];              // -x = ~x + 1
    limbs::add_1(x.data(), k, 1);
    return x;
}

}  // namespace

Limbs toLimbs(const int64_t* d, size_t n, size_t k) {
    Limbs r(k);
    numtheory::DigitsToWords(d, n, r.data(), k);
    return r;
}

mag::Num fromLimbs(const uint64_t* x, size_t k) {
    mag::Num r = mag::make(numtheory::DigitCountForWords(k));
    numtheory::WordsToDigits(x, k, r.data() + 1);
    mag::trim(r);
    return r;
}

Ring::Ring(const int64_t* n, size_t nn) {
    nn = mag::trimmed(n, nn);
    digits_ = mag::make(nn);
    std::copy(n, n + nn, digits_.begin() + 1);
    k_ = (31 * nn + 63) / 64;
    n_ = toLimbs(n, nn, k_);
    while (k_ > 1 && n_[k_ - 1] == 0) --k_;
    n_.resize(k_);
    rk_ = k_;
    ninv_ = 0 - numtheory::InverseMod2to64(n_[0]);
    w_.assign(2 * k_ + 1, 0);
    if ((fixedMul_ = limbs::fixedMul(k_))) {   // the three come for the same lengths
        fixedSqr_ = limbs::fixedSqr(k_);
        fixedRedc_ = limbs::fixedRedc(k_);
    }
    // Short moduli take the unrolled kernels whatever the threshold says.
    if (!fixedMul_ && k_ >= std::max<size_t>(limbs::thresholds.montgomeryProducts, 16)) {
        // R = 2^M for the shortest wrapped product that holds n; the exact product t n' runs on
        // a wrapped product twice as long.
        const bigfft::WrappedPlan plan = bigfft::wrappedPlanFor(64 * k_, 2);
        const size_t points = plan.points;
        const int bits = plan.bits;
        rk_ = plan.limbs();
        Limbs padded(n_);
        padded.resize(rk_, 0);
        nprime_ = negatedInverse(padded);
        nprimeWrapped_ = std::make_unique<bigfft::WrappedFactor>(nprime_.data(), rk_, 2 * points, bits);
        nWrapped_ = std::make_unique<bigfft::WrappedFactor>(n_.data(), k_, points, bits);
        t_.assign(6 * rk_ + 4, 0);
    }
    // R^2 mod n by one long division.
    mag::Num big = mag::make(64 * 2 * rk_ / 31 + 1);
    big[big.size() - 1] = int64_t{1} << ((128 * rk_) % 31);
    mag::Num rem;
    mag::divmod(big.data() + 1, (size_t)big[0], n, nn, nullptr, &rem);
    r2_ = toLimbs(rem.data() + 1, (size_t)rem[0], k_);
    one_ = enterSmall(1);
    Limbs zero(k_, 0);
    minusOne_.assign(k_, 0);
    sub(zero.data(), one_.data(), minusOne_.data());
}

Ring::~Ring() = default;

void Ring::mul(const uint64_t* a, const uint64_t* b, uint64_t* r) const {
    if (fixedMul_) {
        fixedMul_(w_.data(), a, b);
        fixedRedc_(r, w_.data(), n_.data(), ninv_);
        return;
    }
    limbs::mul(w_.data(), a, k_, b, k_);
    reduce(w_.data(), r);
}

void Ring::sqr(const uint64_t* a, uint64_t* r) const {
    if (fixedMul_) {
        fixedSqr_(w_.data(), a);
        fixedRedc_(r, w_.data(), n_.data(), ninv_);
        return;
    }
    limbs::sqr(w_.data(), a, k_);
    reduce(w_.data(), r);
}

// t (2k limbs, below n R) / R mod n. Short moduli: a row of k products per limb, each making
// the lowest remaining limb zero. Long ones: by products (reduceByProducts).
void Ring::reduce(uint64_t* t, uint64_t* r) const {
    const size_t k = k_;
    if (!nWrapped_) {
        // Row i clears t[i]; its carry, due at t[i + k], waits there until all rows are done.
        for (size_t i = 0; i < k; ++i) t[i] = limbs::addmul_1(t + i, n_.data(), k, t[i] * ninv_);
        const uint64_t top = limbs::add_n(t + k, t + k, t, k);
        finish(t + k, top, r);
        return;
    }
    reduceByProducts(t, r);
}

// With K = rk_ and tl = t mod R: m = tl n' mod R, so that t + m n = 0 mod R, and the result
// (t + m n) / R = th + H + [tl != 0], with th = t div R and H = m n div R. Modulo R + 1,
// m n = (m n mod R) - H = (R - tl) - H when tl != 0 (0 - H otherwise), so S = H + [tl != 0]
// is -(tl + h) mod (R + 1) for h = m n mod (R + 1), and S <= n.
void Ring::reduceByProducts(const uint64_t* t, uint64_t* r) const {
    const size_t k = k_, K = rk_;
    uint64_t* tl = t_.data();          // K limbs
    uint64_t* full = tl + K;           // 2K + 1 limbs: tl n'
    uint64_t* h = full + 2 * K + 1;    // K + 1 limbs
    std::copy(t, t + K, tl);           // K <= 2k: t has at least K limbs
    bool ok = nprimeWrapped_->mul(tl, K, full);
    const uint64_t* m = full;          // its low K limbs
    ok = ok && nWrapped_->mul(m, K, h);
    if (!ok) {
        // A rounding check failed (never seen in practice): the same from plain products.
        Limbs p(2 * K), mn(K + k), sum(2 * K + 2, 0);
        limbs::mul(p.data(), tl, K, nprime_.data(), K);
        limbs::mul(mn.data(), p.data(), K, n_.data(), k);
        std::copy(t, t + 2 * k, sum.begin());
        limbs::add(sum.data(), sum.data(), sum.size(), mn.data(), K + k);
        finish(sum.data() + K, sum[K + k], r);   // below 2n: k limbs and a top limb
        return;
    }
    // u = (tl + h) mod (R + 1), in [0, R].
    uint64_t* u = h;
    u[K] += limbs::add_n(u, tl, h, K);
    if (u[K] && limbs::trimmed(u, K) > 0) {
        u[K] = 0;
        limbs::sub_1(u, K, 1);
    }
    // S = (R + 1 - u) mod (R + 1): 0, 1 for u = R, else ~u + 2 on K limbs.
    uint64_t* sv = tl;
    if (u[K]) {
        std::fill(sv, sv + K, 0);
        sv[0] = 1;
    } else if (limbs::trimmed(u, K) == 0) {
        std::fill(sv, sv + K, 0);
    } else {
        for (size_t i = 0; i < K; ++i) sv[i] = ~u[i];
        limbs::add_1(sv, K, 2);
    }
    // th + S, below 2n: S fits k limbs, th = t[K..2k).
    uint64_t* sum = full;
    std::copy(sv, sv + k, sum);
    const uint64_t top = limbs::add(sum, sum, k, t + K, 2 * k - K);
    finish(sum, top, r);
}

void Ring::finish(uint64_t* t, uint64_t top, uint64_t* r) const {
    const size_t k = k_;
    if (top != 0 || limbs::cmp_n(t, n_.data(), k) >= 0) limbs::sub_n(r, t, n_.data(), k);
    else std::copy(t, t + k, r);
}

void Ring::add(const uint64_t* a, const uint64_t* b, uint64_t* r) const {
    const uint64_t carry = limbs::add_n(r, a, b, k_);
    if (carry || limbs::cmp_n(r, n_.data(), k_) >= 0) limbs::sub_n(r, r, n_.data(), k_);
}

void Ring::sub(const uint64_t* a, const uint64_t* b, uint64_t* r) const {
    if (limbs::sub_n(r, a, b, k_)) limbs::add_n(r, r, n_.data(), k_);
}

bool Ring::equal(const uint64_t* a, const uint64_t* b) const {
    return std::equal(a, a + k_, b);
}

Limbs Ring::enter(const int64_t* d, size_t n) const {
    n = mag::trimmed(d, n);
    mag::Num rem;
    mag::divmod(d, n, digits_.data() + 1, (size_t)digits_[0], nullptr, &rem);
    Limbs x = toLimbs(rem.data() + 1, (size_t)rem[0], k_), r(k_);
    mul(x.data(), r2_.data(), r.data());
    return r;
}

Limbs Ring::enterSmall(uint64_t v) const {
    int64_t d[3] = {(int64_t)(v & (uint64_t)DigitMask), (int64_t)((v >> 31) & (uint64_t)DigitMask),
                    (int64_t)(v >> 62)};
    return enter(d, 3);
}

Limbs Ring::leave(const uint64_t* a) const {
    Limbs unit(k_, 0), r(k_);
    unit[0] = 1;
    mul(a, unit.data(), r.data());
    return r;
}

Limbs Ring::pow(const Limbs& a, const int64_t* e, size_t ne) const {
    ne = mag::trimmed(e, ne);
    Limbs r = one_;
    if (ne == 0) return r;
    const size_t bits = 31 * (ne - 1) + (size_t)(64 - __builtin_clzll((uint64_t)e[ne - 1]));
    auto bit = [&](size_t i) { return (e[i / 31] >> (i % 31)) & 1; };
    // Sliding windows of up to w bits over 2^(w-1) odd powers of a: w minimises about
    // 2^(w-1) + bits / (w + 1) products.
    const int w = bits > 70000 ? 8 : bits > 12000 ? 7 : bits > 2500 ? 6 : bits > 600 ? 5
                : bits > 160 ? 4 : bits > 24 ? 3 : 1;
    std::vector<Limbs> odd(size_t{1} << (w - 1), Limbs(k_));
    odd[0] = a;
    if (w > 1) {
        Limbs a2(k_);
        sqr(a.data(), a2.data());
        for (size_t i = 1; i < odd.size(); ++i) {
            BigPoll();
            mul(odd[i - 1].data(), a2.data(), odd[i].data());
        }
    }
    bool started = false;
    for (size_t i = bits; i-- > 0;) {
        BigPoll();
        if (!bit(i)) {
            if (started) sqr(r.data(), r.data());
            continue;
        }
        // Longest window ending in a set bit, at most w bits, starting at bit i.
        size_t lo = i + 1 >= (size_t)w ? i + 1 - (size_t)w : 0;
        while (!bit(lo)) ++lo;
        uint64_t val = 0;
        for (size_t j = i + 1; j-- > lo;) val = (val << 1) | (uint64_t)bit(j);
        if (started)
            for (size_t j = lo; j <= i; ++j) {
                sqr(r.data(), r.data());
                BigPoll();
            }
        if (started) mul(r.data(), odd[val >> 1].data(), r.data());
        else { r = odd[val >> 1]; started = true; }
        i = lo;
    }
    return r;
}

}  // namespace mont
