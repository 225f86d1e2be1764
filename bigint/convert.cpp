// Decimal and binary text conversions, comparison and the small helpers on one value.
#include "bigint/convert.h"

#include <algorithm>

#include "bigint/detail/mag.h"
#include "bigint/detail/recip.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// 10^(9*2^k) for k = 0, 1, ...: the splitting powers of the divide-and-conquer conversion.
const mag::Num& chunkPower(std::vector<mag::Num>& powers, size_t k) {
    if (powers.empty()) {
        mag::Num p = mag::make(1);
        p[1] = 1000000000;
        powers.push_back(std::move(p));
    }
    while (powers.size() <= k) {
        const mag::Num& last = powers.back();
        powers.push_back(mag::sqr(last.data() + 1, (size_t)last[0]));
    }
    return powers[k];
}

// Value of chunks[lo, lo+n): below the threshold by Horner's rule, above it as
// high * 10^(9m) + low with m a power of two, so the powers are shared by all halves.
mag::Num fromChunksRange(const std::vector<uint32_t>& chunks, size_t lo, size_t n,
                         std::vector<mag::Num>& powers) {
    if (n <= 128) {
        std::vector<uint32_t> part(chunks.begin() + (long)lo, chunks.begin() + (long)(lo + n));
        return mag::fromChunks(part);
    }
    size_t k = 0;
    while ((size_t{2} << k) < n) ++k;
    const size_t m = size_t{1} << k;
    mag::Num low = fromChunksRange(chunks, lo, m, powers);
    mag::Num high = fromChunksRange(chunks, lo + m, n - m, powers);
    const mag::Num& p = chunkPower(powers, k);
    mag::Num prod = mag::mul(high.data() + 1, (size_t)high[0], p.data() + 1, (size_t)p[0]);
    return mag::add(prod.data() + 1, (size_t)prod[0], low.data() + 1, (size_t)low[0]);
}

// Divide-and-conquer conversion to decimal: x < 10^(9*2^(k+1)) is split by 10^(9*2^k) into
// a high and a low half, each written as exactly 9*2^(k+1)/2 digits; small pieces use the
// quadratic method. Cost O(M(n) log n) instead of O(n^2).
struct DecimalSplitter {
    std::vector<mag::Num> powers, inverses;

    void prepare(size_t k) {
        while (powers.size() <= k) chunkPower(powers, powers.size());
        while (inverses.size() <= k) inverses.push_back(recip::reciprocal(powers[inverses.size()]));
    }

    void emit(const mag::Num& x, size_t k, std::string& out) {
        const size_t width = 9 * (size_t{2} << k);
        if ((size_t)x[0] <= 60 || k == 0) {
            std::string s = mag::toDecimal(x.data() + 1, (size_t)x[0]);
            if (s == "0") s.clear();
            out.append(width - s.size(), '0');
            out += s;
            return;
        }
        mag::Num q, r;
        recip::divide(x, powers[k], inverses[k], q, r);
        emit(q, k - 1, out);
        emit(r, k - 1, out);
    }
};

std::string toDecimalFast(const int64_t* a, size_t n) {
    mag::Num x = mag::make(n);
    std::copy(a, a + n, x.begin() + 1);
    // The powers and their reciprocals depend only on the size: kept per thread.
    thread_local DecimalSplitter splitter;
    // Smallest k with 10^(9*2^(k+1)) > x, found by digit counts then checked exactly.
    size_t k = 0;
    for (;;) {
        splitter.prepare(k);
        const mag::Num& p = splitter.powers[k];
        if (2 * (size_t)p[0] - 1 > n) {
            mag::Num sq = mag::sqr(p.data() + 1, (size_t)p[0]);
            if (mag::cmp(sq.data() + 1, (size_t)sq[0], a, n) > 0) break;
        }
        ++k;
    }
    std::string out;
    out.reserve(9 * (size_t{2} << k));
    splitter.emit(x, k, out);
    size_t first = out.find_first_not_of('0');
    return first == std::string::npos ? "0" : out.substr(first);
}

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
    std::vector<uint32_t> chunks(k, 0);
    for (size_t c = 0; c < k; ++c) {
        size_t end = L - std::min(L, 9 * c);
        size_t start = end >= 9 ? end - 9 : 0;
        std::string_view chunk = s.substr(start, end - start);
        if (chunk.empty() || !std::all_of(chunk.begin(), chunk.end(), isDigit))
            throw BigError("'" + std::string(chunk) + "' is not a valid integer value");
        uint32_t v = 0;
        for (char ch : chunk) v = v * 10 + uint32_t(ch - '0');
        chunks[c] = v;
    }
    std::vector<mag::Num> powers;
    mag::put(A, fromChunksRange(chunks, 0, k, powers), sign);
}

std::string BigToDecimal(const TBigInt& A) {
    const size_t n = mag::len(A);
    std::string s = n > 40 ? toDecimalFast(mag::dig(A), n) : mag::toDecimal(mag::dig(A), n);
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
