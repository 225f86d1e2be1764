// Mersenne ("M" p +/- d) and Fermat ("F" n +/- d) expression forms of integers.
#pragma once

#include <string>
#include <string_view>

#include "bigint/types.h"

// C := the largest c with |B|^c <= |A| (0 when |A| < |B|), whatever the signs; |B| must be
// at least 2 (BigError otherwise). Near-linear: about the cost of a few products of |A|'s size.
void BigLog(const TBigInt& A, const TBigInt& B, TBigInt& C);
std::string BigToMersenne(const TBigInt& A);
std::string BigToFermat(const TBigInt& A);
// Reads "M" p with optional "+" d and "-" d (anywhere in the text); p above 99999 or no
// letter reads as 0. An empty digit run raises the conversion error.
void BigFromMersenne(std::string_view text, TBigInt& A);
// Likewise for "F" n, with n at most 20.
void BigFromFermat(std::string_view text, TBigInt& A);
