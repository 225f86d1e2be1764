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

// Two digits make a 62-bit pair; the pairs are laid end to end in a register and written out
// a word at a time (no word is read back, so the stores never wait on each other).
void DigitsToWords(const int64_t* d, size_t n, uint64_t* w, size_t k) {
    uint64_t acc = 0;
    unsigned bits = 0;   // bits pending in acc, below 64
    size_t at = 0;
    auto put = [&](uint64_t v, unsigned width) {
        acc |= v << bits;
        if (bits + width >= 64) {
            if (at < k) w[at] = acc;
            ++at;
            acc = (v >> 1) >> (63 - bits);   // v >> (64 - bits), and 0 for bits = 0
            bits = bits + width - 64;
        } else {
            bits += width;
        }
    };
    n = n < DigitCountForWords(k) ? n : DigitCountForWords(k);
    size_t i = 0;
    for (; i + 1 < n; i += 2) put((uint64_t)d[i] | (uint64_t)d[i + 1] << 31, 62);
    if (i < n) put((uint64_t)d[i], 31);
    if (at < k) w[at++] = acc;
    for (; at < k; ++at) w[at] = 0;
}

void WordsToDigits(const uint64_t* w, size_t k, int64_t* d) { WordsToDigits(w, k, d, DigitCountForWords(k)); }

void WordsToDigits(const uint64_t* w, size_t k, int64_t* d, size_t count) {
    // Pairs of digits (62 bits) wholly inside the words first, with no bounds checks; the rest
    // one digit at a time.
    const size_t inner = k > 0 ? (64 * (k - 1)) / 62 : 0;
    const size_t pairs = count / 2 < inner ? count / 2 : inner;
    for (size_t j = 0; j < pairs; ++j) {
        const size_t bit = 62 * j, at = bit / 64;
        const unsigned off = (unsigned)(bit % 64);
        // (w[at+1] << 1) << (63 - off) is w[at+1] << (64 - off), and 0 for off = 0.
        const uint64_t v = (w[at] >> off) | ((w[at + 1] << 1) << (63 - off));
        d[2 * j] = (int64_t)(v & 0x7fffffffu);
        d[2 * j + 1] = (int64_t)((v >> 31) & 0x7fffffffu);
    }
    for (size_t i = 2 * pairs; i < count; ++i) {
        const size_t bit = 31 * i, at = bit / 64, off = bit % 64;
        uint64_t v = at < k ? w[at] >> off : 0;
        if (off > 33 && at + 1 < k) v |= w[at + 1] << (64 - off);
        d[i] = (int64_t)(v & 0x7fffffffu);
    }
}

}  // namespace numtheory
