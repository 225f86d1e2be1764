// The prime verdict, Miller-Rabin, next prime, and the program's pseudo-random source.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "bigint/types.h"

// The 1228 odd primes below 10000, ascending: 3, 5, 7, ..., 9973.
extern const std::array<int32_t, 1228> SmallPrimeBases;

// The one pseudo-random state of the program (thread-safe).
void RandomReseed();
uint32_t RandomBelow(uint32_t n);
// Replaces the clock the source reseeds from: milliseconds since midnight, universal time.
// Tests use it to replay draws; an empty function restores the real clock.
void RandomSetClock(std::function<uint32_t()> millisecondsOfDay);

// Never wrong below 3.3e24 (trial division, then Miller-Rabin with the primes 2..41); above,
// Baillie-PSW (strong base 2 plus strong Lucas) followed by four random-base iterations.
// Judges the magnitude: 1 is not prime, 2 is.
bool BigIsPrime(const TBigInt& N);
// Miller-Rabin with bases drawn from SmallPrimeBases, for an odd N >= 3.
bool BigRabinMiller(const TBigInt& N, int32_t iterations);
// N := the first prime at or above N (above it when N is even); 2 for N below 2.
void BigNextPrime(TBigInt& N);
// C := a pseudo-random value in 0 .. |M|-1.
void BigRandom(const TBigInt& M, TBigInt& C);

// Building blocks of the verdict, exposed for tests: for an odd N >= 3.
bool BigStrongProbablePrime(const TBigInt& N, uint32_t base);
bool BigStrongLucas(const TBigInt& N);
