// The prime search engine: every prime of an interval up to 10^18, its split into five parts,
// the x / ln x estimate, the twin-pair count and the lines of the research summary.
// Plain C++ on native 64-bit integers and extended floating point; no Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class Progress;

namespace search {

constexpr int64_t MaxHigh = 1'000'000'000'000'000'000;   // 10^18
constexpr int64_t MaxLow = MaxHigh - 1;
constexpr int PartCapacity = 32000;
constexpr int PartCount = 5;
constexpr std::size_t MaxListed = std::size_t(PartCapacity) * PartCount;   // 160000

// The plain decimal digits of n, "-" first when negative; no grouping, no exponent.
std::string WholeNumberText(int64_t n);

// A bound field's text: empty counts as 0; any other text must be a signed decimal 64-bit
// integer (TextToInt64 also reads "$1F" and "0x1F" as hexadecimal: a bound is decimal only).
// Throws ConversionError "'<text>' is not a valid integer value".
int64_t ReadBound(std::string_view text);

struct Bounds {
    int64_t low;
    int64_t high;
    bool operator==(const Bounds&) const = default;
};
// The bounds a search really uses, clamped in this order: high above 10^18 becomes 10^18,
// low above 10^18 - 1 becomes 10^18 - 1, a negative high becomes 3, low below 2 becomes 2,
// and a high below low becomes low + 1. The result always has 2 <= low < high <= 10^18
// or low == high.
Bounds ClampBounds(int64_t low, int64_t high);

struct SearchResult {
    std::vector<int64_t> primes;   // increasing, at most the limit asked for
    bool limitReached = false;     // the interval holds at least one prime beyond them
};

// Every prime p with low <= p <= high, in increasing order, stopping at `limit` primes; when
// one more prime exists the search stops there with limitReached. Bounds outside [2, 10^18]
// are cut to it. The method depends on the square root of high, the results never do: up to
// 2^22 a segmented sieve on the wheel of 30 (a bit per number coprime to 30, pre-sieved
// patterns for 7 ... 53, unrolled wheel turns, the small primes in slices that stay in the
// level 1 cache); above that a pre-sieve with the primes below 2^20 leaves about 4 % of the
// numbers, which Miller-Rabin decides. Polls `progress` every few milliseconds, reports the
// position in the interval, and throws Cancelled when asked to stop.
SearchResult SearchPrimes(int64_t low, int64_t high, Progress& progress, std::size_t limit = MaxListed);

// Takes the next primes of a search, increasing, a batch at a time; returns false to stop it.
using PrimeTaker = std::function<bool(std::span<const int64_t>)>;
// The primes SearchPrimes lists, with no limit, handed over as they are found (a batch for each
// piece of the sieve) instead of gathered: the memory stays small for any interval.
void ForEachPrime(int64_t low, int64_t high, Progress& progress, const PrimeTaker& take);

// How many primes SearchPrimes would list: the smaller of the interval's prime count and
// `limit`, without a list. Large intervals on the wheel are counted in two halves at once, on
// this thread and one more; the progress and the cancel hold as for SearchPrimes.
int64_t CountPrimes(int64_t low, int64_t high, Progress& progress, std::size_t limit = SIZE_MAX);

// The number of non-empty parts for a count of listed primes: parts fill 32000 at a time.
int FilledPartsFor(std::size_t count);
// Part k (0-based) of the listed primes: entries [32000 k, 32000 (k + 1)) that exist.
std::span<const int64_t> PartOf(const std::vector<int64_t>& primes, int k);

// x rounded to the nearest whole number, a tie going to the even neighbour (18.5 -> 18).
long double RoundHalfEven(long double x);

// b / ln b - a / ln a rounded half to even, and 0 when that is negative or when any step
// fails (a or b not above 0, a logarithm of 0, a division by ln 1, an infinite or too large
// result for 64 bits).
int64_t PrimeCountEstimate(long double a, long double b);

// The positions i with value[i + 1] - value[i] = 2 in the whole list, borders of parts included.
int64_t CountTwinPairs(std::span<const int64_t> values);

// The same count over a list handed over in batches, as ForEachPrime hands it: the pair that
// spans two batches counts too.
class TwinPairTally {
public:
    void add(std::span<const int64_t> values);
    int64_t pairs() const { return pairs_; }

private:
    std::optional<int64_t> last_;
    int64_t pairs_ = 0;
};

// Everything the research summary of one search reports.
struct SummaryInput {
    std::string date, start, end, duration;   // as the locale writes them
    int64_t low = 0, high = 0;
    std::vector<int64_t> firstOfPart, lastOfPart;   // one pair per filled part
    int64_t total = 0;
    int64_t estimate = 0;
    std::optional<int64_t> twins;   // absent when the twin count is switched off
};
std::vector<std::string> SummaryLines(const SummaryInput& in);

// The estimation preview: the estimate, or nothing when a bound could not be read.
std::vector<std::string> PreviewLines(std::optional<int64_t> estimate);

// The name the save dialog proposes, and the six result file names for a chosen base.
std::string ProposedFileName(int64_t low, int64_t high);
std::string SummaryFileName(const std::string& base);
std::string PartFileName(const std::string& base, int part);   // part 1 ... 5

inline constexpr const char* CreditLine = "Created by Q.D.R";

}  // namespace search
