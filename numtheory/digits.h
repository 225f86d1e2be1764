// Operations on raw radix-2^31 digit runs (the layout of a TBigInt's digits without the
// count: d[0] least significant, each digit below 2^31), for code that must not depend on
// the big-integer library itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace numtheory {

// The digits' value modulo m, m >= 1: one 64-bit division per digit while m < 2^33, one
// 128-by-64 division per digit above.
uint64_t DigitsResidue(const int64_t* d, size_t n, uint64_t m);

// The value of the digits when it fits in 64 bits (at most 3 digits, value below 2^64 is
// not checked: the caller knows the size); the low 64 bits in any case.
uint64_t DigitsLow64(const int64_t* d, size_t n);

// The low 64 k bits of the digits as k words, least significant first (zero-padded).
void DigitsToWords(const int64_t* d, size_t n, uint64_t* w, size_t k);
// How many radix-2^31 digits k words fill: ceil(64 k / 31).
constexpr size_t DigitCountForWords(size_t k) { return (64 * k + 30) / 31; }
// The k words as DigitCountForWords(k) digits (leading zero digits left in place).
void WordsToDigits(const uint64_t* w, size_t k, int64_t* d);
// The first count digits of the k words (zero digits past their end).
void WordsToDigits(const uint64_t* w, size_t k, int64_t* d, size_t count);

}  // namespace numtheory
