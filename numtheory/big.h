// The bridge between TBigInt and the word arithmetic of this module: residues, words,
// fixed-width Montgomery rings built from a TBigInt modulus, and integer roots.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bigint/bigint.h"
#include "numtheory/digits.h"
#include "numtheory/fixed.h"

namespace numtheory {

// |a| mod m for m >= 1.
inline uint64_t BigResidue(const TBigInt& a, uint64_t m) {
    return DigitsResidue(a.Digits.data() + 1, (size_t)a.Digits[0], m);
}
// Magnitude of a as 64-bit words, least significant first (at least one word, no leading
// zero word beyond the first).
std::vector<uint64_t> BigToWords(const TBigInt& a);
// The non-negative TBigInt of n words.
TBigInt BigFromWords(const uint64_t* w, size_t n);
TBigInt BigFromU128(u128 v);
// Number of significant bits of |a| (0 for zero).
size_t BigBitLength(const TBigInt& a);

// floor(|n|^(1/k)) for k >= 1, any k: 1 as soon as 2^k exceeds |n| >= 1. Machine words
// below 2^64; above, Newton's iteration from a power of two above the root.
TBigInt BigIntegerRoot(const TBigInt& n, uint64_t k);

// MontK<K> for the modulus n (odd, at least 3, at most K words), with the conversions
// between its residues and TBigInt values.
template <int K>
class BigMont : public MontK<K> {
public:
    using V = typename MontK<K>::V;

    explicit BigMont(const TBigInt& n) : MontK<K>(words(n)), bigModulus_(n) {}

    const TBigInt& bigModulus() const { return bigModulus_; }
    // The plain residue of a (reduced modulo n), and back to a TBigInt.
    V fromBig(const TBigInt& a) const {
        TBigInt r;
        BigMod(a, bigModulus_, r);
        return words(r);
    }
    TBigInt toBig(const V& plain) const { return BigFromWords(plain.data(), K); }
    // Into Montgomery form from any TBigInt, and out of it to a TBigInt.
    V enterBig(const TBigInt& a) const { return this->enter(fromBig(a)); }
    TBigInt leaveBig(const V& m) const { return toBig(this->leave(m)); }

private:
    static V words(const TBigInt& a) {
        V v{};
        DigitsToWords(a.Digits.data() + 1, (size_t)a.Digits[0], v.data(), K);
        return v;
    }
    TBigInt bigModulus_;
};

}  // namespace numtheory
