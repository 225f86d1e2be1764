// Tables of small primes shared by the factor finders, built once on first use.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace splitter {

// The primes below 2^16, ascending, 2 first.
const std::vector<uint32_t>& SmallPrimes();
// Flags of the odd numbers: (*flags)[i] is 1 when 2i + 1 is prime, for 2i + 1 <= limit
// (limit at most 2^25). The table only grows; a copy of the pointer stays valid.
std::shared_ptr<const std::vector<uint8_t>> OddPrimeFlags(uint64_t limit);

}  // namespace splitter
