// Montgomery arithmetic on 64-bit limbs (CIOS multiplication, fixed-window powers).
#include "bigint/detail/mont.h"
#include "bigint/poll.h"

#include <algorithm>

#include "numtheory/digits.h"
#include "numtheory/word.h"

namespace mont {

using u128 = mag::u128;

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
    ninv_ = 0 - numtheory::InverseMod2to64(n_[0]);
    t_.assign(k_ + 2, 0);
    w_.assign(2 * k_ + 1, 0);
    // R^2 mod n by one long division.
    mag::Num big = mag::make(64 * 2 * k_ / 31 + 1);
    big[big.size() - 1] = int64_t{1} << ((128 * k_) % 31);
    mag::Num rem;
    mag::divmod(big.data() + 1, (size_t)big[0], n, nn, nullptr, &rem);
    r2_ = toLimbs(rem.data() + 1, (size_t)rem[0], k_);
    one_ = enterSmall(1);
    Limbs zero(k_, 0);
    minusOne_.assign(k_, 0);
    sub(zero.data(), one_.data(), minusOne_.data());
}

void Ring::mul(const uint64_t* a, const uint64_t* b, uint64_t* r) const {
    const size_t k = k_;
    uint64_t* t = t_.data();
    std::fill(t, t + k + 2, 0);
    for (size_t i = 0; i < k; ++i) {
        uint64_t c = 0;
        const uint64_t bi = b[i];
        for (size_t j = 0; j < k; ++j) {
            u128 p = (u128)a[j] * bi + t[j] + c;
            t[j] = (uint64_t)p;
            c = (uint64_t)(p >> 64);
        }
        u128 s = (u128)t[k] + c;
        t[k] = (uint64_t)s;
        t[k + 1] = (uint64_t)(s >> 64);
        const uint64_t m = t[0] * ninv_;
        u128 p = (u128)m * n_[0] + t[0];
        c = (uint64_t)(p >> 64);
        for (size_t j = 1; j < k; ++j) {
            p = (u128)m * n_[j] + t[j] + c;
            t[j - 1] = (uint64_t)p;
            c = (uint64_t)(p >> 64);
        }
        s = (u128)t[k] + c;
        t[k - 1] = (uint64_t)s;
        t[k] = t[k + 1] + (uint64_t)(s >> 64);
    }
    finish(t, t[k], r);   // t < 2n: subtract n once when t >= n
}

void Ring::finish(uint64_t* t, uint64_t top, uint64_t* r) const {
    const size_t k = k_;
    bool ge = top != 0;
    if (!ge) {
        ge = true;
        for (size_t j = k; j-- > 0;)
            if (t[j] != n_[j]) { ge = t[j] > n_[j]; break; }
    }
    if (ge) {
        uint64_t borrow = 0;
        for (size_t j = 0; j < k; ++j) {
            u128 d = (u128)t[j] - n_[j] - borrow;
            r[j] = (uint64_t)d;
            borrow = (uint64_t)(d >> 64) & 1;
        }
    } else {
        std::copy(t, t + k, r);
    }
}

void Ring::sqr(const uint64_t* a, uint64_t* r) const {
    const size_t k = k_;
    uint64_t* w = w_.data();
    std::fill(w, w + 2 * k + 1, 0);
    for (size_t i = 0; i + 1 < k; ++i) {
        uint64_t c = 0;
        const uint64_t ai = a[i];
        for (size_t j = i + 1; j < k; ++j) {
            u128 p = (u128)ai * a[j] + w[i + j] + c;
            w[i + j] = (uint64_t)p;
            c = (uint64_t)(p >> 64);
        }
        w[i + k] = c;
    }
    uint64_t c = 0;
    for (size_t i = 0; i < k; ++i) {
        u128 sq = (u128)a[i] * a[i];
        uint64_t lo = w[2 * i], hi = w[2 * i + 1];
        u128 s0 = (u128)(lo << 1) + (uint64_t)sq + c;
        w[2 * i] = (uint64_t)s0;
        u128 s1 = (u128)((hi << 1) | (lo >> 63)) + (uint64_t)(sq >> 64) + (uint64_t)(s0 >> 64);
        w[2 * i + 1] = (uint64_t)s1;
        c = (uint64_t)(s1 >> 64) + (hi >> 63);
    }
    // Montgomery reduction of the 2k-limb square.
    uint64_t extra = 0;
    for (size_t i = 0; i < k; ++i) {
        const uint64_t m = w[i] * ninv_;
        uint64_t cc = 0;
        for (size_t j = 0; j < k; ++j) {
            u128 p = (u128)m * n_[j] + w[i + j] + cc;
            w[i + j] = (uint64_t)p;
            cc = (uint64_t)(p >> 64);
        }
        u128 s = (u128)w[i + k] + cc + extra;
        w[i + k] = (uint64_t)s;
        extra = (uint64_t)(s >> 64);
    }
    finish(w + k, extra, r);
}

void Ring::add(const uint64_t* a, const uint64_t* b, uint64_t* r) const {
    const size_t k = k_;
    uint64_t carry = 0;
    for (size_t j = 0; j < k; ++j) {
        u128 s = (u128)a[j] + b[j] + carry;
        t_[j] = (uint64_t)s;
        carry = (uint64_t)(s >> 64);
    }
    bool ge = carry != 0;
    if (!ge) {
        ge = true;
        for (size_t j = k; j-- > 0;)
            if (t_[j] != n_[j]) { ge = t_[j] > n_[j]; break; }
    }
    uint64_t borrow = 0;
    for (size_t j = 0; j < k; ++j) {
        if (ge) {
            u128 d = (u128)t_[j] - n_[j] - borrow;
            r[j] = (uint64_t)d;
            borrow = (uint64_t)(d >> 64) & 1;
        } else {
            r[j] = t_[j];
        }
    }
}

void Ring::sub(const uint64_t* a, const uint64_t* b, uint64_t* r) const {
    const size_t k = k_;
    uint64_t borrow = 0;
    for (size_t j = 0; j < k; ++j) {
        u128 d = (u128)a[j] - b[j] - borrow;
        r[j] = (uint64_t)d;
        borrow = (uint64_t)(d >> 64) & 1;
    }
    if (borrow) {
        uint64_t carry = 0;
        for (size_t j = 0; j < k; ++j) {
            u128 s = (u128)r[j] + n_[j] + carry;
            r[j] = (uint64_t)s;
            carry = (uint64_t)(s >> 64);
        }
    }
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
    // Fixed window of w bits: 2^(w-1) odd powers of a.
    const int w = bits > 600 ? 5 : bits > 160 ? 4 : bits > 24 ? 3 : 1;
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
