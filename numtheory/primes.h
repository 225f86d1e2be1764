// The program's one source of small primes: a table built at compile time, and sieves of
// Eratosthenes for the larger ranges, each built once and shared.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace numtheory {

// The 6542 primes below 2^16, ascending, 2 first. A constant table: no cost at run time.
std::span<const uint32_t> SmallPrimes();

// The odd primes 3 ... limit, ascending, for limit up to 2^26. The first call with a larger
// limit than before sieves again (about 5 ms for 2^22); the spans handed out stay valid.
std::span<const uint32_t> OddPrimesUpTo(uint64_t limit);

// Flags of the odd numbers: (*flags)[i] is 1 when 2i + 1 is prime, for 2i + 1 <= limit
// (limit at most 2^26; the table covers at least 2^20). The table only grows; a copy of the
// pointer stays valid.
std::shared_ptr<const std::vector<uint8_t>> OddPrimeFlags(uint64_t limit);

}  // namespace numtheory
