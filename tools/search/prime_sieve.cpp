// The primes of an interval: segmented sieves of Eratosthenes (on the wheel of 30 for small
// square roots, over odd numbers above), and a pre-sieve plus Miller-Rabin where the square
// root of the top is too large to sieve to.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <tuple>
#include <type_traits>

#include "core/progress.h"
#include "numtheory/prime64.h"
#include "numtheory/primes.h"
#include "numtheory/word.h"
#include "tools/search/search_engine.h"

namespace search {

namespace {

using u64 = uint64_t;

// ---- sieve pieces ----

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
constexpr u64 kLargestPatternPrime = 47;

constexpr u64 kSegmentBits = u64(1) << 20;      // 128 KiB of bits (L2): 2^21 numbers per segment
constexpr u64 kSieveRootLimit = u64(1) << 22;   // sieve fully when sqrt(high) is at most this
constexpr u64 kPreSieveLimit = u64(1) << 20;    // otherwise pre-sieve to here, then Miller-Rabin

// The index, relative to the first index, of the first odd multiple of each sieving prime
// above the patterns' primes, from p^2 on.
std::vector<u64> firstOddMultiples(u64 lo, std::span<const uint32_t> primes) {
    const u64 firstIndex = lo >> 1;
    std::vector<u64> next;
    next.reserve(primes.size());
    for (const u64 p : primes) {
        u64 m = std::max(p * p, (lo + p - 1) / p * p);
        if (m % 2 == 0) m += p;
        next.push_back((m >> 1) - firstIndex);
    }
    return next;
}

// The multiples of 3 ... 47 by the patterns (beyond the sieving primes they only remove
// composites), the patterns' own primes put back, and the bits past the segment cleared.
void applyPatterns(u64* bits, u64 segStart, u64 nbits, u64 lo, u64 hi) {
    const u64 nwords = (nbits + 63) / 64;
    std::fill(bits, bits + nwords, ~u64(0));
    for (const Pattern& pat : patterns()) {
        u64 off = segStart % pat.period;
        const u64 period = pat.period;
        for (u64 w = 0; w < nwords; ++w) {
            bits[w] &= pat.at(off);
            off += 64;
            if (off >= period) off -= period;
        }
    }
    for (const Pattern& pat : patterns())
        for (u64 p : pat.primes) {
            const u64 g = p >> 1;
            if (p >= lo && p <= hi && g >= segStart && g < segStart + nbits)
                bits[(g - segStart) / 64] |= u64(1) << ((g - segStart) % 64);
        }
    if (nbits % 64) bits[nwords - 1] &= (u64(1) << (nbits % 64)) - 1;
}

// Primes of at least a segment's length cross at most once per segment: without a branch,
// a miss clears a bit of the spare word behind the segment instead.
void crossLargePrimes(u64* b, u64 nbits, std::span<const uint32_t> primes, std::span<u64> next) {
    const u64 spare = kSegmentBits;
    for (std::size_t i = 0; i < primes.size(); ++i) {
        const u64 j = next[i];
        const bool hit = j < nbits;
        const u64 at = hit ? j : spare;
        b[at / 64] &= ~(u64(1) << (at % 64));
        next[i] = j + (hit ? primes[i] : 0) - nbits;
    }
}

void crossSmallPrimes(u64* b, u64 nbits, std::span<const uint32_t> primes, std::span<u64> next) {
    for (std::size_t i = 0; i < primes.size(); ++i) {
        u64 j = next[i];
        if (j < nbits) {
            const u64 p = primes[i];
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
}

// Sieves the odd numbers of [lo, hi] (lo odd, 3 <= lo <= hi) with 3 ... 47 and the odd primes
// of `base` (every odd prime up to some bound, increasing) and hands each segment's words to
// `emit(firstIndex, words, count)`; a set bit j of word w stands for 2 (firstIndex + 64 w + j) + 1,
// a number free of every prime used or one of those primes itself. emit returns false
// to stop.
template <typename Emit>
void sieveOdd(u64 lo, u64 hi, std::span<const uint32_t> base, Progress* progress, Emit&& emit) {
    const u64 firstIndex = lo >> 1, lastIndex = (hi - 1) >> 1;
    const std::span<const uint32_t> sieving =
        base.subspan(std::size_t(std::upper_bound(base.begin(), base.end(), (uint32_t)kLargestPatternPrime) - base.begin()));
    std::vector<u64> next = firstOddMultiples(lo, sieving);
    std::vector<u64> bits(kSegmentBits / 64 + 1);   // the last word takes the misses of the large primes
    for (u64 segStart = firstIndex; segStart <= lastIndex; segStart += kSegmentBits) {
        if (progress) progress->check();
        const u64 nbits = std::min(kSegmentBits, lastIndex - segStart + 1);
        applyPatterns(bits.data(), segStart, nbits, lo, hi);
        const std::size_t large = std::size_t(
            std::lower_bound(sieving.begin(), sieving.end(), (uint32_t)std::min<u64>(nbits, UINT32_MAX)) - sieving.begin());
        crossLargePrimes(bits.data(), nbits, sieving.subspan(large), std::span<u64>(next).subspan(large));
        crossSmallPrimes(bits.data(), nbits, sieving.first(large), std::span<u64>(next).first(large));
        if (!emit(segStart, (const u64*)bits.data(), (nbits + 63) / 64)) return;
    }
}

// ---- the wheel of 30 for the full sieve ----
//
// Byte q stands for the eight numbers 30 q + 1, 7, 11, 13, 17, 19, 23, 29 (bit i for residue
// R[i]): a bit per number coprime to 30, so 3.75 numbers a bit instead of the 2 of the odd-only
// sieve, and fewer crossings for every prime. A prime p = 30 a + b crosses out p k for k
// coprime to 30; one turn of the wheel (k to k + 30) moves p bytes on and clears the same
// eight bits of eight bytes at fixed distances, which the unrolled loop below does at two
// instructions a crossing.
constexpr std::array<u64, 8> kWheelResidue{1, 7, 11, 13, 17, 19, 23, 29};
constexpr std::array<u64, 8> kWheelGap{6, 4, 2, 4, 2, 4, 6, 2};   // to the next residue, 29 -> 31

constexpr int residueIndex(u64 r) {
    for (int i = 0; i < 8; ++i)
        if (kWheelResidue[i] == r) return i;
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
        const u64 b = kWheelResidue[c];
        unsigned sum = 0;
        for (int j = 0; j < 8; ++j) {
            const u64 f = b * kWheelResidue[j] % 30;
            t.bit[c][j] = (uint8_t)residueIndex(f);
            t.carry[c][j] = (uint8_t)((f + b * kWheelGap[j]) / 30);
            t.cum[c][j] = (uint8_t)sum;
            sum += t.carry[c][j];
        }
    }
    return t;
}
constexpr WheelTables kWheel = makeWheelTables();

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
constexpr ResidueTables kResidues = makeResidueTables();

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
                const u64 n = 30 * (q % period) + kWheelResidue[i];
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
constexpr u64 kLargestBytePatternPrime = 53;

// Whole turns of the wheel for a prime of class C from wheel index 0, while all eight bytes
// of the turn lie before `end`.
template <int C>
void crossTurns(uint8_t* s, u64& q, u64 a, u64 end) {
    const u64 p = 30 * a + kWheelResidue[C];
    const u64 o1 = a * 6 + kWheel.cum[C][1], o2 = a * 10 + kWheel.cum[C][2], o3 = a * 12 + kWheel.cum[C][3],
              o4 = a * 16 + kWheel.cum[C][4], o5 = a * 18 + kWheel.cum[C][5], o6 = a * 22 + kWheel.cum[C][6],
              o7 = a * 28 + kWheel.cum[C][7];
    for (; q + o7 < end; q += p) {
        s[q] &= (uint8_t)~(1u << kWheel.bit[C][0]);
        s[q + o1] &= (uint8_t)~(1u << kWheel.bit[C][1]);
        s[q + o2] &= (uint8_t)~(1u << kWheel.bit[C][2]);
        s[q + o3] &= (uint8_t)~(1u << kWheel.bit[C][3]);
        s[q + o4] &= (uint8_t)~(1u << kWheel.bit[C][4]);
        s[q + o5] &= (uint8_t)~(1u << kWheel.bit[C][5]);
        s[q + o6] &= (uint8_t)~(1u << kWheel.bit[C][6]);
        s[q + o7] &= (uint8_t)~(1u << kWheel.bit[C][7]);
    }
}

struct WheelPrime {
    u64 q;          // byte of the next multiple, relative to the current segment
    uint32_t a;     // p / 30
    uint8_t cls;    // index of p mod 30
    uint8_t wi;     // wheel index of the next multiplier k
};

constexpr u64 kWheelSegmentBytes = u64(1) << 17;   // 128 KiB (L2): about four million numbers
// Above this square root the many large sieving primes cross at most a few times per segment,
// one table step each, and the odd-only sieve with its plain additions measures faster.
constexpr u64 kWheelRootLimit = u64(1) << 17;

// The sieving primes above the byte patterns' with their first multiple p k in [lo, ...),
// k >= p coprime to 30.
std::vector<WheelPrime> wheelPrimesFrom(u64 lo, std::span<const uint32_t> base) {
    const u64 firstByte = lo / 30;
    std::vector<WheelPrime> primes;
    primes.reserve(base.size());
    for (uint32_t p32 : base) {
        const u64 p = p32;
        if (p <= kLargestBytePatternPrime) continue;
        u64 k = std::max(p, (lo + p - 1) / p);
        k += kResidues.toNext[k % 30];   // the first multiplier coprime to 30
        const u64 m = p * k;
        primes.push_back({m / 30 - firstByte, (uint32_t)(p / 30), (uint8_t)kResidues.index[p % 30],
                          (uint8_t)kResidues.index[k % 30]});
    }
    return primes;
}

// The segment's words from all byte patterns in one pass: each word is written once.
void applyBytePatterns(u64* words, u64 segByte, u64 nwords) {
    const auto& pats = bytePatterns();
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
void fixWheelSegment(uint8_t* s, u64 segByte, u64 nbytes, u64 nwords, u64 lo, u64 hi) {
    for (const BytePattern& pat : bytePatterns())
        for (u64 p : pat.primes)
            if (p >= lo && p <= hi && p / 30 >= segByte && p / 30 < segByte + nbytes)
                s[p / 30 - segByte] |= uint8_t(1u << kResidues.index[p % 30]);
    for (int i = 0; i < 8; ++i) {
        const u64 n0 = 30 * segByte + kWheelResidue[i];
        if (n0 < lo || n0 == 1) s[0] &= (uint8_t)~(1u << i);
        const u64 n1 = 30 * (segByte + nbytes - 1) + kWheelResidue[i];
        if (n1 > hi) s[nbytes - 1] &= (uint8_t)~(1u << i);
    }
    for (u64 b = nbytes; b < nwords * 8; ++b) s[b] = 0;
}

// Crosses out the multiples of one sieving prime in a segment of nbytes: single steps up to
// wheel index 0, whole unrolled turns, single steps to the end.
void crossWheelPrime(uint8_t* s, WheelPrime& wp, u64 nbytes) {
    u64 q = wp.q;
    if (q < nbytes) {
        const u64 a = wp.a;
        const int c = wp.cls;
        int wi = wp.wi;
        const auto step = [&] {
            s[q] &= (uint8_t)~(1u << kWheel.bit[c][wi]);
            q += a * kWheelGap[wi] + kWheel.carry[c][wi];
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

// Every prime of [lo, hi] (7 <= lo <= hi, sqrt(hi) at most 2^17) with the odd primes up to
// sqrt(hi) in `base`; emit(firstByte, words, count) gets each segment as 64-bit words whose bit
// 8 j + i stands for 30 (firstByte + j) + R[i]. emit returns false to stop.
template <typename Emit>
void wheelSieve(u64 lo, u64 hi, std::span<const uint32_t> base, Progress& progress, Emit&& emit) {
    const u64 firstByte = lo / 30, lastByte = hi / 30;
    std::vector<WheelPrime> primes = wheelPrimesFrom(lo, base);
    std::vector<u64> words(kWheelSegmentBytes / 8 + 1);
    auto* s = reinterpret_cast<uint8_t*>(words.data());
    for (u64 segByte = firstByte; segByte <= lastByte; segByte += kWheelSegmentBytes) {
        progress.check();
        const u64 nbytes = std::min(kWheelSegmentBytes, lastByte - segByte + 1);
        const u64 nwords = (nbytes + 7) / 8;
        applyBytePatterns(words.data(), segByte, nwords);
        fixWheelSegment(s, segByte, nbytes, nwords, lo, hi);
        for (WheelPrime& wp : primes) crossWheelPrime(s, wp, nbytes);
        if (!emit(segByte, (const u64*)words.data(), nwords)) return;
    }
}

// 30 (t / 8) + R[t % 8] for each bit t of a word; entry 64 (the count of trailing zeros of an
// empty word) gives a harmless value for the stores past a word's last prime.
constexpr std::array<uint8_t, 65> makeBitOffsets() {
    std::array<uint8_t, 65> t{};
    for (int i = 0; i < 64; ++i) t[i] = (uint8_t)(30 * (i / 8) + kWheelResidue[i % 8]);
    return t;
}
constexpr std::array<uint8_t, 65> kWheelBitOffset = makeBitOffsets();
// Stores per word of the wheel without a branch: about the primes of 240 numbers near 10^6;
// denser words go on one by one, sparser ones store a few values that the next word overwrites.
constexpr std::size_t kWheelStoreRun = 16;

// The baseline x86-64 has no population count instruction; this takes a dozen plain ones.
inline int popcount64(u64 x) {
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fULL;
    return (int)((x * 0x0101010101010101ULL) >> 56);
}

// The list being filled: one slot beyond the limit, since a prime found there only tells
// that the limit was passed.
struct Listing {
    std::vector<int64_t>& out;
    std::size_t cap;     // at most limit + 1 entries
    std::size_t limit;
    double span;         // the numbers of the odd candidates' interval
    u64 lo;              // its first odd candidate

    bool full() const { return out.size() >= cap; }
    // Adds p; false once the list is full.
    bool add(u64 p) {
        out.push_back((int64_t)p);
        return out.size() < cap;
    }
    void report(Progress& progress, u64 n) const {
        const double where = (double)(n - lo) / span;
        const double filled = (double)out.size() / ((double)limit + 1);
        progress.report(std::max(where, filled));
    }
};

// One word of the wheel's primes written by index at `count`, with some slack at the end: the
// first primes go in by a fixed run of stores, with no branch on how many there are. False
// when the list became full.
bool storeWheelWord(Listing& list, std::size_t& count, u64 word, u64 n0) {
    std::vector<int64_t>& out = list.out;
    constexpr std::size_t run = kWheelStoreRun;
    if (count + 64 <= list.cap) {
        if (count + 64 + run > out.size()) {
            // A few thousand entries at a time, zeroed just before they are written.
            const std::size_t want = count + 64 + run;
            out.resize(std::max(want, std::min(out.capacity(), want + 4096)));
        }
        int64_t* dst = out.data() + count;
        const int k = popcount64(word);
        for (std::size_t i = 0; i < run; ++i, word &= word - 1)
            dst[i] = (int64_t)(n0 + kWheelBitOffset[(unsigned)std::countr_zero(word)]);
        // Denser words (small numbers) finish one by one.
        for (std::size_t i = run; word; ++i, word &= word - 1)
            dst[i] = (int64_t)(n0 + kWheelBitOffset[(unsigned)std::countr_zero(word)]);
        count += (std::size_t)k;
        return true;
    }
    // Near the limit, one by one.
    if (out.size() < list.cap) out.resize(list.cap);
    for (; word; word &= word - 1) {
        out[count++] = (int64_t)(n0 + kWheelBitOffset[(unsigned)std::countr_zero(word)]);
        if (count == list.cap) return false;
    }
    return true;
}

// The primes of [lo, hi] (lo odd, sqrt(hi) at most 2^17) by the wheel sieve; 3 and 5 lie off
// the wheel, which takes 7 and up.
void listWheelPrimes(u64 lo, u64 hi, std::span<const uint32_t> base, Progress& progress, Listing& list) {
    for (u64 p : {3, 5})
        if (p >= lo && p <= hi && !list.add(p)) return;
    const u64 from = std::max<u64>(lo, 7);
    if (from > hi) return;
    std::size_t count = list.out.size();
    wheelSieve(from, hi, base, progress, [&](u64 segByte, const u64* words, u64 nwords) {
        progress.report(std::max((double)(30 * segByte - std::min(30 * segByte, lo)) / list.span,
                                 (double)count / ((double)list.limit + 1)));
        for (u64 w = 0; w < nwords; ++w)
            if (!storeWheelWord(list, count, words[w], 30 * (segByte + 8 * w))) return false;
        return true;
    });
    list.out.resize(count);
}

// The primes of [lo, hi] (lo odd, sqrt(hi) at most 2^22) by the odd-only sieve: every bit left
// is a prime; room for a whole word is checked once per word.
void listSievedPrimes(u64 lo, u64 hi, std::span<const uint32_t> base, Progress& progress, Listing& list) {
    sieveOdd(lo, hi, base, &progress, [&](u64 segStart, const u64* words, u64 nwords) {
        list.report(progress, 2 * segStart + 1);
        const u64 g0 = 2 * segStart + 1;
        for (u64 w = 0; w < nwords; ++w) {
            u64 word = words[w];
            const u64 n0 = g0 + 128 * w;
            if (list.out.size() + 64 <= list.cap) {
                for (; word; word &= word - 1) list.out.push_back((int64_t)(n0 + 2 * (u64)std::countr_zero(word)));
                continue;
            }
            for (; word; word &= word - 1)
                if (!list.add(n0 + 2 * (u64)std::countr_zero(word))) return false;
        }
        return true;
    });
}

// The primes of [lo, hi] high up: the sieve with the primes up to sieveTo leaves candidates
// that Miller-Rabin decides (a sieving prime itself is never crossed out and is prime).
void listTestedPrimes(u64 lo, u64 hi, u64 sieveTo, std::span<const uint32_t> base, Progress& progress,
                      Listing& list) {
    unsigned tested = 0;
    sieveOdd(lo, hi, base, &progress, [&](u64 segStart, const u64* words, u64 nwords) {
        list.report(progress, 2 * segStart + 1);
        const u64 g0 = 2 * segStart + 1;
        for (u64 w = 0; w < nwords; ++w)
            for (u64 word = words[w]; word; word &= word - 1) {
                const u64 n = g0 + 128 * w + 2 * (u64)std::countr_zero(word);
                if (++tested % 512 == 0) {
                    progress.check();
                    list.report(progress, n);
                }
                if (n > sieveTo && !numtheory::MillerRabin64(n)) continue;
                if (!list.add(n)) return false;
            }
        return true;
    });
}

}  // namespace

SearchResult SearchPrimes(int64_t lowIn, int64_t highIn, Progress& progress, std::size_t limit) {
    SearchResult result;
    const int64_t low = std::max<int64_t>(lowIn, 2), high = std::min<int64_t>(highIn, MaxHigh);
    if (low > high) return result;
    const u64 lo = (u64)std::max<int64_t>(low, 3) | 1;   // first odd candidate
    const u64 hi = (u64)high;
    // No interval holds more primes than half its numbers plus two, so a larger limit (up to
    // SIZE_MAX, no limit at all) changes nothing.
    const u64 most = (u64)(high - low) / 2 + 2;
    Listing list{result.primes, limit < most ? limit + 1 : most, limit,
                 (double)(hi - std::min(lo, hi)) + 1, lo};
    // Room for the limit and the slack of the wheel's stores; larger limits grow as needed.
    list.out.reserve(std::min<std::size_t>(list.cap, MaxListed + 1) + kWheelStoreRun);
    if ((low > 2 || list.add(2)) && lo <= hi) {
        const u64 root = numtheory::Isqrt64(hi);
        const bool full = root <= kSieveRootLimit;
        // Small intervals high up need fewer sieving primes: Miller-Rabin decides anyway.
        const u64 sieveTo = full ? root : std::min(kPreSieveLimit, std::max<u64>(4096, (hi - lo) / 4));
        const std::span<const uint32_t> sieving = numtheory::OddPrimesUpTo(sieveTo);
        if (full && root <= kWheelRootLimit) listWheelPrimes(lo, hi, sieving, progress, list);
        else if (full) listSievedPrimes(lo, hi, sieving, progress, list);
        else listTestedPrimes(lo, hi, sieveTo, sieving, progress, list);
    }
    result.limitReached = list.out.size() > limit;
    if (result.limitReached) list.out.pop_back();
    return result;
}

}  // namespace search
