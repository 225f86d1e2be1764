// Euclidean division, remainders, modular products, greatest common divisor and inverse.
#include "bigint/divide.h"

#include "bigint/arith.h"
#include "bigint/convert.h"
#include "bigint/detail/mag.h"

namespace {

void requireNonZero(const TBigInt& B) {
    if (mag::isZero(B)) throw BigError("Division by zero");
}

bool numIsZero(const mag::Num& r) { return r[0] == 1 && r[1] == 0; }

// Magnitude quotient and remainder adjusted to the Euclidean rule: the remainder lies in
// 0 .. |B|-1; a negative dividend with a non-zero remainder takes the next quotient.
void divEuclid(const TBigInt& A, const TBigInt& B, TBigInt* Q, TBigInt* R) {
    requireNonZero(B);
    mag::Num q, r;
    mag::divmod(mag::dig(A), mag::len(A), mag::dig(B), mag::len(B), Q ? &q : nullptr, &r);
    uint8_t qSign = B.Sign;
    if (A.Sign == Negative) {
        if (!numIsZero(r)) {
            if (Q) {
                mag::Num one = mag::make(1);
                one[1] = 1;
                q = mag::add(q.data() + 1, (size_t)q[0], one.data() + 1, 1);
            }
            r = mag::sub(mag::dig(B), mag::len(B), r.data() + 1, (size_t)r[0]);
        }
        qSign = B.Sign == Positive ? Negative : Positive;
    }
    if (Q) mag::put(*Q, std::move(q), qSign);
    if (R) mag::put(*R, std::move(r), Positive);
}

}  // namespace

void BigDivMod(const TBigInt& A, const TBigInt& B, TBigInt& Q, TBigInt& R) { divEuclid(A, B, &Q, &R); }

void BigDivide(const TBigInt& A, const TBigInt& B, TBigInt& Q) { divEuclid(A, B, &Q, nullptr); }

void BigMod(const TBigInt& A, const TBigInt& B, TBigInt& R) { divEuclid(A, B, nullptr, &R); }

void BigMulMod(const TBigInt& A, const TBigInt& B, const TBigInt& M, TBigInt& C) {
    requireNonZero(M);
    TBigInt t;
    BigMul(A, B, t);
    BigMod(t, M, C);
}

void BigSquareMod(const TBigInt& A, const TBigInt& M, TBigInt& C) {
    requireNonZero(M);
    TBigInt t;
    BigSquare(A, t);
    BigMod(t, M, C);
}

// Euclid's loop keeps its first operand's sign when the second is zero and the second
// operand's sign when one step leaves no remainder; after that every value is a remainder,
// hence positive. So only those two cases need the signed operands; the rest is Lehmer's
// algorithm on magnitudes, which gives the same positive gcd far faster.
void BigGcd(const TBigInt& A, const TBigInt& B, TBigInt& C) {
    int c = BigCompareAbs(A, B);
    if (c == cmpEqual) { BigCopy(A, C); return; }
    const TBigInt& big = c == cmpGreater ? A : B;
    const TBigInt& small = c == cmpGreater ? B : A;
    if (mag::isZero(small)) { BigCopy(big, C); return; }
    mag::Num r;
    mag::divmod(mag::dig(big), mag::len(big), mag::dig(small), mag::len(small), nullptr, &r);
    if (numIsZero(r)) { BigCopy(small, C); return; }
    mag::put(C, mag::gcd(mag::dig(small), mag::len(small), r.data() + 1, (size_t)r[0]), Positive);
}

// Extended Euclid on the residue a = A mod |M| (0 <= a < |M|) and |M|, so every step divides
// two non-negative values and the result lands in 0 .. |M|-1 whatever the signs of A and M.
// Throughout, r0 = x0 * a and r1 = x1 * a modulo |M|; the loop ends with r0 = gcd(a, |M|).
void BigModInverse(const TBigInt& A, const TBigInt& M, TBigInt& X) {
    if (mag::isZero(M)) return;   // no residue lies in 0 .. |M|-1: as when no inverse exists
    TBigInt m = M;
    m.Sign = Positive;
    if (mag::len(m) == 1 && m.Digits[1] == 1) {   // modulo 1 every residue is 0
        X = BigFromInt(0);
        return;
    }
    TBigInt r0 = m, r1, x0 = BigFromInt(0), x1 = BigFromInt(1), q, r, qx, t;
    BigMod(A, m, r1);
    while (!mag::isZero(r1)) {
        BigDivMod(r0, r1, q, r);
        r0 = std::move(r1);
        r1 = std::move(r);
        BigMul(x1, q, qx);
        BigSub(x0, qx, t);
        x0 = std::move(x1);
        x1 = std::move(t);
    }
    if (!(mag::len(r0) == 1 && r0.Digits[1] == 1)) return;   // gcd above 1: X unchanged
    // x0 lies in -|M| < x0 < |M| and is not 0 (a = 0 has no inverse modulo |M| > 1).
    if (x0.Sign == Negative) {
        BigAdd(m, x0, X);
    } else {
        X = std::move(x0);
    }
    X.Sign = Positive;
}
