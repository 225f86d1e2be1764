// The small prime table and the shared sieves.
#include "numtheory/primes.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace numtheory {

namespace {

constexpr uint64_t kMaxSieved = uint64_t{1} << 26;

constexpr auto kSmallPrimes = [] {
    std::array<uint32_t, 6542> table{};
    std::array<bool, 65536> composite{};
    size_t count = 0;
    for (uint32_t n = 2; n < 65536; ++n) {
        if (composite[n]) continue;
        table[count++] = n;
        for (uint32_t m = n * n; n < 256 && m < 65536; m += n) composite[m] = true;
    }
    return table;
}();

// Flags of the odd numbers up to limit: a plain sieve over odd numbers only.
std::vector<uint8_t> sieveOdd(uint64_t limit) {
    std::vector<uint8_t> f(limit / 2 + 1, 1);
    f[0] = 0;   // 1
    for (uint64_t p = 3; p * p <= limit; p += 2)
        if (f[p / 2])
            for (uint64_t m = p * p; m <= limit; m += 2 * p) f[m / 2] = 0;
    return f;
}

std::mutex sieveMutex;

}  // namespace

std::span<const uint32_t> SmallPrimes() { return kSmallPrimes; }

std::shared_ptr<const std::vector<uint8_t>> OddPrimeFlags(uint64_t limit) {
    static std::shared_ptr<const std::vector<uint8_t>> table;
    limit = std::min<uint64_t>(std::max<uint64_t>(limit, 1 << 20), kMaxSieved);
    std::lock_guard lock(sieveMutex);
    if (!table || table->size() * 2 - 1 < limit)
        table = std::make_shared<const std::vector<uint8_t>>(sieveOdd(limit));
    return table;
}

std::span<const uint32_t> OddPrimesUpTo(uint64_t limit) {
    // Every list built is kept, so that a span handed out never dangles; each is at least
    // twice the one before, so all of them together take less than twice the last.
    static std::vector<std::unique_ptr<const std::vector<uint32_t>>> lists;
    static uint64_t covered = 0;
    limit = std::min(limit, kMaxSieved);
    {
        std::lock_guard lock(sieveMutex);
        if (!lists.empty() && limit <= covered) {
            const std::vector<uint32_t>& all = *lists.back();
            const auto end = std::upper_bound(all.begin(), all.end(), (uint32_t)limit);
            return {all.data(), (size_t)(end - all.begin())};
        }
    }
    const uint64_t to = std::min(kMaxSieved, std::max<uint64_t>({limit, 2 * covered, uint64_t{1} << 16}));
    const std::vector<uint8_t> flags = sieveOdd(to);
    auto primes = std::make_unique<std::vector<uint32_t>>();
    for (size_t i = 1; i < flags.size(); ++i)
        if (flags[i] && 2 * i + 1 <= to) primes->push_back((uint32_t)(2 * i + 1));
    std::lock_guard lock(sieveMutex);
    if (to > covered) {
        covered = to;
        lists.push_back(std::move(primes));
    }
    const std::vector<uint32_t>& all = *lists.back();
    const auto end = std::upper_bound(all.begin(), all.end(), (uint32_t)limit);
    return {all.data(), (size_t)(end - all.begin())};
}

}  // namespace numtheory
