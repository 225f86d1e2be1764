// Fixed-width Montgomery arithmetic on K 64-bit limbs for the factor finders: the numbers of
// the Splitter fit in three limbs, so every product is a short unrolled loop instead of a
// general big-integer call. Residues are plain arrays; conversions go through TBigInt.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bigint/bigint.h"

namespace splitter {

__extension__ typedef unsigned __int128 u128;
__extension__ typedef __int128 i128;

// Magnitude of a TBigInt as 64-bit words, least significant first (at least one word).
std::vector<uint64_t> ToWords(const TBigInt& a);
// The non-negative TBigInt of n words.
TBigInt FromWords(const uint64_t* w, size_t n);
TBigInt FromU128(u128 v);
// Number of significant bits of |a| (0 for zero).
size_t BitLength(const TBigInt& a);

template <int K>
class Mont {
public:
    using V = std::array<uint64_t, K>;

    // n odd and at least 3.
    explicit Mont(const TBigInt& n) : modulus_(n) {
        std::vector<uint64_t> w = ToWords(n);
        for (int i = 0; i < K; ++i) n_[i] = i < (int)w.size() ? w[i] : 0;
        // -n^-1 mod 2^64 by Newton's iteration: each step doubles the correct low bits.
        uint64_t inv = n_[0];
        for (int i = 0; i < 6; ++i) inv *= 2 - n_[0] * inv;
        ninv_ = ~inv + 1;
        TBigInt r, r2, two = BigFromInt(2), e = BigFromInt(128 * K);
        BigPower(two, e, r);
        BigMod(r, n, r2);
        r2_ = fromBig(r2);
        TBigInt one = BigFromInt(1);
        one_ = toMont(fromBig(one));
    }

    const TBigInt& modulus() const { return modulus_; }
    const V& one() const { return one_; }

    // Plain residue (reduced modulo n) of a TBigInt, without entering Montgomery form.
    V fromBig(const TBigInt& a) const {
        TBigInt r;
        BigMod(a, modulus_, r);
        std::vector<uint64_t> w = ToWords(r);
        V v{};
        for (int i = 0; i < K && i < (int)w.size(); ++i) v[i] = w[i];
        return v;
    }
    TBigInt toBig(const V& plain) const { return FromWords(plain.data(), K); }

    V toMont(const V& plain) const { return mul(plain, r2_); }
    V fromMont(const V& m) const {
        V one{};
        one[0] = 1;
        return mul(m, one);
    }
    V enter(const TBigInt& a) const { return toMont(fromBig(a)); }
    TBigInt leave(const V& m) const { return toBig(fromMont(m)); }

    // a*b/R mod n (CIOS); inputs below n, output below n.
    // Forced inline: as a call it costs a fifth of a rho or ECM step.
    [[gnu::always_inline]] V mul(const V& a, const V& b) const {
        uint64_t t[K + 2] = {};
        for (int i = 0; i < K; ++i) {
            u128 c = 0;
            for (int j = 0; j < K; ++j) {
                c += (u128)a[j] * b[i] + t[j];
                t[j] = (uint64_t)c;
                c >>= 64;
            }
            c += t[K];
            t[K] = (uint64_t)c;
            t[K + 1] = (uint64_t)(c >> 64);
            const uint64_t m = t[0] * ninv_;
            c = (u128)m * n_[0] + t[0];
            c >>= 64;
            for (int j = 1; j < K; ++j) {
                c += (u128)m * n_[j] + t[j];
                t[j - 1] = (uint64_t)c;
                c >>= 64;
            }
            c += t[K];
            t[K - 1] = (uint64_t)c;
            t[K] = t[K + 1] + (uint64_t)(c >> 64);
        }
        V r;
        for (int j = 0; j < K; ++j) r[j] = t[j];
        if (t[K] != 0 || !less(r, n_)) subInPlace(r, n_);
        return r;
    }
    [[gnu::always_inline]] V sqr(const V& a) const { return mul(a, a); }

    [[gnu::always_inline]] V add(const V& a, const V& b) const {
        V r;
        uint64_t carry = 0;
        for (int j = 0; j < K; ++j) {
            u128 s = (u128)a[j] + b[j] + carry;
            r[j] = (uint64_t)s;
            carry = (uint64_t)(s >> 64);
        }
        if (carry || !less(r, n_)) subInPlace(r, n_);
        return r;
    }
    [[gnu::always_inline]] V sub(const V& a, const V& b) const {
        V r = a;
        if (subInPlace(r, b)) addInPlace(r, n_);
        return r;
    }
    static bool isZero(const V& a) {
        for (int j = 0; j < K; ++j)
            if (a[j]) return false;
        return true;
    }

private:
    static bool less(const V& a, const V& b) {
        for (int j = K - 1; j >= 0; --j)
            if (a[j] != b[j]) return a[j] < b[j];
        return false;
    }
    // a -= b; returns the borrow.
    static bool subInPlace(V& a, const V& b) {
        uint64_t borrow = 0;
        for (int j = 0; j < K; ++j) {
            u128 d = (u128)a[j] - b[j] - borrow;
            a[j] = (uint64_t)d;
            borrow = (uint64_t)(d >> 64) & 1;
        }
        return borrow != 0;
    }
    static void addInPlace(V& a, const V& b) {
        uint64_t carry = 0;
        for (int j = 0; j < K; ++j) {
            u128 s = (u128)a[j] + b[j] + carry;
            a[j] = (uint64_t)s;
            carry = (uint64_t)(s >> 64);
        }
    }

    TBigInt modulus_;
    V n_{}, r2_{}, one_{};
    uint64_t ninv_ = 0;
};

// Calls f.template operator()<K>() with the smallest instantiated width K holding `bits`
// bits; false when the number is wider than every width (f is not called).
template <class F>
bool WithWidth(size_t bits, F&& f) {
    const size_t words = (bits + 63) / 64;
    if (words <= 1) { f.template operator()<1>(); return true; }
    if (words <= 2) { f.template operator()<2>(); return true; }
    if (words <= 3) { f.template operator()<3>(); return true; }
    if (words <= 4) { f.template operator()<4>(); return true; }
    if (words <= 6) { f.template operator()<6>(); return true; }
    if (words <= 8) { f.template operator()<8>(); return true; }
    if (words <= 11) { f.template operator()<11>(); return true; }
    return false;
}

}  // namespace splitter
