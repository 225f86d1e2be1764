// Residues and repacking of radix-2^31 digit runs.
#include "numtheory/digits.h"

#include "numtheory/word.h"

namespace numtheory {

uint64_t DigitsResidue(const int64_t* d, size_t n, uint64_t m) {
    uint64_t r = 0;
    if (m <= (uint64_t{1} << 33)) {
        // r < 2^33, so r 2^31 + digit stays below 2^64.
        for (size_t i = n; i-- > 0;) r = ((r << 31) | (uint64_t)d[i]) % m;
        return r;
    }
    for (size_t i = n; i-- > 0;) r = (uint64_t)((((u128)r << 31) | (uint64_t)d[i]) % m);
    return r;
}

uint64_t DigitsLow64(const int64_t* d, size_t n) {
    uint64_t w = 0;
    DigitsToWords(d, n, &w, 1);
    return w;
}

void DigitsToWords(const int64_t* d, size_t n, uint64_t* w, size_t k) {
    for (size_t j = 0; j < k; ++j) w[j] = 0;
    for (size_t i = 0; i < n; ++i) {
        const size_t bit = 31 * i, at = bit / 64, off = bit % 64;
        if (at >= k) break;
        w[at] |= (uint64_t)d[i] << off;
        if (off > 33 && at + 1 < k) w[at + 1] |= (uint64_t)d[i] >> (64 - off);
    }
}

void WordsToDigits(const uint64_t* w, size_t k, int64_t* d) {
    const size_t n = DigitCountForWords(k);
    for (size_t i = 0; i < n; ++i) {
        const size_t bit = 31 * i, at = bit / 64, off = bit % 64;
        uint64_t v = w[at] >> off;
        if (off > 33 && at + 1 < k) v |= w[at + 1] << (64 - off);
        d[i] = (int64_t)(v & 0x7fffffffu);
    }
}

}  // namespace numtheory
