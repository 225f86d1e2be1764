// Bounds, parts, the estimate, the twin count and the texts of the search engine.
#include "tools/search/search_engine.h"

#include "textnum/textnum.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace search {

namespace {

// Texts joined by append: GCC 12 warns falsely (-Wrestrict) about "literal" + std::string&&.
template <typename... Parts>
std::string cat(const Parts&... parts) {
    std::string s;
    (s.append(parts), ...);
    return s;
}

}  // namespace

std::string WholeNumberText(int64_t n) { return std::to_string(n); }

int64_t ReadBound(std::string_view text) {
    if (text.empty()) return 0;
    if (text.find_first_of("$xX") != std::string_view::npos)
        throw ConversionError(cat("'", std::string(text), "' is not a valid integer value"));
    return TextToInt64(text);
}

Bounds ClampBounds(int64_t low, int64_t high) {
    if (high > MaxHigh) high = MaxHigh;
    if (low > MaxLow) low = MaxLow;
    if (high < 0) high = 3;
    if (low < 2) low = 2;
    if (high < low) high = low + 1;   // low <= 10^18 - 1 here, so high stays within 10^18
    return {low, high};
}

int FilledPartsFor(std::size_t count) {
    const std::size_t parts = (count + PartCapacity - 1) / PartCapacity;
    return (int)std::min<std::size_t>(parts, PartCount);
}

std::span<const int64_t> PartOf(const std::vector<int64_t>& primes, int k) {
    const std::size_t from = std::min(primes.size(), std::size_t(k) * PartCapacity);
    const std::size_t to = std::min(primes.size(), from + PartCapacity);
    return std::span<const int64_t>(primes.data() + from, to - from);
}

long double RoundHalfEven(long double x) {
    const long double f = std::floor(x);
    const long double rest = x - f;
    if (rest > 0.5L) return f + 1;
    if (rest < 0.5L) return f;
    return std::fmod(f, 2.0L) == 0 ? f : f + 1;
}

int64_t PrimeCountEstimate(long double a, long double b) {
    // Each failure a floating-point unit would trap (logarithm of 0 or of a negative number,
    // a division by ln 1, an overflow, a value too large for 64 bits) gives 0.
    if (!std::isfinite(a) || !std::isfinite(b) || !(a > 0) || !(b > 0)) return 0;
    const long double la = std::log(a), lb = std::log(b);
    if (la == 0 || lb == 0) return 0;
    const long double d = b / lb - a / la;
    if (!std::isfinite(d)) return 0;
    const long double e = RoundHalfEven(d);
    if (e < 0) return 0;
    if (e >= std::ldexp(1.0L, 63)) return 0;
    return (int64_t)e;
}

int64_t CountTwinPairs(std::span<const int64_t> values) {
    int64_t pairs = 0;
    for (std::size_t i = 0; i + 1 < values.size(); ++i)
        // Compared without a subtraction, which could overflow for entries of opposite signs.
        if (values[i] <= INT64_MAX - 2 && values[i + 1] == values[i] + 2) ++pairs;
    return pairs;
}

void TwinPairTally::add(std::span<const int64_t> values) {
    if (values.empty()) return;
    if (last_) {
        const int64_t seam[2] = {*last_, values.front()};
        pairs_ += CountTwinPairs(seam);
    }
    pairs_ += CountTwinPairs(values);
    last_ = values.back();
}

std::vector<std::string> SummaryLines(const SummaryInput& in) {
    std::vector<std::string> lines{
        cat("Search date: ", in.date),
        cat("Start: ", in.start),
        cat("End: ", in.end),
        cat("Duration: ", in.duration),
        "",
        cat("From: ", WholeNumberText(in.low)),
        cat("To:    ", WholeNumberText(in.high)),
        "",
        "The results are:",
    };
    for (std::size_t k = 0; k < in.firstOfPart.size() && k < in.lastOfPart.size(); ++k)
        lines.push_back(cat(" Part ", std::to_string(k + 1), ":   ", WholeNumberText(in.firstOfPart[k]), " - ",
                            WholeNumberText(in.lastOfPart[k])));
    lines.push_back("");
    lines.push_back(cat(" ==> ", WholeNumberText(in.total), " prime number(s) were found."));
    lines.push_back("");
    lines.push_back("The estimation was: ");
    lines.push_back("Legendre-Hadamard: ");
    lines.push_back(cat(" ", WholeNumberText(in.estimate), " prime number(s) to be found."));
    lines.push_back("");
    if (in.twins) lines.push_back(cat("There are ", WholeNumberText(*in.twins), " Twin Prime #s."));
    return lines;
}

std::vector<std::string> PreviewLines(std::optional<int64_t> estimate) {
    std::vector<std::string> lines{"", "The estimation is :"};
    if (estimate) {
        lines.push_back(cat("=>Legendre-Hadamard: ", WholeNumberText(*estimate)));
        lines.push_back(" ...prime #s will be found.");
    } else {
        lines.push_back("The estimations cannot be done.");
    }
    return lines;
}

std::string ProposedFileName(int64_t low, int64_t high) {
    return cat("Prime numbers list from ", WholeNumberText(low), " To ", WholeNumberText(high));
}

std::string SummaryFileName(const std::string& base) { return base + " [Summary].txt"; }

std::string PartFileName(const std::string& base, int part) {
    return cat(base, " [Part ", std::to_string(part), "].txt");
}

}  // namespace search
