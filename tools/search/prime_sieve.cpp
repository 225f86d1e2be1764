// The primes of an interval: segmented sieve of Eratosthenes over odd numbers, and a
// pre-sieve plus Miller-Rabin where the square root of the top is too large to sieve to.
#include <algorithm>
#include <array>
#include <initializer_list>
#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "bigint/progress.h"
#include "tools/search/search_engine.h"

namespace search {

namespace {

using u64 = uint64_t;
__extension__ typedef unsigned __int128 u128;

// ---- Miller-Rabin in Montgomery form (R = 2^64), for odd n < 2^63 ----

struct Montgomery {
    u64 n, negInv, one, minusOne;

    explicit Montgomery(u64 modulus) : n(modulus) {
        u64 inv = n;   // Newton's iteration doubles the correct low bits: 5 steps reach 64
        for (int i = 0; i < 5; ++i) inv *= 2 - n * inv;
        negInv = 0 - inv;
        one = (u64)(((u128)1 << 64) % n);
        minusOne = n - one;
    }
    // T < n * 2^64 keeps T + m n below 2^128 since n < 2^63.
    u64 reduce(u128 t) const {
        const u64 m = (u64)t * negInv;
        const u64 r = (u64)((t + (u128)m * n) >> 64);
        return r >= n ? r - n : r;
    }
    u64 mul(u64 a, u64 b) const { return reduce((u128)a * b); }
    u64 to(u64 a) const { return (u64)(((u128)a << 64) % n); }
};

bool strongProbablePrime(const Montgomery& m, u64 base, u64 d, int s) {
    base %= m.n;
    if (base == 0) return true;   // a base that is a multiple of n says nothing
    u64 x = m.one, b = m.to(base);
    for (u64 e = d; e; e >>= 1) {
        if (e & 1) x = m.mul(x, b);
        b = m.mul(b, b);
    }
    if (x == m.one || x == m.minusOne) return true;
    for (int i = 1; i < s; ++i) {
        x = m.mul(x, x);
        if (x == m.minusOne) return true;
        if (x == m.one) return false;
    }
    return false;
}

// n odd, n > 37 and free of factors below 40.
bool millerRabin(u64 n) {
    const Montgomery m(n);
    u64 d = n - 1;
    const int s = std::countr_zero(d);
    d >>= s;
    // {2, 7, 61} leaves no strong pseudoprime below 4759123141; the seven bases of Jim
    // Sinclair none below 2^64.
    if (n < 4759123141ULL) {
        for (u64 a : {2ULL, 7ULL, 61ULL})
            if (!strongProbablePrime(m, a, d, s)) return false;
        return true;
    }
    for (u64 a : {2ULL, 325ULL, 9375ULL, 28178ULL, 450775ULL, 9780504ULL, 1795265022ULL})
        if (!strongProbablePrime(m, a, d, s)) return false;
    return true;
}

constexpr std::array<unsigned, 11> smallPrimes{3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};

// ---- sieve pieces ----

u64 isqrt(u64 n) {
    u64 r = (u64)std::sqrt((double)n);
    while (r * r > n) --r;
    while ((r + 1) * (r + 1) <= n) ++r;
    return r;
}

// Odd numbers are indexed by g = n >> 1 (n = 2 g + 1). A pattern holds, for every g modulo the
// product of a few small primes, whether 2 g + 1 is free of them, plus two words of
// wrap-around so that any 64 bits can be read from any offset. ANDing four such patterns
// removes every multiple of 3 ... 47 at a few operations per 64 numbers, instead of the
// twenty single bit clearings they would cost.
struct Pattern {
    u64 period = 1;
    std::vector<u64> words;
    std::vector<u64> primes;

    explicit Pattern(std::initializer_list<u64> ps) : primes(ps) {
        for (u64 p : primes) period *= p;
        words.assign(period / 64 + 3, 0);
        for (u64 g = 0; g < period + 128; ++g) {
            const u64 r = g % period;
            bool free = true;
            for (u64 p : primes)
                if (r % p == (p - 1) / 2) free = false;
            if (free) words[g / 64] |= u64(1) << (g % 64);
        }
    }
    u64 at(u64 offset) const {
        const u64 w = offset / 64, b = offset % 64;
        return b == 0 ? words[w] : (words[w] >> b) | (words[w + 1] << (64 - b));
    }
};

const std::array<Pattern, 4>& patterns() {
    static const std::array<Pattern, 4> p{Pattern{3, 5, 7, 11, 13}, Pattern{17, 19, 23}, Pattern{29, 31, 37},
                                          Pattern{41, 43, 47}};   // built once, thread-safe
    return p;
}
constexpr u64 largestPatternPrime = 47;

constexpr u64 segmentBits = u64(1) << 19;      // 32 KiB of bits: 2^19 numbers per segment
constexpr u64 sieveRootLimit = u64(1) << 22;   // sieve fully when sqrt(high) is at most this
constexpr u64 preSieveLimit = u64(1) << 20;    // otherwise pre-sieve to here, then Miller-Rabin

// Sieves the odd numbers of [lo, hi] (lo odd, 3 <= lo <= hi) with 3 ... 47 and the odd primes
// of `base` (every odd prime up to some bound, increasing) and hands each segment's words to
// `emit(firstIndex, words, count)`; a set bit j of word w stands for 2 (firstIndex + 64 w + j) + 1,
// a number free of every prime used or one of those primes itself. emit returns false
// to stop.
template <typename Emit>
void sieveOdd(u64 lo, u64 hi, const std::vector<uint32_t>& base, Progress* progress, Emit&& emit) {
    const u64 firstIndex = lo >> 1, lastIndex = (hi - 1) >> 1;
    const auto& pats = patterns();

    // First index of each further sieving prime, relative to the current segment.
    const std::size_t bigStart = std::size_t(
        std::find_if(base.begin(), base.end(), [](uint32_t p) { return p > largestPatternPrime; }) - base.begin());
    std::vector<u64> next;
    next.reserve(base.size() - bigStart);
    for (std::size_t i = bigStart; i < base.size(); ++i) {
        const u64 p = base[i];
        u64 m = std::max(p * p, (lo + p - 1) / p * p);
        if (m % 2 == 0) m += p;
        next.push_back((m >> 1) - firstIndex);
    }

    std::vector<u64> bits(segmentBits / 64);
    for (u64 segStart = firstIndex; segStart <= lastIndex; segStart += segmentBits) {
        if (progress) progress->check();
        const u64 nbits = std::min(segmentBits, lastIndex - segStart + 1);
        const u64 nwords = (nbits + 63) / 64;

        // The multiples of 3 ... 47 by the patterns (beyond base they only remove composites).
        std::fill(bits.begin(), bits.begin() + (std::ptrdiff_t)nwords, ~u64(0));
        for (const Pattern& pat : pats) {
            u64 off = segStart % pat.period;
            const u64 period = pat.period;
            for (u64 w = 0; w < nwords; ++w) {
                bits[w] &= pat.at(off);
                off += 64;
                if (off >= period) off -= period;
            }
        }
        // The patterns crossed out their own primes.
        for (const Pattern& pat : pats)
            for (u64 p : pat.primes) {
                const u64 g = p >> 1;
                if (p >= lo && p <= hi && g >= segStart && g < segStart + nbits)
                    bits[(g - segStart) / 64] |= u64(1) << ((g - segStart) % 64);
            }
        if (nbits % 64) bits[nwords - 1] &= (u64(1) << (nbits % 64)) - 1;

        // Every further sieving prime from its next odd multiple on.
        u64* const b = bits.data();
        for (std::size_t i = 0; i < next.size(); ++i) {
            u64 j = next[i];
            if (j < nbits) {
                const u64 p = base[bigStart + i];
                // Four independent clearings per round keep the loop overhead off the stores.
                for (const u64 p3 = 3 * p; j + p3 < nbits; j += 4 * p) {
                    b[j / 64] &= ~(u64(1) << (j % 64));
                    b[(j + p) / 64] &= ~(u64(1) << ((j + p) % 64));
                    b[(j + 2 * p) / 64] &= ~(u64(1) << ((j + 2 * p) % 64));
                    b[(j + p3) / 64] &= ~(u64(1) << ((j + p3) % 64));
                }
                for (; j < nbits; j += p) b[j / 64] &= ~(u64(1) << (j % 64));
            }
            next[i] = j - nbits;   // may wrap after the last segment; never read again then
        }
        if (!emit(segStart, (const u64*)b, nwords)) return;
    }
}

// The odd primes 3 ... limit (limit at most 2^22): a plain sieve up to its square root, and
// the segmented one above.
std::vector<uint32_t> oddPrimesUpTo(u64 limit) {
    std::vector<uint32_t> small;
    const u64 root = isqrt(limit);
    for (u64 n = 3; n <= std::max<u64>(root, largestPatternPrime); n += 2) {
        bool prime = true;
        for (u64 d = 3; d * d <= n; d += 2)
            if (n % d == 0) prime = false;
        if (prime) small.push_back((uint32_t)n);
    }
    std::vector<uint32_t> primes;
    if (limit < 3) return primes;
    // pi(x) < x / (ln x - 1.1) for x >= 60; below that 17 odd primes at most.
    primes.reserve(limit < 60 ? 17 : std::size_t((double)limit / (std::log((double)limit) - 1.1)) + 16);
    sieveOdd(3, limit, small, nullptr, [&](u64 segStart, const u64* words, u64 nwords) {
        for (u64 w = 0; w < nwords; ++w)
            for (u64 word = words[w]; word; word &= word - 1)
                primes.push_back((uint32_t)(2 * (segStart + w * 64 + (u64)std::countr_zero(word)) + 1));
        return true;
    });
    return primes;
}

}  // namespace

bool IsPrime64(int64_t n) {
    if (n < 2) return false;
    const u64 u = (u64)n;
    if (u % 2 == 0) return u == 2;
    for (unsigned p : smallPrimes) {
        if (u == p) return true;
        if (u % p == 0) return false;
    }
    if (u < 41 * 41) return true;
    return millerRabin(u);
}

SearchResult SearchPrimes(int64_t lowIn, int64_t highIn, Progress& progress, std::size_t limit) {
    SearchResult result;
    const int64_t low = std::max<int64_t>(lowIn, 2), high = std::min<int64_t>(highIn, MaxHigh);
    if (low > high) return result;
    std::vector<int64_t>& out = result.primes;
    // One slot beyond the limit: a prime found there only tells that the limit was passed.
    const std::size_t cap = std::min<u64>(limit + 1, (u64)(high - low) / 2 + 2);
    out.reserve(std::min<std::size_t>(cap, MaxListed + 1));   // larger limits grow as needed
    const auto finish = [&] {
        result.limitReached = out.size() > limit;
        if (result.limitReached) out.pop_back();
    };
    if (low == 2) out.push_back(2);
    if (out.size() == cap) {
        finish();
        return result;
    }

    const u64 lo = (u64)std::max<int64_t>(low, 3) | 1;   // first odd candidate
    const u64 hi = (u64)high;
    if (lo > hi) {
        finish();
        return result;
    }

    const u64 root = isqrt(hi);
    const bool full = root <= sieveRootLimit;
    // Small intervals high up need fewer sieving primes: Miller-Rabin decides anyway.
    const u64 sieveTo = full ? root : std::min(preSieveLimit, std::max<u64>(4096, (hi - lo) / 4));
    const std::vector<uint32_t> base = oddPrimesUpTo(sieveTo);

    const double span = (double)(hi - lo) + 1;
    const auto report = [&](u64 n) {
        const double where = (double)(n - lo) / span;
        const double filled = (double)out.size() / (double)(limit + 1);
        progress.report(std::max(where, filled));
    };
    unsigned tested = 0;
    sieveOdd(lo, hi, base, &progress, [&](u64 segStart, const u64* words, u64 nwords) {
        report(2 * segStart + 1);
        const u64 g0 = 2 * segStart + 1;
        for (u64 w = 0; w < nwords; ++w) {
            u64 word = words[w];
            if (full) {
                // Every set bit is a prime; room for a whole word is checked once per word.
                const u64 n0 = g0 + 128 * w;
                if (out.size() + 64 <= cap) {
                    for (; word; word &= word - 1) out.push_back((int64_t)(n0 + 2 * (u64)std::countr_zero(word)));
                    continue;
                }
                for (; word; word &= word - 1) {
                    out.push_back((int64_t)(n0 + 2 * (u64)std::countr_zero(word)));
                    if (out.size() == cap) return false;
                }
                continue;
            }
            for (; word; word &= word - 1) {
                const u64 n = g0 + 128 * w + 2 * (u64)std::countr_zero(word);
                if (++tested % 512 == 0) {
                    progress.check();
                    report(n);
                }
                // A sieving prime itself is never crossed out and is prime.
                if (n > sieveTo && !millerRabin(n)) continue;
                out.push_back((int64_t)n);
                if (out.size() == cap) return false;
            }
        }
        return true;
    });
    finish();
    return result;
}

}  // namespace search
