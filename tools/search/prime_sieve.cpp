// The primes of an interval: segmented sieves of Eratosthenes (on the wheel of 30 for small
// square roots, over odd numbers above), and a pre-sieve plus Miller-Rabin where the square
// root of the top is too large to sieve to.
#include <algorithm>
#include <array>
#include <bit>
#include <initializer_list>
#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <type_traits>

#include "core/progress.h"
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

constexpr u64 segmentBits = u64(1) << 20;      // 128 KiB of bits (L2): 2^21 numbers per segment
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

    std::vector<u64> bits(segmentBits / 64 + 1);   // the last word takes the misses of the large primes
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
        // Primes of at least a segment's length cross at most once per segment: without a
        // branch, a miss clears a bit of the spare word behind the segment instead.
        const std::size_t large = std::size_t(
            std::lower_bound(base.begin() + (std::ptrdiff_t)bigStart, base.end(), (uint32_t)std::min<u64>(nbits, UINT32_MAX)) -
            base.begin()) - bigStart;
        const u64 spare = segmentBits;
        for (std::size_t i = large; i < next.size(); ++i) {
            const u64 j = next[i];
            const bool hit = j < nbits;
            const u64 at = hit ? j : spare;
            b[at / 64] &= ~(u64(1) << (at % 64));
            next[i] = j + (hit ? base[bigStart + i] : 0) - nbits;
        }
        for (std::size_t i = 0; i < large; ++i) {
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

// ---- the wheel of 30 for the full sieve ----
//
// Byte q stands for the eight numbers 30 q + 1, 7, 11, 13, 17, 19, 23, 29 (bit i for residue
// R[i]): a bit per number coprime to 30, so 3.75 numbers a bit instead of the 2 of the odd-only
// sieve, and fewer crossings for every prime. A prime p = 30 a + b crosses out p k for k
// coprime to 30; one turn of the wheel (k to k + 30) moves p bytes on and clears the same
// eight bits of eight bytes at fixed distances, which the unrolled loop below does at two
// instructions a crossing.
constexpr std::array<u64, 8> wheelResidue{1, 7, 11, 13, 17, 19, 23, 29};
constexpr std::array<u64, 8> wheelGap{6, 4, 2, 4, 2, 4, 6, 2};   // to the next residue, 29 -> 31

constexpr int residueIndex(u64 r) {
    for (int i = 0; i < 8; ++i)
        if (wheelResidue[i] == r) return i;
    return -1;
}

struct WheelTables {
    uint8_t bit[8][8];     // [class of p][wheel index of k]: bit of p k in its byte
    uint8_t carry[8][8];   // bytes gained beyond a * gap on the step to the next k
    uint8_t cum[8][8];     // carries summed from wheel index 0 up to (not including) j
};

constexpr WheelTables makeWheelTables() {
    WheelTables t{};
    for (int c = 0; c < 8; ++c) {
        const u64 b = wheelResidue[c];
        unsigned sum = 0;
        for (int j = 0; j < 8; ++j) {
            const u64 f = b * wheelResidue[j] % 30;
            t.bit[c][j] = (uint8_t)residueIndex(f);
            t.carry[c][j] = (uint8_t)((f + b * wheelGap[j]) / 30);
            t.cum[c][j] = (uint8_t)sum;
            sum += t.carry[c][j];
        }
    }
    return t;
}
constexpr WheelTables wheel = makeWheelTables();

// For r = n mod 30: the wheel index of r (or -1), and how far n is from the next number coprime to 30.
struct ResidueTables {
    int8_t index[30];
    uint8_t toNext[30];
};
constexpr ResidueTables makeResidueTables() {
    ResidueTables t{};
    for (int r = 0; r < 30; ++r) {
        t.index[r] = (int8_t)residueIndex((u64)r);
        int d = 0;
        while (residueIndex((u64)((r + d) % 30)) < 0) ++d;
        t.toNext[r] = (uint8_t)d;
    }
    return t;
}
constexpr ResidueTables residues = makeResidueTables();

// Byte patterns: bit i of byte q is set when 30 q + R[i] has none of the primes as a factor.
struct BytePattern {
    u64 period = 1;
    std::vector<uint8_t> bytes;
    std::vector<u64> primes;
    explicit BytePattern(std::initializer_list<u64> ps) : primes(ps) {
        for (u64 p : primes) period *= p;
        bytes.assign(period + 8, 0);
        for (u64 q = 0; q < period + 8; ++q)
            for (int i = 0; i < 8; ++i) {
                const u64 n = 30 * (q % period) + wheelResidue[i];
                bool free = true;
                for (u64 p : primes)
                    if (n % p == 0) free = false;
                if (free) bytes[q] |= uint8_t(1u << i);
            }
    }
};

const std::array<BytePattern, 4>& bytePatterns() {
    static const std::array<BytePattern, 4> p{BytePattern{7, 11, 13, 17}, BytePattern{19, 23, 29},
                                              BytePattern{31, 37, 41}, BytePattern{43, 47, 53}};
    return p;
}
constexpr u64 largestBytePatternPrime = 53;

// Whole turns of the wheel for a prime of class C from wheel index 0, while all eight bytes
// of the turn lie before `end`.
template <int C>
void crossTurns(uint8_t* s, u64& q, u64 a, u64 end) {
    const u64 p = 30 * a + wheelResidue[C];
    const u64 o1 = a * 6 + wheel.cum[C][1], o2 = a * 10 + wheel.cum[C][2], o3 = a * 12 + wheel.cum[C][3],
              o4 = a * 16 + wheel.cum[C][4], o5 = a * 18 + wheel.cum[C][5], o6 = a * 22 + wheel.cum[C][6],
              o7 = a * 28 + wheel.cum[C][7];
    for (; q + o7 < end; q += p) {
        s[q] &= (uint8_t)~(1u << wheel.bit[C][0]);
        s[q + o1] &= (uint8_t)~(1u << wheel.bit[C][1]);
        s[q + o2] &= (uint8_t)~(1u << wheel.bit[C][2]);
        s[q + o3] &= (uint8_t)~(1u << wheel.bit[C][3]);
        s[q + o4] &= (uint8_t)~(1u << wheel.bit[C][4]);
        s[q + o5] &= (uint8_t)~(1u << wheel.bit[C][5]);
        s[q + o6] &= (uint8_t)~(1u << wheel.bit[C][6]);
        s[q + o7] &= (uint8_t)~(1u << wheel.bit[C][7]);
    }
}

struct WheelPrime {
    u64 q;          // byte of the next multiple, relative to the current segment
    uint32_t a;     // p / 30
    uint8_t cls;    // index of p mod 30
    uint8_t wi;     // wheel index of the next multiplier k
};

constexpr u64 wheelSegmentBytes = u64(1) << 17;   // 128 KiB (L2): about four million numbers
// Above this square root the many large sieving primes cross at most a few times per segment,
// one table step each, and the odd-only sieve with its plain additions measures faster.
constexpr u64 wheelRootLimit = u64(1) << 17;

// Every prime of [lo, hi] (7 <= lo <= hi, sqrt(hi) at most 2^17) with the odd primes up to
// sqrt(hi) in `base`; emit(firstByte, words, count) gets each segment as 64-bit words whose bit
// 8 j + i stands for 30 (firstByte + j) + R[i]. emit returns false to stop.
template <typename Emit>
void wheelSieve(u64 lo, u64 hi, const std::vector<uint32_t>& base, Progress& progress, Emit&& emit) {
    const u64 firstByte = lo / 30, lastByte = hi / 30;
    std::vector<WheelPrime> primes;
    primes.reserve(base.size());
    for (uint32_t p32 : base) {
        const u64 p = p32;
        if (p <= largestBytePatternPrime) continue;
        u64 k = std::max(p, (lo + p - 1) / p);
        k += residues.toNext[k % 30];   // the first multiplier coprime to 30
        const u64 m = p * k;
        primes.push_back({m / 30 - firstByte, (uint32_t)(p / 30), (uint8_t)residues.index[p % 30],
                          (uint8_t)residues.index[k % 30]});
    }
    const auto& pats = bytePatterns();
    std::vector<u64> words(wheelSegmentBytes / 8 + 1);
    auto* s = reinterpret_cast<uint8_t*>(words.data());

    for (u64 segByte = firstByte; segByte <= lastByte; segByte += wheelSegmentBytes) {
        progress.check();
        const u64 nbytes = std::min(wheelSegmentBytes, lastByte - segByte + 1);
        const u64 nwords = (nbytes + 7) / 8;
        // All patterns in one pass: each word is written once.
        {
            constexpr std::size_t np = std::tuple_size_v<std::decay_t<decltype(pats)>>;
            const uint8_t* src[np];
            u64 off[np], period[np];
            for (std::size_t k = 0; k < np; ++k) {
                src[k] = pats[k].bytes.data();
                period[k] = pats[k].period;
                off[k] = segByte % period[k];
            }
            for (u64 w = 0; w < nwords; ++w) {
                u64 x = ~u64(0);
                for (std::size_t k = 0; k < np; ++k) {
                    u64 y;
                    std::memcpy(&y, src[k] + off[k], 8);
                    x &= y;
                    off[k] += 8;
                    if (off[k] >= period[k]) off[k] -= period[k];
                }
                words[w] = x;
            }
        }
        // The patterns crossed out their own primes; 1 is no prime; nothing outside [lo, hi].
        for (const BytePattern& pat : pats)
            for (u64 p : pat.primes)
                if (p >= lo && p <= hi && p / 30 >= segByte && p / 30 < segByte + nbytes)
                    s[p / 30 - segByte] |= uint8_t(1u << residues.index[p % 30]);
        for (int i = 0; i < 8; ++i) {
            const u64 n0 = 30 * segByte + wheelResidue[i];
            if (n0 < lo || n0 == 1) s[0] &= (uint8_t)~(1u << i);
            const u64 n1 = 30 * (segByte + nbytes - 1) + wheelResidue[i];
            if (n1 > hi) s[nbytes - 1] &= (uint8_t)~(1u << i);
        }
        for (u64 b = nbytes; b < nwords * 8; ++b) s[b] = 0;

        for (WheelPrime& wp : primes) {
            u64 q = wp.q;
            if (q < nbytes) {
                const u64 a = wp.a;
                const int c = wp.cls;
                int wi = wp.wi;
                const auto step = [&] {
                    s[q] &= (uint8_t)~(1u << wheel.bit[c][wi]);
                    q += a * wheelGap[wi] + wheel.carry[c][wi];
                    wi = (wi + 1) & 7;
                };
                while (wi != 0 && q < nbytes) step();
                if (wi == 0 && q < nbytes) {
                    switch (c) {
                    case 0: crossTurns<0>(s, q, a, nbytes); break;
                    case 1: crossTurns<1>(s, q, a, nbytes); break;
                    case 2: crossTurns<2>(s, q, a, nbytes); break;
                    case 3: crossTurns<3>(s, q, a, nbytes); break;
                    case 4: crossTurns<4>(s, q, a, nbytes); break;
                    case 5: crossTurns<5>(s, q, a, nbytes); break;
                    case 6: crossTurns<6>(s, q, a, nbytes); break;
                    default: crossTurns<7>(s, q, a, nbytes); break;
                    }
                }
                while (q < nbytes) step();
                wp.wi = (uint8_t)wi;
            }
            wp.q = q - nbytes;   // may wrap after the last segment; never read again then
        }
        if (!emit(segByte, (const u64*)words.data(), nwords)) return;
    }
}

// 30 (t / 8) + R[t % 8] for each bit t of a word; entry 64 (the count of trailing zeros of an
// empty word) gives a harmless value for the stores past a word's last prime.
constexpr std::array<uint8_t, 65> makeBitOffsets() {
    std::array<uint8_t, 65> t{};
    for (int i = 0; i < 64; ++i) t[i] = (uint8_t)(30 * (i / 8) + wheelResidue[i % 8]);
    return t;
}
constexpr std::array<uint8_t, 65> wheelBitOffset = makeBitOffsets();
// Stores per word of the wheel without a branch: about the primes of 240 numbers near 10^6;
// denser words go on one by one, sparser ones store a few values that the next word overwrites.
constexpr std::size_t wheelStoreRun = 16;

// The baseline x86-64 has no population count instruction; this takes a dozen plain ones.
inline int popcount64(u64 x) {
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fULL;
    return (int)((x * 0x0101010101010101ULL) >> 56);
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
    // No interval holds more primes than half its numbers plus two, so a larger limit (up to
    // SIZE_MAX, no limit at all) changes nothing.
    const u64 most = (u64)(high - low) / 2 + 2;
    const std::size_t cap = limit < most ? limit + 1 : most;
    // Room for the limit and the slack of the wheel's stores below; larger limits grow as needed.
    out.reserve(std::min<std::size_t>(cap, MaxListed + 1) + wheelStoreRun);
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
        const double filled = (double)out.size() / ((double)limit + 1);
        progress.report(std::max(where, filled));
    };
    if (full && root <= wheelRootLimit) {
        // 3 and 5 lie off the wheel; the wheel takes 7 and up.
        for (u64 p : {3, 5})
            if (p >= lo && p <= hi) {
                out.push_back((int64_t)p);
                if (out.size() == cap) {
                    finish();
                    return result;
                }
            }
        const u64 from = std::max<u64>(lo, 7);
        if (from > hi) {
            finish();
            return result;
        }
        // Written by index with some slack at the end: each word's primes go in by a fixed run
        // of stores, with no branch on how many there are.
        constexpr std::size_t run = wheelStoreRun;
        std::size_t count = out.size();
        wheelSieve(from, hi, base, progress, [&](u64 segByte, const u64* words, u64 nwords) {
            progress.report(std::max((double)(30 * segByte - std::min(30 * segByte, lo)) / span,
                                     (double)count / ((double)limit + 1)));
            for (u64 w = 0; w < nwords; ++w) {
                u64 word = words[w];
                const u64 n0 = 30 * (segByte + 8 * w);
                if (count + 64 <= cap) {
                    if (count + 64 + run > out.size()) {
                        // A few thousand entries at a time, zeroed just before they are written.
                        const std::size_t want = count + 64 + run;
                        out.resize(std::max(want, std::min(out.capacity(), want + 4096)));
                    }
                    int64_t* dst = out.data() + count;
                    const int k = popcount64(word);
                    for (std::size_t i = 0; i < run; ++i, word &= word - 1)
                        dst[i] = (int64_t)(n0 + wheelBitOffset[(unsigned)std::countr_zero(word)]);
                    // Denser words (small numbers) finish one by one.
                    for (std::size_t i = run; word; ++i, word &= word - 1)
                        dst[i] = (int64_t)(n0 + wheelBitOffset[(unsigned)std::countr_zero(word)]);
                    count += (std::size_t)k;
                    continue;
                }
                // Near the limit, one by one.
                if (out.size() < cap) out.resize(cap);
                for (; word; word &= word - 1) {
                    out[count++] = (int64_t)(n0 + wheelBitOffset[(unsigned)std::countr_zero(word)]);
                    if (count == cap) return false;
                }
            }
            return true;
        });
        out.resize(count);
        finish();
        return result;
    }

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
