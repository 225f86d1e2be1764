// Exact powers and Montgomery modular powers.
#pragma once

#include "bigint/types.h"

// The longest result BigPower builds: 2^28 bits, about 80.8 million decimal digits. The last
// squaring up to it peaks at about 2 GB (3^169363916 takes 2.05 GB and 15 to 35 s); each
// doubling of the limit doubles the memory, and 2^30 bits would need over 8 GB.
inline constexpr uint64_t BigPowerMaxBits = uint64_t{1} << 28;

// C = A^|E|; A^0 = 1, also for A = 0. Throws BigError "Power too large", before any work,
// when the result would have more than BigPowerMaxBits bits (|A| <= 1 never does).
void BigPower(const TBigInt& A, const TBigInt& E, TBigInt& C);
// C = A^|E| mod N for an odd N >= 3; throws BigError for any other modulus.
void BigMontPowMod(const TBigInt& A, const TBigInt& E, const TBigInt& N, TBigInt& C);
