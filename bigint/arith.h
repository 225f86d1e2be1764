// Signed sum, difference, product and square, and the in-place helpers on magnitudes.
#pragma once

#include "bigint/types.h"

void BigAdd(const TBigInt& A, const TBigInt& B, TBigInt& C);
void BigSub(const TBigInt& A, const TBigInt& B, TBigInt& C);
void BigMul(const TBigInt& A, const TBigInt& B, TBigInt& C);
void BigSquare(const TBigInt& A, TBigInt& C);

// |A| := |A| * f for 1 <= f < 2^31; the sign is kept.
void BigMulSmall(TBigInt& A, int64_t f);
// |A| := |A| - |B|; requires |A| >= |B|; the sign of A is kept.
void BigSubAbs(TBigInt& A, const TBigInt& B);
void BigShiftLeftDigit(TBigInt& A);
void BigShiftRightDigit(TBigInt& A);
void BigShiftRightBit(TBigInt& A);
