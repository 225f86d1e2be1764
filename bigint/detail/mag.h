// Magnitude kernels on radix-2^31 digit runs: the fast paths behind the public operations.
// A Num is laid out like TBigInt::Digits (element 0 = count) so results move into a TBigInt
// without copying.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bigint/types.h"

namespace mag {

// 128-bit intermediates for the few places where two 62-bit terms meet.
__extension__ typedef __int128 i128;
__extension__ typedef unsigned __int128 u128;

using Num = std::vector<int64_t>;

inline const int64_t* dig(const TBigInt& x) { return x.Digits.data() + 1; }
inline size_t len(const TBigInt& x) { return (size_t)x.Digits[0]; }
inline bool isZero(const TBigInt& x) { return x.Digits[0] == 1 && x.Digits[1] == 0; }

// A Num with n zero digits.
inline Num make(size_t n) { Num r(n + 1, 0); r[0] = (int64_t)n; return r; }
// Drops leading zero digits (keeping one) and stores the count.
void trim(Num& r);
// Moves a Num into x after trimming.
void put(TBigInt& x, Num&& r, uint8_t sign);

size_t trimmed(const int64_t* a, size_t n);
// -1, 0 or 1 for trimmed runs.
int cmp(const int64_t* a, size_t na, const int64_t* b, size_t nb);

// out[0 .. na+nb) = a * b; out must not overlap the operands.
void mul(const int64_t* a, size_t na, const int64_t* b, size_t nb, int64_t* out);
// out[0 .. 2n) = a^2
void sqr(const int64_t* a, size_t n, int64_t* out);
Num mul(const int64_t* a, size_t na, const int64_t* b, size_t nb);
Num sqr(const int64_t* a, size_t n);
// x = a * b (a^2) with the given sign, in x's own storage unless an operand lies in it.
void mulInto(TBigInt& x, const int64_t* a, size_t na, const int64_t* b, size_t nb, uint8_t sign);
void sqrInto(TBigInt& x, const int64_t* a, size_t n);

Num add(const int64_t* a, size_t na, const int64_t* b, size_t nb);
// a - b for a >= b.
Num sub(const int64_t* a, size_t na, const int64_t* b, size_t nb);

// Quotient and remainder of magnitudes; b trimmed and non-zero. Either output may be null.
void divmod(const int64_t* a, size_t na, const int64_t* b, size_t nb, Num* q, Num* r);

// gcd of magnitudes (both non-zero, trimmed).
Num gcd(const int64_t* a, size_t na, const int64_t* b, size_t nb);

std::string toDecimal(const int64_t* a, size_t n);

}  // namespace mag
