// Division by a fixed large divisor through its reciprocal (Newton), for the fast decimal
// conversion. Exact results: every estimate is corrected against the true remainder.
#pragma once

#include "bigint/detail/mag.h"

namespace recip {

// floor(B^(2n) / d) with B = 2^31 and n = digit count of d.
mag::Num reciprocal(const mag::Num& d);

// q = x div d, r = x mod d for x < B^(2n), given inv = reciprocal(d).
void divide(const mag::Num& x, const mag::Num& d, const mag::Num& inv, mag::Num& q, mag::Num& r);

}  // namespace recip
