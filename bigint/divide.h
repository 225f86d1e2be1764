// Euclidean division, remainders, modular products, greatest common divisor and inverse.
#pragma once

#include "bigint/types.h"

// A = Q*B + R with 0 <= R < |B|. A zero divisor throws BigError "Division by zero".
void BigDivMod(const TBigInt& A, const TBigInt& B, TBigInt& Q, TBigInt& R);
void BigDivide(const TBigInt& A, const TBigInt& B, TBigInt& Q);
void BigMod(const TBigInt& A, const TBigInt& B, TBigInt& R);
void BigMulMod(const TBigInt& A, const TBigInt& B, const TBigInt& M, TBigInt& C);
void BigSquareMod(const TBigInt& A, const TBigInt& M, TBigInt& C);
void BigGcd(const TBigInt& A, const TBigInt& B, TBigInt& C);
// X = A^-1 mod M in 0..|M|-1, Positive, when gcd(A, M) = 1, for either sign of A and M
// (modulo 1 and -1 it is 0); otherwise, and for M = 0, X is left as it was.
void BigModInverse(const TBigInt& A, const TBigInt& M, TBigInt& X);
