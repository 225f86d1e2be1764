// Montgomery arithmetic on 64-bit limbs: the fast engine behind modular powers and the
// primality tests. Results are plain residues, identical to any other way of computing them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "bigint/detail/limbs.h"
#include "bigint/detail/mag.h"

namespace bigfft {
class WrappedFactor;
}

namespace mont {

using Limbs = std::vector<uint64_t>;

// Repacks radix-2^31 digits into k 64-bit limbs (zero-padded) and back.
Limbs toLimbs(const int64_t* d, size_t n, size_t k);
mag::Num fromLimbs(const uint64_t* x, size_t k);

// Arithmetic modulo an odd n >= 3 with R = 2^(64K), K >= k the limbs of n (K = k for the
// reduction by rows; for the reduction by products, the K that suits the transform).
class Ring {
public:
    Ring(const int64_t* n, size_t nn);
    ~Ring();
    size_t size() const { return k_; }
    // r = a*b/R mod n; r may alias a or b.
    void mul(const uint64_t* a, const uint64_t* b, uint64_t* r) const;
    // r = a^2/R mod n: a square (the cross products once), then one reduction.
    void sqr(const uint64_t* a, uint64_t* r) const;
    void add(const uint64_t* a, const uint64_t* b, uint64_t* r) const;
    void sub(const uint64_t* a, const uint64_t* b, uint64_t* r) const;
    bool equal(const uint64_t* a, const uint64_t* b) const;
    // Montgomery form of a value given as digits (any size; reduced modulo n first).
    Limbs enter(const int64_t* d, size_t n) const;
    Limbs enterSmall(uint64_t v) const;
    // Back to a plain residue.
    Limbs leave(const uint64_t* a) const;
    const Limbs& one() const { return one_; }
    const Limbs& minusOne() const { return minusOne_; }
    // r = a^e in Montgomery form, e given as digits (sign ignored).
    Limbs pow(const Limbs& a, const int64_t* e, size_t ne) const;

private:
    size_t k_;
    size_t rk_;       // K, the limbs of R
    Limbs n_, one_, minusOne_, r2_;
    mag::Num digits_;   // the modulus in radix 2^31, for reducing values on entry
    uint64_t ninv_;   // -n^-1 mod 2^64
    Limbs nprime_;    // -n^-1 mod R, for the reduction by products
    // The reduction by products: m = (t mod R) n' mod R from a wrapped product modulo
    // 2^(2 64K) + 1 (exact, as t n' < R^2), then the high half of m n from a wrapped product
    // modulo R + 1, half as long, since its low half is known: t + m n = 0 mod R. Both n' and
    // n are transformed once, with the ring.
    std::unique_ptr<bigfft::WrappedFactor> nprimeWrapped_, nWrapped_;
    void reduce(uint64_t* t, uint64_t* r) const;
    void reduceByProducts(const uint64_t* t, uint64_t* r) const;
    void finish(uint64_t* t, uint64_t top, uint64_t* r) const;
    mutable std::vector<uint64_t> t_, w_;
    // Straight-line kernels for short moduli, null otherwise.
    limbs::FixedMul fixedMul_ = nullptr;
    limbs::FixedSqr fixedSqr_ = nullptr;
    limbs::FixedRedc fixedRedc_ = nullptr;
};

}  // namespace mont
