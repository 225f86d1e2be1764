// The divisor finder's engine: every divisor of a number up to 10^18 in increasing order,
// the divisor pairs of the tree, and the decimal texts the window shows and reads back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace divisors {

// The largest number searched: a greater one is searched as this.
inline constexpr int64_t kLimit = 1000000000000000000;

// Every divisor of n (1 and n included) in increasing order; empty for 0. Factors n first
// (Factor64), then merges the multiples of each prime into the sorted list, one pass per
// prime factor: about 2 ms for the 103680 divisors of 897612484786617600, 8 microseconds
// for the 361 of 10^18.
std::vector<uint64_t> SortedDivisors(uint64_t n);

// One top-level entry of the tree: a divisor e with e * e < W and its co-divisor W / e,
// or the square root of W (co-divisor equal to e, no child).
struct DivisorPair {
    uint64_t divisor;
    uint64_t coDivisor;
    bool squareRoot() const { return divisor == coDivisor; }
};

// The entries for W in increasing order of e, for 2 <= e <= sqrt(W); empty when W < 4 or
// W is prime. Their entry count (pairs twice, the square root once) is the number of
// divisors d with 1 < d < W.
std::vector<DivisorPair> DivisorPairs(int64_t w);

// The plain decimal text of a whole number: digits only, "-" when negative.
std::string WholeNumberText(int64_t value);

// What a search works on: the number as the field shows it afterwards, and the whole
// number W searched (the number rounded toward zero, at most kLimit; 0 for numbers
// below 2, which have no divisors between 1 and themselves).
struct Subject {
    std::string text;
    int64_t w = 0;
};

// A decimal integer, optionally signed, with nothing around it (the caller trims blanks),
// read exactly whatever its length; nullopt for any other text. A value beyond kLimit
// becomes kLimit.
std::optional<Subject> WholeSubject(std::string_view text);
// A finite number read as floating point; beyond kLimit it becomes kLimit.
Subject FloatSubject(long double value);

// A finite number in plain decimal, without exponent or trailing zeros: every digit of a
// whole number below 2^64; otherwise at most 15 significant digits (more when the whole
// part is longer, below 2^64 never showing a whole part other than the number's own).
std::string PlainNumberText(long double value);

// The exact product of two decimal integers (texts as WholeSubject accepts them, without
// the limit), as plain decimal text; nullopt when either text is not such an integer or
// the two have more than 4950 digits together (beyond any floating-point reading).
std::optional<std::string> ProductText(std::string_view a, std::string_view b);

// One entry of a divisor list file: its level in the tree (0 for top-level entries) and
// its text. Files hold one line per entry, in tree order, a child indented one step more
// than its parent.
struct ListEntry {
    int level;
    std::string text;
};

// Reads the lines of a list file (ended by CR, LF or CR LF; a last line may lack its end).
// Each tab or blank before a line's text counts as one step of depth. The first line is a
// top-level entry whatever its depth; a further line is the next sibling of the entry
// before it at equal depth, its child at one step more, the next sibling of that entry's
// ancestor at the line's depth when less. nullopt when a line is two or more steps deeper
// than the entry before it.
std::optional<std::vector<ListEntry>> ParseDivisorList(std::string_view content);

}  // namespace divisors
