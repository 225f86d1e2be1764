// Montgomery arithmetic on 64-bit limbs: the fast engine behind modular powers and the
// primality tests. Results are plain residues, identical to any other way of computing them.
#pragma once

#include <cstdint>
#include <vector>

#include "bigint/detail/mag.h"

namespace mont {

using Limbs = std::vector<uint64_t>;

// Repacks radix-2^31 digits into k 64-bit limbs (zero-padded) and back.
Limbs toLimbs(const int64_t* d, size_t n, size_t k);
mag::Num fromLimbs(const uint64_t* x, size_t k);

// Arithmetic modulo an odd n >= 3 with R = 2^(64k).
class Ring {
public:
    Ring(const int64_t* n, size_t nn);
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
    Limbs n_, one_, minusOne_, r2_;
    mag::Num digits_;   // the modulus in radix 2^31, for reducing values on entry
    uint64_t ninv_;   // -n^-1 mod 2^64
    Limbs nprime_;    // -n^-1 mod R, for the reduction by products
    // From this many limbs on, the reduction by two full products (the transform's, by then)
    // beats k rows of k products: measured on the development machine, rows win up to about
    // 7500 decimal digits (390 limbs).
    static constexpr size_t kProductReduction = 400;
    void reduce(uint64_t* t, uint64_t* r) const;
    void finish(uint64_t* t, uint64_t top, uint64_t* r) const;
    mutable std::vector<uint64_t> t_, w_;
};

}  // namespace mont
