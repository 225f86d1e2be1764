// Conversions between TBigInt (radix 2^31 digits) and 64-bit words.
#include "tools/splitter/fixed.h"

namespace splitter {

std::vector<uint64_t> ToWords(const TBigInt& a) {
    const size_t n = (size_t)a.Digits[0];
    std::vector<uint64_t> w((n * 31 + 63) / 64 + 1, 0);
    for (size_t i = 0; i < n; ++i) {
        const uint64_t d = (uint64_t)a.Digits[i + 1];
        const size_t bit = i * 31, word = bit / 64, shift = bit % 64;
        w[word] |= d << shift;
        if (shift > 33) w[word + 1] |= d >> (64 - shift);
    }
    while (w.size() > 1 && w.back() == 0) w.pop_back();
    return w;
}

TBigInt FromWords(const uint64_t* w, size_t n) {
    size_t bits = 0;
    for (size_t i = n; i-- > 0;)
        if (w[i]) {
            bits = i * 64 + 64 - (size_t)__builtin_clzll(w[i]);
            break;
        }
    const size_t digits = bits == 0 ? 1 : (bits + 30) / 31;
    TBigInt r;
    r.Sign = Positive;
    r.Digits.assign(digits + 1, 0);
    r.Digits[0] = (int64_t)digits;
    for (size_t i = 0; i < digits; ++i) {
        const size_t bit = i * 31, word = bit / 64, shift = bit % 64;
        uint64_t d = w[word] >> shift;
        if (shift > 33 && word + 1 < n) d |= w[word + 1] << (64 - shift);
        r.Digits[i + 1] = (int64_t)(d & (uint64_t)DigitMask);
    }
    return r;
}

TBigInt FromU128(u128 v) {
    const uint64_t w[2] = {(uint64_t)v, (uint64_t)(v >> 64)};
    return FromWords(w, 2);
}

size_t BitLength(const TBigInt& a) {
    const size_t n = (size_t)a.Digits[0];
    const uint64_t top = (uint64_t)a.Digits[n];
    if (top == 0) return 0;
    return (n - 1) * 31 + 64 - (size_t)__builtin_clzll(top);
}

}  // namespace splitter
