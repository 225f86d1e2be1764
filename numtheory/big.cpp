// TBigInt values as words, and integer roots.
#include "numtheory/big.h"

#include <bit>

#include "numtheory/word.h"

namespace numtheory {

std::vector<uint64_t> BigToWords(const TBigInt& a) {
    const size_t n = (size_t)a.Digits[0];
    std::vector<uint64_t> w((n * 31 + 63) / 64, 0);
    DigitsToWords(a.Digits.data() + 1, n, w.data(), w.size());
    while (w.size() > 1 && w.back() == 0) w.pop_back();
    return w;
}

TBigInt BigFromWords(const uint64_t* w, size_t n) {
    while (n > 1 && w[n - 1] == 0) --n;
    TBigInt r;
    r.Sign = Positive;
    r.Digits.assign(DigitCountForWords(n) + 1, 0);
    WordsToDigits(w, n, r.Digits.data() + 1);
    size_t digits = r.Digits.size() - 1;
    while (digits > 1 && r.Digits[digits] == 0) --digits;
    r.Digits.resize(digits + 1);
    r.Digits[0] = (int64_t)digits;
    return r;
}

TBigInt BigFromU128(u128 v) {
    const uint64_t w[2] = {(uint64_t)v, (uint64_t)(v >> 64)};
    return BigFromWords(w, 2);
}

size_t BigBitLength(const TBigInt& a) {
    const size_t n = (size_t)a.Digits[0];
    const uint64_t top = (uint64_t)a.Digits[n];
    if (top == 0) return 0;
    return (n - 1) * 31 + (size_t)std::bit_width(top);
}

TBigInt BigIntegerRoot(const TBigInt& n, uint64_t k) {
    TBigInt a;
    BigCopy(n, a);
    BigAbs(a);
    const size_t bits = BigBitLength(a);
    if (k == 1 || bits <= 1) return a;
    if (k >= bits) return BigFromInt(1);   // 1 <= root < 2
    if (bits <= 63) {
        const uint64_t v = DigitsLow64(a.Digits.data() + 1, (size_t)a.Digits[0]);
        return BigFromInt((int64_t)IntegerRoot64(v, k));
    }
    // 2^ceil(bits/k) is above the root; Newton's steps then fall monotonically onto it.
    // Here k < bits, so every exponent below is small.
    TBigInt x, two = BigFromInt(2), e = BigFromInt((int64_t)((bits + k - 1) / k)), km1 = BigFromInt((int64_t)(k - 1));
    BigPower(two, e, x);
    const TBigInt kk = BigFromInt((int64_t)k);
    for (;;) {
        TBigInt p, q, t, s, y;
        BigPower(x, km1, p);
        BigDivide(a, p, q);
        BigMul(x, km1, t);
        BigAdd(t, q, s);
        BigDivide(s, kk, y);
        if (BigCompareAbs(y, x) != cmpLess) return x;
        x = y;
    }
}

}  // namespace numtheory
