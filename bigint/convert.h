// Decimal and binary text conversions, comparison and the small helpers on one value.
#pragma once

#include <string>
#include <string_view>

#include "bigint/types.h"

// Reads decimal text; leading marks other than "-" and digits are skipped. Throws BigError
// "'chunk' is not a valid integer value" for the first bad nine-digit chunk from the right.
void BigFromDecimal(std::string_view text, TBigInt& A);
std::string BigToDecimal(const TBigInt& A);
void BigFromBinary(std::string_view text, TBigInt& A);
std::string BigToBinary(const TBigInt& A);

int BigCompareAbs(const TBigInt& A, const TBigInt& B);
void BigCopy(const TBigInt& A, TBigInt& B);
void BigRelease(TBigInt& A);
bool BigIsOdd(const TBigInt& A);
void BigNegate(TBigInt& A);
void BigAbs(TBigInt& A);
// |A| := |A| div d, returns |A| mod d; 1 <= d <= 2^32.
int64_t BigDivSmall(TBigInt& A, int64_t d);

// Small conveniences used throughout the program (not part of the classic API).
bool BigIsZero(const TBigInt& A);
TBigInt BigFromInt(int64_t v);
