// Divisors from the factorization, and the number texts of the divisor finder.
#include "tools/divisors/divisors.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "bigint/bigint.h"
#include "numtheory/prime64.h"

namespace divisors {

namespace {

// out := base merged with p * multiples, both sorted and disjoint (p divides every element
// of the second list and none of the first); returns the length written. A branch-free
// merge is bound by the chain load -> compare -> index; merging from both ends at once
// runs two independent chains, each filling half of the output.
size_t MergeMultiples(const uint64_t* base, size_t baseCount, const uint64_t* multiples, size_t multipleCount,
                      uint64_t p, uint64_t* out) {
    const size_t total = baseCount + multipleCount;
    if (baseCount == 0 || multipleCount == 0) {
        for (size_t k = 0; k < baseCount; ++k) out[k] = base[k];
        for (size_t k = 0; k < multipleCount; ++k) out[k] = p * multiples[k];
        return total;
    }
    constexpr uint64_t kMax = ~(uint64_t)0;
    size_t i = 0, j = 0;                                  // front: next smallest of each list
    size_t bi = baseCount - 1, bj = multipleCount - 1;    // back: next largest (wrap past 0 = done)
    const size_t half = total / 2;
    for (size_t k = 0; k < half; ++k) {
        const uint64_t a = i < baseCount ? base[i] : kMax;
        const uint64_t b = j < multipleCount ? p * multiples[j] : kMax;
        const bool front = a < b;
        out[k] = front ? a : b;
        i += front;
        j += !front;
        const uint64_t c = bi < baseCount ? base[bi] : 0;
        const uint64_t d = bj < multipleCount ? p * multiples[bj] : 0;
        const bool back = c > d;
        out[total - 1 - k] = back ? c : d;
        bi -= back;
        bj -= !back;
    }
    if (total % 2) {   // the middle element: the smaller of the two fronts left
        const uint64_t a = i < baseCount ? base[i] : kMax;
        const uint64_t b = j < multipleCount ? p * multiples[j] : kMax;
        out[half] = a < b ? a : b;
    }
    return total;
}

}  // namespace

std::vector<uint64_t> SortedDivisors(uint64_t n) {
    if (n == 0) return {};
    const std::vector<uint64_t> factors = numtheory::Factor64(n);
    size_t count = 1;
    for (size_t i = 0, j; i < factors.size(); i = j) {
        for (j = i; j < factors.size() && factors[j] == factors[i]; ++j) {}
        count *= j - i + 1;
    }
    // Three buffers: D, the divisors of the primes so far (none divisible by the next p),
    // and two that take turns as T = D * {1, ..., p^k} and D * {1, ..., p^(k+1)}, which is
    // D merged with p * T. One pass over the growing list per prime factor. The buffers
    // are left uninitialized: zeroing them would be a fourth pass over 800 KB.
    std::unique_ptr<uint64_t[]> buffers[3];
    for (auto& b : buffers) b.reset(new uint64_t[count]);
    int d = 0;
    size_t size = 1;
    buffers[d][0] = 1;
    for (size_t i = 0, j; i < factors.size(); i = j) {
        const uint64_t p = factors[i];
        for (j = i; j < factors.size() && factors[j] == p; ++j) {}
        int t = d;
        size_t tSize = size;
        for (size_t k = i; k < j; ++k) {
            const int out = (d + 1) % 3 == t ? (d + 2) % 3 : (d + 1) % 3;
            tSize = MergeMultiples(buffers[d].get(), size, buffers[t].get(), tSize, p, buffers[out].get());
            t = out;
        }
        d = t;
        size = tSize;
    }
    return std::vector<uint64_t>(buffers[d].get(), buffers[d].get() + size);
}

std::vector<DivisorPair> DivisorPairs(int64_t w) {
    std::vector<DivisorPair> pairs;
    if (w < 4) return pairs;
    const std::vector<uint64_t> d = SortedDivisors((uint64_t)w);
    // d[i] * d[k-1-i] = w, so the entries are the lower halves of these pairs, 1 left out.
    const size_t k = d.size();
    pairs.reserve(k / 2);
    for (size_t i = 1; i + i <= k - 1; ++i) pairs.push_back({d[i], d[k - 1 - i]});
    return pairs;
}

std::string WholeNumberText(int64_t value) {
    return std::to_string(value);
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Sign and digits without leading zeros; nullopt unless the text is [+-]digits.
std::optional<std::pair<bool, std::string>> SplitInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !std::all_of(text.begin(), text.end(), IsDigit)) return std::nullopt;
    const size_t first = std::min(text.find_first_not_of('0'), text.size() - 1);
    std::string digits(text.substr(first));
    if (digits == "0") negative = false;
    return std::make_pair(negative, digits);
}

std::string Printf(const char* format, int precision, long double value) {
    char buffer[128];
    const int n = std::snprintf(buffer, sizeof buffer, format, precision, value);
    if (n < (int)sizeof buffer) return std::string(buffer, (size_t)n);
    std::string big((size_t)n + 1, '\0');
    std::snprintf(big.data(), big.size(), format, precision, value);
    big.resize((size_t)n);
    return big;
}

void StripTrailingZeros(std::string& fraction) {
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
}

}  // namespace

std::optional<Subject> WholeSubject(std::string_view text) {
    const auto parts = SplitInteger(text);
    if (!parts) return std::nullopt;
    const auto& [negative, digits] = *parts;
    if (negative) return Subject{"-" + digits, 0};
    const std::string limit = std::to_string(kLimit);
    if (digits.size() > limit.size() || (digits.size() == limit.size() && digits > limit)) return Subject{limit, kLimit};
    const int64_t w = std::stoll(digits);
    return Subject{digits, w < 2 ? 0 : w};
}

Subject FloatSubject(long double value) {
    if (value > (long double)kLimit) value = (long double)kLimit;
    const int64_t w = value < 2 ? 0 : (int64_t)std::truncl(value);
    return Subject{PlainNumberText(value), w};
}

std::string PlainNumberText(long double value) {
    if (value == 0) return "0";
    const std::string sign = value < 0 ? "-" : "";
    const long double magnitude = std::fabs(value);
    const long double whole = std::truncl(magnitude);
    const std::string wholeText = Printf("%.*Lf", 0, whole);
    // Whole numbers are exact below 2^64; beyond, the binary value's last digits are noise
    // (1e30 is 1000000000000000000000024696061952 in binary), so they get 15 digits too.
    const bool wide = magnitude >= 18446744073709551616.0L;
    if (whole == magnitude && !wide) return sign + wholeText;

    // Fifteen significant digits, rounded, written out without the exponent.
    const std::string e = Printf("%.*Le", 14, magnitude);   // d.dddddddddddddde+X
    const std::string digits = e.substr(0, 1) + e.substr(2, 14);
    const int exponent = std::stoi(e.substr(e.find('e') + 1));
    std::string intPart, fraction;
    if (exponent >= 0) {
        intPart = digits.substr(0, std::min<size_t>(digits.size(), (size_t)exponent + 1));
        if ((size_t)exponent + 1 > digits.size()) intPart.append((size_t)exponent + 1 - digits.size(), '0');
        if ((size_t)exponent + 1 < digits.size()) fraction = digits.substr((size_t)exponent + 1);
    } else {
        intPart = "0";
        fraction = std::string((size_t)(-exponent - 1), '0') + digits;
    }
    StripTrailingZeros(fraction);
    if (wide) return sign + intPart + (fraction.empty() ? "" : "." + fraction);
    if (intPart == wholeText && !fraction.empty()) return sign + intPart + "." + fraction;

    // The rounding reached the whole part (1.99999999999999999 or a whole part of 16 or
    // more digits): keep the whole part exact and cut the fraction instead, down to 15
    // significant digits but never before its first non-zero digit.
    const std::string exact = Printf("%.*Lf", 80, magnitude - whole);   // 0.ddd...
    fraction = exact.substr(2);
    const size_t firstNonZero = fraction.find_first_not_of('0');
    const size_t significantWhole = wholeText == "0" ? 0 : wholeText.size();
    size_t keep = significantWhole == 0 ? firstNonZero + 15
                                        : std::max(significantWhole < 15 ? 15 - significantWhole : 0, firstNonZero + 1);
    fraction.resize(std::min(keep, fraction.size()));
    StripTrailingZeros(fraction);
    return sign + wholeText + (fraction.empty() ? "" : "." + fraction);
}

std::optional<std::string> ProductText(std::string_view a, std::string_view b) {
    const auto x = SplitInteger(a), y = SplitInteger(b);
    if (!x || !y) return std::nullopt;
    // Beyond the range of extended floating point the caller's floating reading fails
    // anyway.
    if (x->second.size() + y->second.size() > 4950) return std::nullopt;
    if (x->second == "0" || y->second == "0") return std::string("0");
    TBigInt p, q, product;
    BigFromDecimal(x->second, p);
    BigFromDecimal(y->second, q);
    BigMul(p, q, product);
    product.Sign = Positive;
    const std::string digits = BigToDecimal(product);
    return (x->first != y->first ? "-" : "") + digits;
}

std::optional<std::vector<ListEntry>> ParseDivisorList(std::string_view content) {
    std::vector<ListEntry> entries;
    size_t pos = 0;
    while (pos < content.size()) {
        const size_t end = std::min(content.find_first_of("\r\n", pos), content.size());
        std::string_view line = content.substr(pos, end - pos);
        pos = end + (end + 1 < content.size() && content[end] == '\r' && content[end + 1] == '\n' ? 2 : 1);
        const size_t depth = std::min(line.find_first_not_of("\t "), line.size());
        line.remove_prefix(depth);
        int level = 0;
        if (!entries.empty()) {
            const size_t previous = (size_t)entries.back().level;
            if (depth > previous + 1) return std::nullopt;
            level = (int)depth;   // equal: sibling; one more: child; less: an ancestor's sibling
        }
        entries.push_back({level, std::string(line)});
    }
    return entries;
}

}  // namespace divisors
