// The self-initialising quadratic sieve with one large prime, for odd composites of about
// 20 to 60 digits that are no perfect powers and have no factor below 2^16.
#pragma once

#include <optional>

#include "bigint/bigint.h"
#include "core/progress.h"

namespace splitter {

// A divisor of N strictly between 1 and N, or nothing when N is out of the sieve's range or
// every dependency gave a trivial one. Progress: "Sieve: relations found X of Y".
std::optional<TBigInt> Siqs(const TBigInt& N, Progress& progress);

}  // namespace splitter
