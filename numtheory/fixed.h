// Fixed-width Montgomery arithmetic on K 64-bit words for the factor finders and the modulo
// engine: every product is a short unrolled loop instead of a general big-integer call.
// Residues are plain arrays of words, least significant first.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "numtheory/word.h"

namespace numtheory {

// Arithmetic modulo an odd n >= 3 of at most K words, R = 2^(64 K).
template <int K>
class MontK {
public:
    using V = std::array<uint64_t, K>;

    explicit MontK(const V& n) : n_(n), ninv_(0 - InverseMod2to64(n[0])) {
        // R mod n and R^2 mod n by doublings from 1: 128 K modular additions, once.
        V x{};
        x[0] = 1;
        for (int i = 0; i < 64 * K; ++i) x = add(x, x);
        one_ = x;
        for (int i = 0; i < 64 * K; ++i) x = add(x, x);
        r2_ = x;
    }

    const V& modulus() const { return n_; }
    // 1 in Montgomery form.
    const V& one() const { return one_; }

    // Into Montgomery form from a plain residue below n, and back.
    V enter(const V& plain) const { return mul(plain, r2_); }
    V leave(const V& m) const {
        V unit{};
        unit[0] = 1;
        return mul(m, unit);
    }

    // a b / R mod n (CIOS: K rounds of a row product and one word of reduction); inputs
    // below n, output below n. About 2 K^2 word products. Forced inline: as a call it costs
    // a fifth of a rho or ECM step.
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
            const u128 s = (u128)a[j] + b[j] + carry;
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
    // A value whose gcd with n equals gcd(a - b, n).
    [[gnu::always_inline]] V diff(const V& a, const V& b) const { return sub(a, b); }
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
            const u128 d = (u128)a[j] - b[j] - borrow;
            a[j] = (uint64_t)d;
            borrow = (uint64_t)(d >> 64) & 1;
        }
        return borrow != 0;
    }
    static void addInPlace(V& a, const V& b) {
        uint64_t carry = 0;
        for (int j = 0; j < K; ++j) {
            const u128 s = (u128)a[j] + b[j] + carry;
            a[j] = (uint64_t)s;
            carry = (uint64_t)(s >> 64);
        }
    }

    V n_{}, one_{}, r2_{};
    uint64_t ninv_ = 0;
};

// One word: the arithmetic of Mont64 on one-element arrays.
template <>
class MontK<1> {
public:
    using V = std::array<uint64_t, 1>;

    explicit MontK(const V& n) : m_(n[0]), n_(n), one_{m_.one()} {}
    const V& modulus() const { return n_; }
    const V& one() const { return one_; }
    V enter(const V& plain) const { return {m_.enter(plain[0])}; }
    V leave(const V& a) const { return {m_.leave(a[0])}; }
    [[gnu::always_inline]] V mul(const V& a, const V& b) const { return {m_.mul(a[0], b[0])}; }
    [[gnu::always_inline]] V sqr(const V& a) const { return {m_.sqr(a[0])}; }
    [[gnu::always_inline]] V add(const V& a, const V& b) const { return {m_.add(a[0], b[0])}; }
    [[gnu::always_inline]] V sub(const V& a, const V& b) const { return {m_.sub(a[0], b[0])}; }
    [[gnu::always_inline]] V diff(const V& a, const V& b) const { return sub(a, b); }
    static bool isZero(const V& a) { return a[0] == 0; }

private:
    Mont64 m_;
    V n_, one_;
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

}  // namespace numtheory
