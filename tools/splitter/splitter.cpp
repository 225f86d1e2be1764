// The Splitter's engine: the classic rho finder and the analysis of the three methods, with
// trial division, perfect powers, Brent's rho, ECM and the quadratic sieve behind it.
#include "tools/splitter/splitter.h"

#include <algorithm>

#include "numtheory/big.h"
#include "numtheory/prime64.h"
#include "numtheory/primes.h"
#include "tools/splitter/ecm.h"
#include "tools/splitter/rho.h"
#include "tools/splitter/siqs.h"

namespace splitter {

namespace {

using numtheory::BigBitLength;

bool magnitudeIs(const TBigInt& a, int64_t v) { return a.Digits[0] == 1 && a.Digits[1] == v; }

TBigInt absOf(const TBigInt& a) {
    TBigInt r;
    BigCopy(a, r);
    BigAbs(r);
    return r;
}

bool lessAbs(const TBigInt& a, const TBigInt& b) { return BigCompareAbs(a, b) == cmpLess; }

std::optional<TBigInt> trialDivision(const TBigInt& n, Progress& progress) {
    progress.report(-1, "Trial division");
    const std::span<const uint32_t> primes = numtheory::SmallPrimes();
    const bool word = BigBitLength(n) <= 64;
    const uint64_t value = word ? numtheory::BigToWords(n)[0] : 0;
    for (size_t i = 0; i < primes.size(); ++i) {
        const uint64_t p = primes[i];
        if (numtheory::BigResidue(n, p) == 0) {
            TBigInt d = BigFromInt((int64_t)p);
            if (BigCompareAbs(d, n) == cmpEqual) return std::nullopt;
            return d;
        }
        // Past the square root nothing divides a composite n.
        if (word && p * p > value) break;
        if ((i & 1023) == 0) progress.check();
    }
    return std::nullopt;
}

std::optional<TBigInt> perfectPower(const TBigInt& n) {
    const size_t bits = BigBitLength(n);
    for (uint32_t k : numtheory::SmallPrimes()) {
        if (k > bits) break;
        TBigInt r = IntegerRoot(n, k), e = BigFromInt(k), back;
        BigPower(r, e, back);
        if (BigCompareAbs(back, n) == cmpEqual && !magnitudeIs(r, 1)) return r;
    }
    return std::nullopt;
}

// Last resort for numbers wider than the fixed-width finders: classic rho runs with random
// parameters, until one splits or the user cancels.
std::optional<TBigInt> wideRho(const TBigInt& n, Progress& progress) {
    for (uint64_t c = 1;; ++c) {
        std::optional<TBigInt> g = RhoRunReference(n, BigFromInt((int64_t)c), BigFromInt(2),
                                                   uint64_t{1} << 20, progress);
        if (g && BigCompareAbs(*g, n) != cmpEqual) return g;
    }
}

}  // namespace

TBigInt IntegerRoot(const TBigInt& n, uint64_t k) { return numtheory::BigIntegerRoot(n, k); }

bool SplitWith(const TBigInt& n, const StrongOptions& options, TBigInt& divisor, std::string& used,
               Progress& progress) {
    auto take = [&](std::optional<TBigInt>& d, const char* name) {
        if (!d) return false;
        divisor = *d;
        used = name;
        return true;
    };
    std::optional<TBigInt> d;
    if (!BigIsOdd(n)) {
        d = BigFromInt(2);
        return take(d, "trial");
    }
    if (options.trial && (d = trialDivision(n, progress), take(d, "trial"))) return true;
    if (options.power && (d = perfectPower(n), take(d, "power"))) return true;
    const size_t bits = BigBitLength(n);
    if (bits > 704) {
        d = wideRho(n, progress);
        return take(d, "rho");
    }
    const double digits = (double)bits * 0.30103;
    if (options.rho) {
        // Up to 64 bits rho is the quickest way to the end; above, a short look for factors
        // below about 10^8.
        const uint64_t budget = bits <= 64 ? uint64_t{1} << 26 : uint64_t{1} << 12;
        for (uint64_t c = 1; c <= (bits <= 64 ? 8u : 1u); ++c)
            if ((d = BrentRho(n, c, 2, budget, progress), take(d, "rho"))) return true;
        if (bits <= 64 && !options.ecm && !options.siqs) return false;
    }
    uint32_t curve = 0;
    if (options.ecm) {
        struct Step { uint32_t b1, curves; };
        std::vector<Step> plan;
        // A short look for factors the sieve would take longer to find; below 34 digits the
        // sieve itself takes only milliseconds.
        if (!options.siqs || digits < 34) plan = {};
        else if (digits < 40) plan = {{600, 4}};
        else if (digits < 46) plan = {{2000, 6}};
        else plan = {{2000, 8}, {5000, 4}};
        for (const Step& s : plan)
            if ((d = Ecm(n, s.b1, uint64_t{s.b1} * 100, s.curves, curve, progress), take(d, "ecm"))) return true;
    }
    if (options.siqs && digits <= 62 && (d = Siqs(n, progress), take(d, "siqs"))) return true;
    if (!options.ecm) return false;
    // ECM with growing bounds until a factor turns up or the user cancels.
    for (uint32_t b1 = 2000;; b1 = std::min<uint32_t>(b1 * 2, 3000000))
        if ((d = Ecm(n, b1, uint64_t{b1} * 100, 20, curve, progress), take(d, "ecm"))) return true;
}

std::vector<TBigInt> FactorStrong(const TBigInt& n, Progress& progress) {
    std::vector<TBigInt> primes, work{absOf(n)};
    while (!work.empty()) {
        TBigInt m = work.back();
        work.pop_back();
        if (magnitudeIs(m, 1)) continue;
        if (BigIsPrime(m)) {
            primes.push_back(m);
            continue;
        }
        TBigInt d, q;
        std::string used;
        SplitWith(m, StrongOptions{}, d, used, progress);
        BigDivide(m, d, q);
        work.push_back(d);
        work.push_back(q);
    }
    std::sort(primes.begin(), primes.end(), lessAbs);
    return primes;
}

namespace {

// One analysis: the primes found by the stronger methods are kept, so that each composite
// is split by them only once.
class Finder {
public:
    explicit Finder(Progress& progress) : progress_(progress) {}

    void find(const TBigInt& N, const TBigInt& C, const TBigInt& X0, TBigInt& F, int restarts = 0) {
        const TBigInt n = absOf(N);
        progress_.report(-1, "Rho");
        std::optional<TBigInt> g = BigIsOdd(n) ? RhoRunFast(n, C, X0, kRhoRunBudget, progress_)
                                               : RhoRunReference(n, C, X0, kRhoRunBudget, progress_);
        if (g) {
            if (magnitudeIs(*g, 4)) {
                F = BigFromInt(2);
                return;
            }
            if (BigIsPrime(*g)) {
                F = *g;
                return;
            }
            // A composite divisor, or N itself: again on it with fresh random parameters.
            if (restarts < 8) {
                TBigInt two = BigFromInt(2), p32, p31, r, c, x0, sixteen = BigFromInt(16);
                BigPower(two, BigFromInt(32), p32);
                BigPower(two, BigFromInt(31), p31);
                BigRandom(p32, r);
                BigSub(r, sixteen, c);
                BigRandom(p31, x0);
                find(*g, c, x0, F, restarts + 1);
                return;
            }
            strong(*g, F);
            return;
        }
        strong(n, F);
    }

private:
    // The smallest prime factor of n by the stronger methods.
    void strong(const TBigInt& n, TBigInt& F) {
        for (const TBigInt& p : known_) {
            TBigInt q, r;
            BigDivMod(n, p, q, r);
            if (BigIsZero(r)) {
                F = p;
                return;
            }
        }
        std::vector<TBigInt> primes = FactorStrong(n, progress_);
        for (const TBigInt& p : primes) known_.push_back(p);
        F = primes.front();
    }

    Progress& progress_;
    std::vector<TBigInt> known_;
};

std::string text(const TBigInt& a) { return BigToDecimal(a); }

}  // namespace

void FindPrimeFactor(const TBigInt& N, const TBigInt& C, const TBigInt& X0, TBigInt& F,
                     Progress& progress) {
    // 0, 1 and -1 have no prime divisor to find.
    if (BigCompareAbs(N, BigFromInt(2)) == cmpLess) {
        F = absOf(N);
        return;
    }
    const BigPollScope poll([&progress] { progress.check(); });
    Finder(progress).find(N, C, X0, F);
}

SplitterResult Analyse(SplitterMethod method, const TBigInt& N, bool mathExpression,
                       Progress& progress) {
    SplitterResult result;
    const bool negative = N.Sign == Negative && !BigIsZero(N);
    TBigInt n = absOf(N);
    const TBigInt minusOne = BigFromInt(-1), three = BigFromInt(3), one = BigFromInt(1);
    // The primality tests of a huge number take long: a cancel stops them too.
    const BigPollScope poll([&progress] { progress.check(); });
    // 0 and 1 have no prime factor: no factor rows (-1 keeps its sign), no sample factor.
    const bool unit = BigCompareAbs(n, BigFromInt(2)) == cmpLess;
    switch (method) {
        case SplitterMethod::CompleteFactorization: {
            if (unit) {
                if (negative) result.rows.push_back({"Sign", "-1"});
                if (mathExpression && negative) result.expression = "-1";
                break;
            }
            Finder finder(progress);
            std::vector<std::string> list;
            while (!BigIsPrime(n)) {
                TBigInt f, q;
                finder.find(n, minusOne, three, f);
                if (BigCompareAbs(f, one) != cmpGreater) break;
                BigDivide(n, f, q);
                n = q;
                list.push_back(text(f));
            }
            if (BigCompareAbs(n, one) == cmpGreater) list.push_back(text(n));
            if (negative) result.rows.push_back({"Sign", "-1"});
            for (size_t i = 0; i < list.size(); ++i) {
                TBigInt back;
                BigFromDecimal(list[i], back);
                result.rows.push_back({"factor" + std::to_string(i + 1) + " is " +
                                           (BigIsPrime(back) ? "Prime" : "Composite"),
                                       list[i]});
            }
            if (mathExpression) {
                std::string e = negative ? "-1" : "";
                for (const std::string& f : list) e += (e.empty() ? "" : "*") + f;
                result.expression = e;
            }
            break;
        }
        case SplitterMethod::SampleFactor: {
            if (unit) break;
            // A prime is its own prime divisor.
            TBigInt f = n;
            if (!BigIsPrime(n)) Finder(progress).find(n, minusOne, three, f);
            result.rows.push_back({BigIsPrime(f) ? "Factor is Prime" : "Factor is Composite", text(f)});
            if (mathExpression) result.expression = text(f) + " * Other factor";
            break;
        }
        case SplitterMethod::PrimeGenerator: {
            TBigInt p, d;
            // Below 2 the next prime is 2, which the search from N + 1 would pass over for N = 1.
            if (N.Sign == Negative || unit) {
                p = BigFromInt(2);
            } else {
                BigAdd(N, one, p);
                BigNextPrime(p);
            }
            BigSub(p, N, d);
            result.rows.push_back({"Next prime is", text(p)});
            if (mathExpression) result.expression = text(p);
            result.rows.push_back({"Difference", text(d)});
            break;
        }
    }
    return result;
}

std::vector<std::string> SortedFactors(const SplitterResult& factorization) {
    std::vector<std::string> sign;
    std::vector<TBigInt> factors;
    for (const SplitterRow& row : factorization.rows) {
        if (row.key == "Sign") {
            sign.push_back(row.value);
            continue;
        }
        TBigInt f;
        BigFromDecimal(row.value, f);
        factors.push_back(std::move(f));
    }
    std::stable_sort(factors.begin(), factors.end(), lessAbs);
    for (const TBigInt& f : factors) sign.push_back(text(f));
    return sign;
}

std::vector<std::string> FactorLine(const TBigInt& N, Progress& progress) {
    const int64_t n = N.Digits[0];
    if (n > 3 || (n == 3 && N.Digits[3] >= 4))
        return SortedFactors(Analyse(SplitterMethod::CompleteFactorization, N, false, progress));
    const uint64_t magnitude = numtheory::DigitsLow64(N.Digits.data() + 1, (size_t)n);
    std::vector<std::string> line;
    if (N.Sign == Negative && magnitude != 0) line.push_back("-1");
    for (uint64_t p : numtheory::Factor64(magnitude)) line.push_back(std::to_string(p));
    return line;
}

}  // namespace splitter
