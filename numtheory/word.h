// Number theory on single 64-bit words: Montgomery arithmetic, inverses, gcd, roots.
// The hot pieces are inline; every engine and the big-integer library take them from here.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace numtheory {

__extension__ typedef unsigned __int128 u128;   // a GCC/Clang extension, hence the marker
__extension__ typedef __int128 i128;

// x^-1 modulo 2^64 for odd x. (3x) xor 2 is right in the low five bits; each Newton step
// x (2 - a x) doubles them: 5, 10, 20, 40, 80. Four multiplications and subtractions.
constexpr uint64_t InverseMod2to64(uint64_t x) {
    uint64_t inv = (3 * x) ^ 2;
    for (int i = 0; i < 4; ++i) inv *= 2 - x * inv;
    return inv;
}

// (a * b) mod m for m >= 1, by one 128-by-64 division (some 30 to 90 cycles).
// Two factors below 2^32 take one 64-bit division instead.
inline uint64_t MulMod64(uint64_t a, uint64_t b, uint64_t m) {
    if (((a | b) >> 32) == 0) return a * b % m;
    return (uint64_t)((u128)a * b % m);
}

// (a * b + c) mod m for m >= 1, by one 128-by-64 division.
inline uint64_t MulAddMod64(uint64_t a, uint64_t b, uint64_t c, uint64_t m) {
    return (uint64_t)(((u128)a * b + c) % m);
}

// The residue in [0, p) of a signed 128-bit value, p >= 1.
inline uint64_t SignedResidue128(i128 v, uint64_t p) {
    const uint64_t r = (uint64_t)((v < 0 ? -(u128)v : (u128)v) % p);
    return v < 0 && r ? p - r : r;
}

// The value of n words (least significant first) modulo m >= 1: one 128-by-64 division a word.
inline uint64_t WordsResidue(const uint64_t* w, size_t n, uint64_t m) {
    u128 r = 0;
    for (size_t j = n; j-- > 0;) r = ((r << 64) | w[j]) % m;
    return (uint64_t)r;
}

// b^e mod m for m >= 1, by divisions; Mont64 is faster for odd m and long exponents.
inline uint64_t PowMod64(uint64_t b, uint64_t e, uint64_t m) {
    uint64_t r = 1 % m;
    b %= m;
    for (; e; e >>= 1) {
        if (e & 1) r = MulMod64(r, b, m);
        b = MulMod64(b, b, m);
    }
    return r;
}

// gcd(a, b) by the binary method: shifts and subtractions only, about one step per bit.
// gcd(0, b) = b.
inline uint64_t Gcd64(uint64_t a, uint64_t b) {
    if (a == 0) return b;
    if (b == 0) return a;
    const int shift = std::countr_zero(a | b);
    a >>= std::countr_zero(a);
    do {
        b >>= std::countr_zero(b);
        if (a > b) {
            const uint64_t t = a;
            a = b;
            b = t;
        }
        b -= a;
    } while (b);
    return a << shift;
}

// floor(sqrt(n)) for every 64-bit n: a floating-point estimate corrected by a step or two.
uint64_t Isqrt64(uint64_t n);
// floor(n^(1/k)) for k >= 1 and any k: 1 for every k of 64 or more when n >= 1 (0 for n = 0).
// Floating-point estimate, then exact correction with overflow-checked powers.
uint64_t IntegerRoot64(uint64_t n, uint64_t k);

// a^-1 mod m for gcd(a, m) = 1 and 1 <= m < 2^63 (extended Euclid, a few dozen divisions).
uint64_t InverseMod64(uint64_t a, uint64_t m);
// A square root of a modulo an odd prime p when a is a quadratic residue (Tonelli-Shanks,
// a few modular powers); 0 for a = 0 mod p.
uint64_t SqrtModPrime(uint64_t a, uint64_t p);
// The Jacobi symbol (a/n) for odd n >= 1: -1, 0 or 1.
int Jacobi64(uint64_t a, uint64_t n);

// Arithmetic modulo an odd n >= 3 in Montgomery form, R = 2^64: a product is one 64x64->128
// multiplication plus the reduction's two multiplications (about 4 cycles of throughput).
// Residues lie in [0, n).
class Mont64 {
public:
    using V = uint64_t;

    explicit Mont64(uint64_t n)
        : n_(n), inv_(InverseMod2to64(n)), one_((0 - n) % n), r2_((uint64_t)((u128)one_ * one_ % n)) {}

    uint64_t modulus() const { return n_; }
    // 1 and -1 in Montgomery form.
    uint64_t one() const { return one_; }
    uint64_t minusOne() const { return n_ - one_; }

    // t R^-1 mod n for t < n 2^64, written as a difference of high words so that nothing
    // overflows 128 bits even for n close to 2^64.
    uint64_t reduce(u128 t) const {
        const uint64_t m = (uint64_t)t * inv_;
        const uint64_t hi = (uint64_t)(t >> 64), mh = (uint64_t)(((u128)m * n_) >> 64);
        return hi >= mh ? hi - mh : hi - mh + n_;
    }
    // a b R^-1 mod n; a b must be below n 2^64 (for n < 2^62 inputs up to 2n are allowed).
    uint64_t mul(uint64_t a, uint64_t b) const { return reduce((u128)a * b); }
    uint64_t sqr(uint64_t a) const { return reduce((u128)a * a); }
    uint64_t add(uint64_t a, uint64_t b) const {
        const uint64_t s = a + b;
        return (s < a || s >= n_) ? s - n_ : s;
    }
    uint64_t sub(uint64_t a, uint64_t b) const { return a >= b ? a - b : a - b + n_; }
    // A value whose gcd with n equals gcd(a - b, n): here |a - b|, which also serves residues
    // kept lazily below 2n.
    uint64_t diff(uint64_t a, uint64_t b) const { return a > b ? a - b : b - a; }

    // Into Montgomery form from any value, and back to a plain residue.
    uint64_t enter(uint64_t a) const { return mul(a % n_, r2_); }
    uint64_t leave(uint64_t a) const { return reduce(a); }

    // base^e with base in Montgomery form, right to left: about 2 log2(e) products.
    uint64_t pow(uint64_t base, uint64_t e) const {
        uint64_t r = one_;
        for (; e; e >>= 1) {
            if (e & 1) r = mul(r, base);
            base = sqr(base);
        }
        return r;
    }

private:
    uint64_t n_, inv_, one_, r2_;
};

}  // namespace numtheory
