// Exact primality and complete factorization of unsigned 64-bit integers.
#pragma once

#include <cstdint>
#include <vector>

namespace numtheory {

// Exact primality of n: trial division by the primes below 64, then MillerRabin64.
// 0 and 1 are not prime. About a microsecond for a 64-bit prime.
bool IsPrime64(uint64_t n);

// Strong probable-prime test of an odd n that has no prime factor below 64 (n > 61 or a
// prime below 64): exact for every such n. Below 4759123141 the bases 2, 7 and 61; above,
// the seven bases of Jim Sinclair's set, which no composite below 2^64 passes. Base 2 runs
// alone first, since it alone turns away nearly every composite; the other bases share the
// exponent and run in lockstep, their independent chains of products keeping the
// multiplier busy where one chain would wait on each product.
bool MillerRabin64(uint64_t n);

// The prime factors of n in increasing order, each repeated by its multiplicity
// (Factor64(12) = {2, 2, 3}); empty for 0 and 1. Trial division by the primes below 1000,
// then Brent's rho on what remains: tens of microseconds typically, well under a
// millisecond for a product of two 32-bit primes.
std::vector<uint64_t> Factor64(uint64_t n);

}  // namespace numtheory
