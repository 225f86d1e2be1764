// The Splitter's engine: complete factorization, one prime factor or the next prime of a
// number. The rho finder runs first, exactly in its classic form, so the factors it finds
// come in its order; what it does not split within a small budget goes on to trial division,
// ECM and the quadratic sieve.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bigint/bigint.h"
#include "core/progress.h"

namespace splitter {

// Iterations of a rho run before the stronger methods take over.
inline constexpr uint64_t kRhoRunBudget = 16384;

// A prime divisor F of the composite N (in the sense of BigIsPrime; the magnitude is used):
// a rho run x -> x^2 + C from X0; a run ending on a composite divisor or on N itself starts
// again on it with random parameters; what no run splits within its budget is split by the
// stronger methods. Throws Cancelled when progress is cancelled. For |N| below 2, which has no
// prime divisor, F is |N|.
void FindPrimeFactor(const TBigInt& N, const TBigInt& C, const TBigInt& X0, TBigInt& F,
                     Progress& progress);

enum class SplitterMethod { CompleteFactorization = 0, SampleFactor = 1, PrimeGenerator = 2 };

struct SplitterRow {
    std::string key, value;
};

struct SplitterResult {
    std::vector<SplitterRow> rows;
    std::string expression;  // empty unless asked for
};

// The analysis of N by one method. A negative N is -1 times its magnitude: the factorization
// gets a first row "Sign" = "-1" and the expression starts with "-1*"; a sample factor is one
// of the magnitude; the next prime after a number below 2 is 2. 0, 1 and -1 have no prime
// factor: no factor rows and no sample factor (-1 keeps its "Sign" row and the expression
// "-1"). A cancel is noticed in every stage, the primality tests of huge numbers included.
SplitterResult Analyse(SplitterMethod method, const TBigInt& N, bool mathExpression,
                       Progress& progress);

// The factors of a complete factorization's rows in increasing order, repeats kept, "-1"
// first for a negative number: the line the factor command prints after "N:".
std::vector<std::string> SortedFactors(const SplitterResult& factorization);

// The same list for N itself: numbers below 2^64 in magnitude go to the exact 64-bit
// factorization, which finds the same primes in microseconds; larger ones to the complete
// factorization. Throws Cancelled when progress is cancelled.
std::vector<std::string> FactorLine(const TBigInt& N, Progress& progress);


// Every prime factor of |n| > 1 with multiplicity, ascending, by the stronger methods alone
// (no classic rho run); for tests of those methods and the benchmarks.
std::vector<TBigInt> FactorStrong(const TBigInt& n, Progress& progress);

// The stronger methods a split may use (all by default; tests switch them one by one).
struct StrongOptions {
    bool trial = true, power = true, rho = true, ecm = true, siqs = true;
};
// A divisor strictly between 1 and n of the composite n > 3 using only the enabled methods;
// `used` names the one that succeeded: "trial", "power", "rho", "ecm" or "siqs". False when
// those methods gave up (with ECM enabled it does not give up: it runs until cancelled).
bool SplitWith(const TBigInt& n, const StrongOptions& options, TBigInt& divisor, std::string& used,
               Progress& progress);

// floor(|n|^(1/k)) for k >= 1, any k (1 for |n| >= 1 as soon as 2^k exceeds |n|).
TBigInt IntegerRoot(const TBigInt& n, uint64_t k);

}  // namespace splitter
