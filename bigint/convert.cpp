// Decimal and binary text conversions, comparison and the small helpers on one value.
#include "bigint/convert.h"

#include <algorithm>

#include "bigint/detail/limbs.h"
#include "bigint/detail/mag.h"
#include "numtheory/digits.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void BigFromDecimal(std::string_view text, TBigInt& A) {
    std::string_view s = text;
    while (s.size() > 1 && s[0] != '-' && !isDigit(s[0])) s.remove_prefix(1);
    uint8_t sign = Positive;
    if (!s.empty() && s[0] == '-') {
        sign = Negative;
        s.remove_prefix(1);
    }
    while (s.size() >= 2 && s[0] == '0') s.remove_prefix(1);
    // Nine-digit chunks from the right; the first bad chunk met names the error. A sign,
    // blank or hex mark inside the digits is rejected rather than read as a chunk value.
    const size_t L = s.size();
    const size_t k = L == 0 ? 1 : (L + 8) / 9;
    for (size_t c = 0; c < k; ++c) {
        size_t end = L - std::min(L, 9 * c);
        size_t start = end >= 9 ? end - 9 : 0;
        std::string_view chunk = s.substr(start, end - start);
        if (chunk.empty() || !std::all_of(chunk.begin(), chunk.end(), isDigit))
            throw BigError("'" + std::string(chunk) + "' is not a valid integer value");
    }
    const limbs::Vec v = limbs::fromDecimal(s.data(), L);
    mag::Num r = mag::make(numtheory::DigitCountForWords(v.size()));
    numtheory::WordsToDigits(v.data(), v.size(), r.data() + 1);
    mag::put(A, std::move(r), sign);
}

std::string BigToDecimal(const TBigInt& A) {
    const size_t n = mag::len(A);
    std::string s = n == 1 ? std::to_string(A.Digits[1]) : mag::toDecimal(mag::dig(A), n);
    return A.Sign == Negative ? "-" + s : s;
}

void BigFromBinary(std::string_view text, TBigInt& A) {
    while (text.size() > 1 && text[0] == '0') text.remove_prefix(1);
    const size_t L = text.size();
    const size_t k = std::max<size_t>(1, (L + 30) / 31);
    mag::Num r = mag::make(k);
    for (size_t i = 0; i < L; ++i)
        if (text[L - 1 - i] == '1') r[1 + i / 31] |= int64_t{1} << (i % 31);
    mag::put(A, std::move(r), Positive);
}

std::string BigToBinary(const TBigInt& A) {
    const size_t n = mag::len(A);
    std::string s;
    s.reserve(31 * n);
    for (size_t i = n; i-- > 0;)
        for (int b = 30; b >= 0; --b) s.push_back((mag::dig(A)[i] >> b) & 1 ? '1' : '0');
    size_t first = s.find('1');
    return first == std::string::npos ? "0" : s.substr(first);
}

int BigCompareAbs(const TBigInt& A, const TBigInt& B) {
    int c = mag::cmp(mag::dig(A), mag::len(A), mag::dig(B), mag::len(B));
    return c > 0 ? cmpGreater : c < 0 ? cmpLess : cmpEqual;
}

void BigCopy(const TBigInt& A, TBigInt& B) {
    if (&A == &B) return;
    B.Sign = A.Sign;
    B.Digits = A.Digits;
}

void BigRelease(TBigInt& A) {
    std::vector<int64_t>().swap(A.Digits);
}

bool BigIsOdd(const TBigInt& A) { return (A.Digits[1] & 1) != 0; }

void BigNegate(TBigInt& A) { A.Sign = A.Sign == 0 ? Positive : Negative; }

void BigAbs(TBigInt& A) { A.Sign = Positive; }

int64_t BigDivSmall(TBigInt& A, int64_t d) {
    if (d < 1 || d > (int64_t{1} << 32)) throw BigError("Division by zero");
    const size_t n = mag::len(A);
    int64_t r = 0;
    for (size_t i = n; i >= 1; --i) {
        int64_t t = (r << 31) + A.Digits[i];
        A.Digits[i] = t / d;
        r = t % d;
    }
    mag::trim(A.Digits);
    return r;
}

bool BigIsZero(const TBigInt& A) { return mag::isZero(A); }

TBigInt BigFromInt(int64_t v) {
    TBigInt r;
    uint64_t m = v < 0 ? 0 - (uint64_t)v : (uint64_t)v;
    mag::Num n = mag::make(3);
    n[1] = (int64_t)(m & DigitMask);
    n[2] = (int64_t)((m >> 31) & DigitMask);
    n[3] = (int64_t)(m >> 62);
    mag::put(r, std::move(n), v < 0 ? Negative : Positive);
    return r;
}
