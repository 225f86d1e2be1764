// The signed big integer record shared by every number routine, and its error type.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/failure.h"

// Digits[0] is the digit count n; Digits[1..n] are radix-2^31 digits, least significant first.
// Normal form: n >= 1 and Digits[n] != 0 unless n == 1. A zero may carry the Negative sign and
// then prints as "-0": the sign of zero is part of the observable result of several operations.
struct TBigInt {
    uint8_t Sign = 1;
    std::vector<int64_t> Digits;
};

inline constexpr uint8_t Positive = 1;
inline constexpr uint8_t Negative = 0;
inline constexpr int64_t DigitBase = int64_t{1} << 31;
inline constexpr int64_t DigitMask = DigitBase - 1;

// Results of BigCompareAbs; callers test the numbers.
enum CompareResult : int { cmpGreater = 0, cmpLess = 1, cmpEqual = 2 };

// Every failure of the number routines: what() is the message the user sees.
class BigError : public Failure {
public:
    using Failure::Failure;
};
