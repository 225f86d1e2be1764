// Sieves of Eratosthenes behind the small prime tables.
#include "tools/splitter/primes.h"

#include <algorithm>
#include <mutex>

namespace splitter {

namespace {

std::vector<uint8_t> sieveOdd(uint64_t limit) {
    std::vector<uint8_t> f(limit / 2 + 1, 1);
    f[0] = 0;  // 1
    for (uint64_t p = 3; p * p <= limit; p += 2)
        if (f[p / 2])
            for (uint64_t m = p * p; m <= limit; m += 2 * p) f[m / 2] = 0;
    return f;
}

}  // namespace

const std::vector<uint32_t>& SmallPrimes() {
    static const std::vector<uint32_t> primes = [] {
        std::vector<uint8_t> f = sieveOdd(65535);
        std::vector<uint32_t> p{2};
        for (uint32_t i = 1; i < f.size(); ++i)
            if (f[i]) p.push_back(2 * i + 1);
        return p;
    }();
    return primes;
}

std::shared_ptr<const std::vector<uint8_t>> OddPrimeFlags(uint64_t limit) {
    static std::mutex mutex;
    static std::shared_ptr<const std::vector<uint8_t>> table;
    limit = std::min<uint64_t>(std::max<uint64_t>(limit, 1 << 20), 1 << 25);
    std::lock_guard lock(mutex);
    if (!table || table->size() * 2 - 1 < limit)
        table = std::make_shared<const std::vector<uint8_t>>(sieveOdd(limit));
    return table;
}

}  // namespace splitter
