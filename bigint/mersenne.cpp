// Mersenne and Fermat expression forms.
#include "bigint/mersenne.h"

#include <bit>

#include "bigint/arith.h"
#include "bigint/convert.h"
#include "bigint/divide.h"
#include "bigint/mag.h"

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

void BigLog(const TBigInt& A, const TBigInt& B, TBigInt& C) {
    if (mag::len(B) == 1 && B.Digits[1] < 2) throw BigError("Logarithm base must be at least 2");
    if (mag::len(B) == 1 && B.Digits[1] == 2) {
        C = BigFromInt((int64_t)log2Abs(A));
        return;
    }
    int64_t c = 0;
    TBigInt x = A, q, r;
    while (BigCompareAbs(x, B) != cmpLess) {
        BigDivMod(x, B, q, r);
        x = std::move(q);
        ++c;
    }
    C = BigFromInt(c);
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
