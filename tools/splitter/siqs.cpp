// The self-initialising quadratic sieve (placeholder until the sieve lands).
#include "tools/splitter/siqs.h"

namespace splitter {

std::optional<TBigInt> Siqs(const TBigInt&, Progress&) { return std::nullopt; }

}  // namespace splitter
