// Signed sum, difference, product and square, and the in-place helpers on magnitudes.
#include "bigint/arith.h"

#include "bigint/detail/mag.h"

namespace {

// Sum of A and a B whose sign byte is taken as signB. Operands of different sign give the
// sign of the larger magnitude, and of A when the magnitudes are equal, so 5 + (-5) is "0"
// and (-5) + 5 is "-0".
void addSigned(const TBigInt& A, const TBigInt& B, uint8_t signB, TBigInt& C) {
    const int64_t *a = mag::dig(A), *b = mag::dig(B);
    const size_t na = mag::len(A), nb = mag::len(B);
    if (A.Sign == signB) {
        mag::put(C, mag::add(a, na, b, nb), A.Sign);
        return;
    }
    if (mag::cmp(a, na, b, nb) >= 0)
        mag::put(C, mag::sub(a, na, b, nb), A.Sign);
    else
        mag::put(C, mag::sub(b, nb, a, na), signB);
}

}  // namespace

void BigAdd(const TBigInt& A, const TBigInt& B, TBigInt& C) { addSigned(A, B, B.Sign, C); }

void BigSub(const TBigInt& A, const TBigInt& B, TBigInt& C) {
    addSigned(A, B, B.Sign == 0 ? Positive : Negative, C);
}

void BigMul(const TBigInt& A, const TBigInt& B, TBigInt& C) {
    uint8_t sign = A.Sign == B.Sign ? Positive : Negative;
    mag::mulInto(C, mag::dig(A), mag::len(A), mag::dig(B), mag::len(B), sign);
}

void BigSquare(const TBigInt& A, TBigInt& C) {
    mag::sqrInto(C, mag::dig(A), mag::len(A));
}

void BigMulSmall(TBigInt& A, int64_t f) {
    const size_t n = mag::len(A);
    int64_t carry = 0;
    for (size_t i = 1; i <= n; ++i) {
        int64_t t = A.Digits[i] * f + carry;
        A.Digits[i] = t & DigitMask;
        carry = t >> 31;
    }
    if (carry != 0) A.Digits.push_back(carry);
    mag::trim(A.Digits);
}

void BigSubAbs(TBigInt& A, const TBigInt& B) {
    const size_t na = mag::len(A), nb = mag::len(B);
    int64_t borrow = 0;
    for (size_t i = 1; i <= na; ++i) {
        int64_t t = A.Digits[i] - (i <= nb ? B.Digits[i] : 0) + borrow;
        A.Digits[i] = t & DigitMask;
        borrow = t >> 31;
    }
    mag::trim(A.Digits);
}

void BigShiftLeftDigit(TBigInt& A) {
    // A zero stays a single zero digit, so the result is always in normal form.
    if (mag::isZero(A)) return;
    A.Digits.insert(A.Digits.begin() + 1, 0);
    A.Digits[0] += 1;
}

void BigShiftRightDigit(TBigInt& A) {
    if (A.Digits[0] < 2) {
        A.Digits[1] = 0;
        return;
    }
    A.Digits.erase(A.Digits.begin() + 1);
    A.Digits[0] -= 1;
}

void BigShiftRightBit(TBigInt& A) {
    const size_t n = mag::len(A);
    int64_t c = 0;
    for (size_t i = n; i >= 1; --i) {
        int64_t d = A.Digits[i];
        A.Digits[i] = (d >> 1) | c;
        c = (d & 1) << 30;
    }
    mag::trim(A.Digits);
}
