// Primality and complete factorization of unsigned 64-bit integers, exact and deterministic.
#pragma once

#include <cstdint>
#include <vector>

// Exact primality of n: trial division by the primes below 64, then Miller-Rabin in
// Montgomery form with seven bases that together leave no strong pseudoprime below 2^64.
// 0 and 1 are not prime. About 1 microsecond for a 64-bit prime.
bool IsPrime64Fast(uint64_t n);

// The prime factors of n in increasing order, each repeated by its multiplicity
// (Factor64(12) = {2, 2, 3}); empty for 0 and 1. Trial division by the primes below 1000,
// then Pollard-Brent rho on what remains: tens of microseconds typically, well under a
// millisecond for a product of two 32-bit primes.
std::vector<uint64_t> Factor64(uint64_t n);
