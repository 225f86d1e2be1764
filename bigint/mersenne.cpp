// Mersenne and Fermat expression forms.
#include "bigint/mersenne.h"

#include <bit>
#include <cmath>

#include "bigint/arith.h"
#include "bigint/convert.h"
#include "bigint/divide.h"
#include "bigint/detail/mag.h"

namespace {

// 2^k, built as a single bit.
TBigInt powerOfTwo(uint64_t k) {
    if (k / 31 > (uint64_t{1} << 27)) throw BigError("Power too large");
    mag::Num r = mag::make((size_t)(k / 31) + 1);
    r[r.size() - 1] = int64_t{1} << (k % 31);
    TBigInt x;
    mag::put(x, std::move(r), Positive);
    return x;
}

// floor(log2 |A|) for |A| >= 2, 0 below: the logarithm to base 2 without any division.
uint64_t log2Abs(const TBigInt& A) {
    const size_t n = mag::len(A);
    const uint64_t bits = 31 * (n - 1) + (uint64_t)std::bit_width((uint64_t)A.Digits[n]);
    return bits <= 1 ? 0 : bits - 1;
}

// log2 |a| of a trimmed non-zero magnitude, from its top three digits (93 bits, more than a
// long double keeps).
long double log2Mag(const int64_t* d, size_t n) {
    long double top = 0;
    const size_t from = n > 3 ? n - 3 : 0;
    for (size_t i = n; i-- > from;) top = top * 2147483648.0L + (long double)d[i];
    return std::log2(top) + 31.0L * (long double)from;
}

// b^e for a trimmed magnitude b, left to right.
mag::Num powMag(const int64_t* b, size_t nb, uint64_t e) {
    mag::Num r = mag::make(1);
    r[1] = 1;
    for (int i = std::bit_width(e) - 1; i >= 0; --i) {
        r = mag::sqr(r.data() + 1, (size_t)r[0]);
        if ((e >> i) & 1) r = mag::mul(r.data() + 1, (size_t)r[0], b, nb);
    }
    return r;
}

std::string withOffset(const char* letter, uint64_t k, const TBigInt& d) {
    std::string text = letter + std::to_string(k);
    if (BigIsZero(d)) return text;
    if (d.Sign == Positive) return text + "+" + BigToDecimal(d);
    return text + BigToDecimal(d);
}

std::string upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return r;
}

// The digit run right after position pos, converted (an empty run raises the conversion error).
TBigInt runAfter(const std::string& s, size_t pos) {
    size_t end = pos;
    while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
    TBigInt v;
    BigFromDecimal(std::string_view(s).substr(pos, end - pos), v);
    return v;
}

void readExpression(std::string_view text, char letter, int64_t limit, bool fermat, TBigInt& A) {
    const std::string s = upper(text);
    A = BigFromInt(0);
    const size_t at = s.find(letter);
    if (at == std::string::npos) return;
    TBigInt k = runAfter(s, at + 1);
    if (BigCompareAbs(k, BigFromInt(limit)) == cmpGreater) return;
    const uint64_t e = (uint64_t)k.Digits[1];
    TBigInt result, t;
    if (fermat) {
        BigAdd(powerOfTwo(uint64_t{1} << e), BigFromInt(1), result);
    } else {
        BigSub(powerOfTwo(e), BigFromInt(1), result);
    }
    if (size_t plus = s.find('+'); plus != std::string::npos) {
        BigAdd(result, runAfter(s, plus + 1), t);
        result = std::move(t);
    }
    if (size_t minus = s.find('-'); minus != std::string::npos) {
        BigSub(result, runAfter(s, minus + 1), t);
        result = std::move(t);
    }
    A = std::move(result);
}

}  // namespace

// The count of divisions of |A| by |B| is the largest c with |B|^c <= |A|. Dividing c times
// costs c long divisions (quadratic); instead c is estimated from the logarithms of the top
// digits, |B|^c0 is built by repeated squaring a little below the estimate, and at most a
// step or two of one product each settle c exactly.
void BigLog(const TBigInt& A, const TBigInt& B, TBigInt& C) {
    const int64_t* a = mag::dig(A);
    const int64_t* b = mag::dig(B);
    const size_t na = mag::len(A), nb = mag::len(B);
    if (nb == 1 && b[0] < 2) throw BigError("Logarithm base must be at least 2");
    if (mag::cmp(a, na, b, nb) < 0) {   // also A = 0
        C = BigFromInt(0);
        return;
    }
    if (nb == 1 && b[0] == 2) {
        C = BigFromInt((int64_t)log2Abs(A));
        return;
    }
    // The estimate is within about 1e-4 of the true ratio for any size that fits in memory,
    // so c0 is at most the answer and one or two below it.
    const long double estimate = log2Mag(a, na) / log2Mag(b, nb);
    uint64_t c = estimate > 2 ? (uint64_t)estimate - 1 : 0;
    mag::Num power = powMag(b, nb, c);
    while (mag::cmp(power.data() + 1, (size_t)power[0], a, na) > 0) {   // never expected
        mag::Num q;
        mag::divmod(power.data() + 1, (size_t)power[0], b, nb, &q, nullptr);
        power = std::move(q);
        --c;
    }
    for (;;) {
        mag::Num next = mag::mul(power.data() + 1, (size_t)power[0], b, nb);
        if (mag::cmp(next.data() + 1, (size_t)next[0], a, na) > 0) break;
        power = std::move(next);
        ++c;
    }
    C = BigFromInt((int64_t)c);
}

std::string BigToMersenne(const TBigInt& A) {
    TBigInt a1, d1, d2;
    BigAdd(A, BigFromInt(1), a1);
    const uint64_t p = log2Abs(a1);
    BigSub(a1, powerOfTwo(p), d1);
    BigSub(a1, powerOfTwo(p + 1), d2);
    if (BigCompareAbs(d1, d2) == cmpGreater) return withOffset("M", p + 1, d2);
    return withOffset("M", p, d1);
}

std::string BigToFermat(const TBigInt& A) {
    TBigInt a1, d1, d2;
    BigSub(A, BigFromInt(1), a1);
    const uint64_t L = log2Abs(a1);
    const uint64_t n = L <= 1 ? 0 : (uint64_t)std::bit_width(L) - 1;
    BigSub(a1, powerOfTwo(uint64_t{1} << n), d1);
    BigSub(a1, powerOfTwo(uint64_t{1} << (n + 1)), d2);
    if (BigCompareAbs(d1, d2) == cmpGreater) return withOffset("F", n + 1, d2);
    return withOffset("F", n, d1);
}

void BigFromMersenne(std::string_view text, TBigInt& A) { readExpression(text, 'M', 99999, false, A); }

void BigFromFermat(std::string_view text, TBigInt& A) { readExpression(text, 'F', 20, true, A); }
