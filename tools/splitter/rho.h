// Pollard rho: the classic run on TBigInt values, the same run on fixed-width residues, and
// Brent's variant for the stronger stage.
#pragma once

#include <cstdint>
#include <optional>

#include "bigint/bigint.h"
#include "core/progress.h"

namespace splitter {

// X := (X^2 + C) mod N, the least non-negative remainder.
void RhoStep(TBigInt& X, const TBigInt& C, const TBigInt& N);

// One rho run on N > 1 with x -> x^2 + C started at X0 (Floyd's cycle detection, the running
// product of differences, a gcd after iterations 1, 3, 5, ...). Returns the first gcd other
// than 1 (N itself when the run failed), or nothing when `budget` iterations found none.
// Polls progress every few thousand iterations.
std::optional<TBigInt> RhoRunReference(const TBigInt& N, const TBigInt& C, const TBigInt& X0,
                                       uint64_t budget, Progress& progress);
// The same result for an odd N >= 3, computed on fixed-width Montgomery residues with the
// gcd batched over 64 iterations (a batch that shows a divisor is replayed with a gcd after
// every odd iteration, so the answer is the reference's exactly).
std::optional<TBigInt> RhoRunFast(const TBigInt& N, const TBigInt& C, const TBigInt& X0,
                                  uint64_t budget, Progress& progress);

// Brent's rho on an odd composite N with x -> x^2 + c from x0, at most `budget` iterations.
// Returns a divisor strictly between 1 and N, or nothing.
std::optional<TBigInt> BrentRho(const TBigInt& N, uint64_t c, uint64_t x0, uint64_t budget,
                                Progress& progress);

}  // namespace splitter
