// The primes of an interval: a segmented sieve of Eratosthenes on the wheel of 30 while the
// square root of the top is small enough to sieve with, and above that a pre-sieve over the odd
// numbers that leaves the candidates to Miller-Rabin.
#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <exception>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <thread>
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

// ---- the odd-only pre-sieve ----

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
// R[i]): a bit per number coprime to 30. A prime p = 30 a + R[c] (of class c) crosses out p k for
// k = 30 t + R[j] coprime to 30, and p k lies in byte p t + a R[j] + (R[c] R[j]) / 30 at the bit
// of (R[c] R[j]) mod 30: one turn of the wheel (t to t + 1) moves p bytes on and clears the same
// eight bits at the same eight distances from the turn's start, which the unrolled loop below
// does at one instruction a crossing.
constexpr std::array<u64, 8> kWheelResidue{1, 7, 11, 13, 17, 19, 23, 29};

constexpr int residueIndex(u64 r) {
    for (int i = 0; i < 8; ++i)
        if (kWheelResidue[i] == r) return i;
    return -1;
}

struct WheelTables {
    uint8_t carry[8][8];   // [class of p][wheel index of k]: (R[c] R[j]) / 30
    uint8_t clear[8][8];   // the byte mask that clears the bit of p k
};
constexpr WheelTables makeWheelTables() {
    WheelTables t{};
    for (int c = 0; c < 8; ++c)
        for (int j = 0; j < 8; ++j) {
            const u64 f = kWheelResidue[c] * kWheelResidue[j];
            t.carry[c][j] = (uint8_t)(f / 30);
            t.clear[c][j] = (uint8_t)~(1u << residueIndex(f % 30));
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
        // Built at the start of every search that sieves: the odd multiples of each prime
        // are cleared, not every number tried.
        bytes.assign(period + 8, 0xff);
        const u64 end = 30 * bytes.size();
        for (u64 p : primes)
            for (u64 n = p; n < end; n += 2 * p)
                if (const int i = kResidues.index[n % 30]; i >= 0) bytes[n / 30] &= (uint8_t)~(1u << i);
    }
};

const std::array<BytePattern, 4>& bytePatterns() {
    static const std::array<BytePattern, 4> p{BytePattern{7, 11, 13, 17}, BytePattern{19, 23, 29},
                                              BytePattern{31, 37, 41}, BytePattern{43, 47, 53}};
    return p;
}
constexpr u64 kLargestBytePatternPrime = 53;

// A segment of 1 MiB (about 31 million numbers) stays in the level 2 cache, and even the largest
// sieving primes cross it a few times per visit; the primes with many crossings per segment
// sieve it in slices of 32 KiB that stay in the level 1 cache.
constexpr u64 kWheelSegmentBytes = u64(1) << 20;
constexpr u64 kWheelSliceBytes = u64(1) << 15;
// A listing begins with segments this long (about two million numbers): the first parts of
// the window's lists come from small intervals.
constexpr u64 kFirstListingSegmentBytes = u64(1) << 16;
// Primes below this cross whole turns in every slice; the larger ones go once over the segment.
constexpr u64 kSlicePrimeLimit = u64(1) << 14;

// A sieving prime in one word: the byte of its next multiple relative to the current segment
// (43 bits: the whole sieve spans less than 2^40 bytes), p / 30 (18 bits: p is at most 2^22) and
// the wheel index of the next multiplier k (3 bits). The class of p is the group it sits in.
struct WheelPrime {
    u64 bits;
    static constexpr int kQShift = 21;
    WheelPrime(u64 q, u64 a, u64 wi) : bits(q << kQShift | a << 3 | wi) {}
    u64 q() const { return bits >> kQShift; }
    u64 a() const { return bits >> 3 & ((u64(1) << 18) - 1); }
    u64 wi() const { return bits & 7; }
    void set(u64 q, u64 wi) { bits = q << kQShift | (bits & ((u64(1) << kQShift) - 8)) | wi; }
    void moveBack(u64 bytes) { bits -= bytes << kQShift; }
};
using WheelGroups = std::array<std::vector<WheelPrime>, 8>;   // by class

// Crosses out the multiples of one prime of class C in bytes [wp.q, end) of the segment: the
// rest of the current turn, whole unrolled turns, then the start of the last turn; wp is left at
// the first multiple at or beyond end.
template <int C>
inline void crossWheelPrime(uint8_t* s, WheelPrime& wp, u64 end) {
    const u64 q = wp.q();
    if (q >= end) return;
    const u64 a = wp.a(), wi = wp.wi(), p = 30 * a + kWheelResidue[C];
    constexpr auto& k = kWheel.carry[C];
    constexpr auto& m = kWheel.clear[C];
    const u64 o0 = a + k[0], o1 = a * 7 + k[1], o2 = a * 11 + k[2], o3 = a * 13 + k[3], o4 = a * 17 + k[4],
              o5 = a * 19 + k[5], o6 = a * 23 + k[6], o7 = a * 29 + k[7];
    const u64 offset[8] = {o0, o1, o2, o3, o4, o5, o6, o7};
    u64 base = q - offset[wi];   // the byte of the current turn's start (p t), wrapping if before the segment
#define QUENDRA_CROSS(J)                       \
    {                                          \
        const u64 at = base + o##J;            \
        if (at >= end) {                       \
            wp.set(at, J);                     \
            return;                            \
        }                                      \
        s[at] &= m[J];                         \
    }
    switch (wi) {
    case 1: QUENDRA_CROSS(1) [[fallthrough]];
    case 2: QUENDRA_CROSS(2) [[fallthrough]];
    case 3: QUENDRA_CROSS(3) [[fallthrough]];
    case 4: QUENDRA_CROSS(4) [[fallthrough]];
    case 5: QUENDRA_CROSS(5) [[fallthrough]];
    case 6: QUENDRA_CROSS(6) [[fallthrough]];
    case 7: QUENDRA_CROSS(7) base += p; break;
    default: break;   // at the start of a turn
    }
    for (; base + o7 < end; base += p) {
        s[base + o0] &= m[0];
        s[base + o1] &= m[1];
        s[base + o2] &= m[2];
        s[base + o3] &= m[3];
        s[base + o4] &= m[4];
        s[base + o5] &= m[5];
        s[base + o6] &= m[6];
        s[base + o7] &= m[7];
    }
    QUENDRA_CROSS(0)
    QUENDRA_CROSS(1)
    QUENDRA_CROSS(2)
    QUENDRA_CROSS(3)
    QUENDRA_CROSS(4)
    QUENDRA_CROSS(5)
    QUENDRA_CROSS(6)
#undef QUENDRA_CROSS
    wp.set(base + o7, 7);
}

// Every prime of the groups crossed up to byte `end`, then moved `shift` bytes back (the length
// of the segment after its last piece).
template <int C = 0>
void crossGroups(uint8_t* s, WheelGroups& groups, u64 end, u64 shift) {
    for (WheelPrime& wp : groups[C]) {
        crossWheelPrime<C>(s, wp, end);
        wp.moveBack(shift);
    }
    if constexpr (C < 7) crossGroups<C + 1>(s, groups, end, shift);
}

// The sieving primes above the byte patterns' with their first multiple p k in [lo, hi],
// k >= p coprime to 30, split into the slices' primes and the segment's.
void wheelPrimesFrom(u64 lo, u64 hi, std::span<const uint32_t> base, WheelGroups& small, WheelGroups& large) {
    const u64 firstByte = lo / 30;
    // Room for each group at once: the lists are long, and each search builds its own.
    std::size_t sizes[2][8] = {};
    for (uint32_t p : base)
        if (p > kLargestBytePatternPrime) ++sizes[p >= kSlicePrimeLimit][kResidues.index[p % 30]];
    for (std::size_t c = 0; c < 8; ++c) {
        small[c].reserve(sizes[0][c]);
        large[c].reserve(sizes[1][c]);
    }
    for (uint32_t p32 : base) {
        const u64 p = p32;
        if (p <= kLargestBytePatternPrime) continue;
        // lo / p through the floating-point unit (within one of the truth, lo being below
        // 2^45), then corrected without a branch: a 64-bit division per prime takes longer.
        u64 t = (u64)((double)lo / (double)p);
        t -= t * p > lo;
        t += (t + 1) * p <= lo;
        u64 k = std::max(p, t + (t * p < lo));
        k += kResidues.toNext[k % 30];   // the first multiplier coprime to 30
        const u64 m = p * k;             // at most about hi + 6 p, far below 2^64
        if (m > hi) continue;
        WheelGroups& groups = p < kSlicePrimeLimit ? small : large;
        groups[(std::size_t)kResidues.index[p % 30]].emplace_back(m / 30 - firstByte, p / 30,
                                                                  (u64)kResidues.index[k % 30]);
    }
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

// Every prime of [lo, hi] (7 <= lo <= hi, sqrt(hi) at most kSieveRootLimit) with the odd primes
// up to sqrt(hi) in `base`; emit(firstByte, words, count) gets each segment as 64-bit words whose
// bit 8 j + i stands for 30 (firstByte + j) + R[i]. emit returns false to stop. The segments
// start at `firstSegment` bytes and double up to the full size: a search that may stop early
// (at a limit) sieves little beyond it.
template <typename Emit>
void wheelSieve(u64 lo, u64 hi, std::span<const uint32_t> base, u64 firstSegment, Emit&& emit) {
    const u64 firstByte = lo / 30, lastByte = hi / 30;
    WheelGroups small, large;
    wheelPrimesFrom(lo, hi, base, small, large);
    std::vector<u64> words(std::min(kWheelSegmentBytes, lastByte - firstByte + 1) / 8 + 1);
    auto* s = reinterpret_cast<uint8_t*>(words.data());
    u64 size = std::min(firstSegment, kWheelSegmentBytes);
    for (u64 segByte = firstByte; segByte <= lastByte; segByte += size, size = std::min(2 * size, kWheelSegmentBytes)) {
        const u64 nbytes = std::min(size, lastByte - segByte + 1);
        const u64 nwords = (nbytes + 7) / 8;
        applyBytePatterns(words.data(), segByte, nwords);
        fixWheelSegment(s, segByte, nbytes, nwords, lo, hi);
        for (u64 from = 0; from < nbytes; from += kWheelSliceBytes) {
            const u64 to = std::min(nbytes, from + kWheelSliceBytes);
            crossGroups(s, small, to, to == nbytes ? nbytes : 0);
        }
        crossGroups(s, large, nbytes, nbytes);
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
inline u64 popcount64(u64 x) {
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fULL;
    return (x * 0x0101010101010101ULL) >> 56;
}

u64 countBits(const u64* words, u64 nwords) {
    u64 n = 0;
    for (u64 w = 0; w < nwords; ++w) n += popcount64(words[w]);
    return n;
}

// Where listed primes go: `out`, at most `cap` primes in all. With a taker, each segment's
// primes are handed to it and `out` starts again empty.
struct Listing {
    std::vector<int64_t>& out;
    u64 cap;                                // at most limit + 1 primes in all
    u64 limit;
    double span;                            // the numbers of the odd candidates' interval
    u64 lo;                                 // its first odd candidate
    const PrimeTaker* take = nullptr;
    u64 passed = 0;                         // primes handed to the taker before those in out

    u64 total() const { return passed + out.size(); }
    // Adds p; false once the list is full.
    bool add(u64 p) {
        out.push_back((int64_t)p);
        return total() < cap;
    }
    // The primes so far to the taker, if any; false when it wants no more.
    bool pass() {
        if (!take || out.empty()) return true;
        passed += out.size();
        const bool more = (*take)(std::span<const int64_t>(out));
        out.clear();
        return more;
    }
    void report(Progress& progress, u64 n) const {
        const double where = (double)(n - std::min(n, lo)) / span;
        const double filled = limit == SIZE_MAX ? 0 : (double)total() / ((double)limit + 1);
        progress.report(std::max(where, filled));
    }
};

// One segment of the wheel's primes into the list; false when it became full. Each word is
// written by a fixed run of stores with no branch on how many primes it holds, into some slack
// at the end of the list that the next word overwrites.
bool storeWheelSegment(Listing& list, u64 segByte, const u64* words, u64 nwords) {
    std::vector<int64_t>& out = list.out;
    const u64 room = list.cap - list.total();
    const u64 found = countBits(words, nwords);
    if (found >= room) {   // near the limit, one by one
        for (u64 w = 0; w < nwords; ++w)
            for (u64 word = words[w]; word; word &= word - 1)
                if (!list.add(30 * (segByte + 8 * w) + kWheelBitOffset[(unsigned)std::countr_zero(word)])) return false;
        return true;
    }
    const std::size_t start = out.size();
    out.resize(start + found + 64 + kWheelStoreRun);
    int64_t* dst = out.data() + start;
    for (u64 w = 0; w < nwords; ++w) {
        u64 word = words[w];
        const u64 n0 = 30 * (segByte + 8 * w);
        const u64 k = popcount64(word);
        std::size_t i = 0;
        for (; i < kWheelStoreRun; ++i, word &= word - 1)
            dst[i] = (int64_t)(n0 + kWheelBitOffset[(unsigned)std::countr_zero(word)]);
        for (; word; ++i, word &= word - 1) dst[i] = (int64_t)(n0 + kWheelBitOffset[(unsigned)std::countr_zero(word)]);
        dst += k;
    }
    out.resize(start + found);
    return true;
}

// The primes of [lo, hi] (lo odd, sqrt(hi) at most kSieveRootLimit) by the wheel sieve; 3 and 5
// lie off the wheel, which takes 7 and up.
void listWheelPrimes(u64 lo, u64 hi, std::span<const uint32_t> base, Progress& progress, Listing& list) {
    for (u64 p : {3, 5})
        if (p >= lo && p <= hi && !list.add(p)) return;
    const u64 from = std::max<u64>(lo, 7);
    if (from > hi) return;
    // A list may stop at its limit: small segments first.
    wheelSieve(from, hi, base, kFirstListingSegmentBytes, [&](u64 segByte, const u64* words, u64 nwords) {
        progress.check();
        list.report(progress, 30 * segByte);
        return storeWheelSegment(list, segByte, words, nwords) && list.pass();
    });
}

// How many primes [lo, hi] holds (lo odd, sqrt(hi) at most kSieveRootLimit), stopping once
// there are `enough`. `poll` runs once per segment and throws to stop.
template <typename Poll>
u64 countWheelPrimes(u64 lo, u64 hi, std::span<const uint32_t> base, u64 enough, Poll&& poll) {
    u64 count = 0;
    for (u64 p : {3, 5}) count += p >= lo && p <= hi;
    const u64 from = std::max<u64>(lo, 7);
    if (from > hi) return count;
    wheelSieve(from, hi, base, kWheelSegmentBytes, [&](u64 segByte, const u64* words, u64 nwords) {
        poll(segByte);
        count += countBits(words, nwords);
        return count < enough;
    });
    return count;
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
        return list.pass();
    });
}

// The interval a search really covers and how it goes about it.
struct Plan {
    bool empty = true;
    bool withTwo = false;   // 2 lies in the interval
    u64 lo = 0, hi = 0;     // the odd candidates' interval (empty when lo > hi)
    bool full = false;      // sieved fully on the wheel; otherwise pre-sieved to sieveTo
    u64 sieveTo = 0;
    std::span<const uint32_t> sieving;
};

Plan planFor(int64_t lowIn, int64_t highIn) {
    Plan plan;
    const int64_t low = std::max<int64_t>(lowIn, 2), high = std::min<int64_t>(highIn, MaxHigh);
    if (low > high) return plan;
    plan.empty = false;
    plan.withTwo = low <= 2;
    plan.lo = (u64)std::max<int64_t>(low, 3) | 1;   // first odd candidate
    plan.hi = (u64)high;
    if (plan.lo > plan.hi) return plan;
    const u64 root = numtheory::Isqrt64(plan.hi);
    plan.full = root <= kSieveRootLimit;
    // Small intervals high up need fewer sieving primes: Miller-Rabin decides anyway.
    plan.sieveTo = plan.full ? root : std::min(kPreSieveLimit, std::max<u64>(4096, (plan.hi - plan.lo) / 4));
    plan.sieving = numtheory::OddPrimesUpTo(plan.sieveTo);
    return plan;
}

// The odd primes of the plan into the list.
void listOddPrimes(const Plan& plan, Progress& progress, Listing& list) {
    if (plan.lo > plan.hi) return;
    if (plan.full) listWheelPrimes(plan.lo, plan.hi, plan.sieving, progress, list);
    else listTestedPrimes(plan.lo, plan.hi, plan.sieveTo, plan.sieving, progress, list);
}

// Wheel counts of this many numbers and more use a second thread for the upper half.
constexpr u64 kSplitCountAbove = u64(1) << 26;

}  // namespace

SearchResult SearchPrimes(int64_t low, int64_t high, Progress& progress, std::size_t limit) {
    SearchResult result;
    const Plan plan = planFor(low, high);
    if (plan.empty) return result;
    // No interval holds more primes than half its numbers plus two, so a larger limit (up to
    // SIZE_MAX, no limit at all) changes nothing.
    const u64 most = (plan.hi - std::min(plan.lo, plan.hi)) / 2 + 3;
    Listing list{result.primes, limit < most ? limit + 1 : most, limit, (double)(plan.hi - std::min(plan.lo, plan.hi)) + 1,
                 plan.lo};
    // Room for the limit and the slack of the wheel's stores; larger limits grow as needed.
    list.out.reserve(std::min<std::size_t>(list.cap, MaxListed + 1) + 64 + kWheelStoreRun);
    if (!plan.withTwo || list.add(2)) listOddPrimes(plan, progress, list);
    result.limitReached = list.out.size() > limit;
    if (result.limitReached) list.out.pop_back();
    return result;
}

void ForEachPrime(int64_t low, int64_t high, Progress& progress, const PrimeTaker& take) {
    const Plan plan = planFor(low, high);
    if (plan.empty) return;
    std::vector<int64_t> batch;
    Listing list{batch, UINT64_MAX, SIZE_MAX, (double)(plan.hi - std::min(plan.lo, plan.hi)) + 1, plan.lo, &take};
    if (plan.withTwo) list.add(2);
    listOddPrimes(plan, progress, list);
    list.pass();
}

int64_t CountPrimes(int64_t low, int64_t high, Progress& progress, std::size_t limit) {
    const Plan plan = planFor(low, high);
    if (plan.empty || limit == 0) return 0;
    u64 count = plan.withTwo ? 1 : 0;
    if (plan.lo > plan.hi || count >= limit) return (int64_t)std::min<u64>(count, limit);
    const u64 enough = limit - count;
    if (!plan.full) {
        std::vector<int64_t> none;
        const PrimeTaker tally = [&](std::span<const int64_t> primes) {
            count += primes.size();
            return true;
        };
        Listing list{none, std::min<u64>(enough, (plan.hi - plan.lo) / 2 + 2), limit, (double)(plan.hi - plan.lo) + 1,
                     plan.lo, &tally};
        listTestedPrimes(plan.lo, plan.hi, plan.sieveTo, plan.sieving, progress, list);
        list.pass();
        return (int64_t)std::min<u64>(count, limit);
    }
    // The fraction of [lo, to] sieved when the segment from segByte on begins.
    const auto reporter = [&progress, &plan](u64 to) {
        return [&progress, from = plan.lo, part = (double)(to - plan.lo) + 1](u64 segByte) {
            progress.check();
            progress.report((double)(30 * segByte - std::min(30 * segByte, from)) / part);
        };
    };
    if (plan.hi - plan.lo < kSplitCountAbove || limit != SIZE_MAX) {
        count += countWheelPrimes(plan.lo, plan.hi, plan.sieving, enough, reporter(plan.hi));
        return (int64_t)std::min<u64>(count, limit);
    }
    // Two halves at once: this thread counts the lower one and reports; the other stops with it.
    const u64 middle = plan.lo + (plan.hi - plan.lo) / 2;
    std::atomic<bool> stop{false};
    u64 upper = 0;
    std::exception_ptr failure;
    std::thread helper([&] {
        try {
            upper = countWheelPrimes(middle + 1, plan.hi, plan.sieving, UINT64_MAX, [&](u64) {
                if (stop.load(std::memory_order_relaxed)) throw Cancelled{};
                progress.check();
            });
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        count += countWheelPrimes(plan.lo, middle, plan.sieving, UINT64_MAX, reporter(middle));
    } catch (...) {
        stop = true;
        helper.join();
        throw;
    }
    helper.join();
    if (failure) std::rethrow_exception(failure);
    return (int64_t)(count + upper);
}

}  // namespace search
