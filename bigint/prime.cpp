// The prime verdict, Miller-Rabin, strong Lucas, next prime and the pseudo-random source.
#include "bigint/prime.h"

#include <chrono>
#include <mutex>

#include "bigint/arith.h"
#include "bigint/convert.h"
#include "bigint/divide.h"
#include "bigint/detail/mag.h"
#include "bigint/detail/mont.h"
#include "numtheory/digits.h"
#include "numtheory/primes.h"
#include "numtheory/word.h"
#include "bigint/poll.h"

namespace {

// --- pseudo-random source -------------------------------------------------------------

std::mutex randomMutex;
uint32_t randomState = 0;
std::function<uint32_t()> randomClock;

uint32_t millisecondsOfDayUtc() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return (uint32_t)(ms % 86400000);
}

// --- small helpers ----------------------------------------------------------------------

// |N| mod d for d >= 1, without changing N.
uint64_t modSmall(const TBigInt& N, uint64_t d) { return numtheory::DigitsResidue(mag::dig(N), mag::len(N), d); }

// (D/N) for a small odd |D| and a big odd N, by quadratic reciprocity.
int jacobiBig(int64_t D, const TBigInt& N) {
    const uint64_t a = (uint64_t)(D < 0 ? -D : D);
    const uint64_t n4 = modSmall(N, 4);
    int t = numtheory::Jacobi64(modSmall(N, a), a);
    if (((a - 1) / 2) % 2 == 1 && n4 == 3) t = -t;    // reciprocity sign
    if (D < 0 && n4 == 3) t = -t;                     // (-1/N)
    return t;
}

bool isSquare(const TBigInt& N) {
    // Newton's integer square root, from a power of two above the root.
    const size_t n = mag::len(N);
    size_t bits = 31 * (n - 1);
    for (int64_t top = N.Digits[n]; top; top >>= 1) ++bits;
    mag::Num x = mag::make((bits / 2 + 1) / 31 + 1);
    x[x.size() - 1] = int64_t{1} << ((bits / 2 + 1) % 31);
    for (;;) {
        mag::Num q;
        mag::divmod(mag::dig(N), n, x.data() + 1, (size_t)x[0], &q, nullptr);
        mag::Num s = mag::add(x.data() + 1, (size_t)x[0], q.data() + 1, (size_t)q[0]);
        TBigInt y;
        mag::put(y, std::move(s), Positive);
        BigShiftRightBit(y);
        if (mag::cmp(mag::dig(y), mag::len(y), x.data() + 1, (size_t)x[0]) >= 0) break;
        x = y.Digits;
    }
    mag::Num sq = mag::sqr(x.data() + 1, (size_t)x[0]);
    return mag::cmp(sq.data() + 1, (size_t)sq[0], mag::dig(N), n) == 0;
}

// N - 1 = d * 2^s with d odd (N odd >= 3).
size_t oddPart(const TBigInt& N, TBigInt& d) {
    TBigInt m = N;
    m.Sign = Positive;
    m.Digits[1] -= 1;   // N is odd: no borrow
    mag::trim(m.Digits);
    size_t s = 0;
    // Whole zero digits first: 10^k + 1 has k zero bits at the bottom of N - 1.
    while (m.Digits[1] == 0) {
        BigShiftRightDigit(m);
        s += 31;
    }
    while ((m.Digits[1] & 1) == 0) {
        BigShiftRightBit(m);
        ++s;
    }
    d = std::move(m);
    return s;
}

bool strongTest(const mont::Ring& ring, const TBigInt& d, size_t s, uint64_t base) {
    mont::Limbs x = ring.pow(ring.enterSmall(base), mag::dig(d), mag::len(d));
    if (ring.equal(x.data(), ring.one().data()) || ring.equal(x.data(), ring.minusOne().data()))
        return true;
    for (size_t j = 1; j < s; ++j) {
        BigPoll();
        ring.sqr(x.data(), x.data());
        if (ring.equal(x.data(), ring.minusOne().data())) return true;
        if (ring.equal(x.data(), ring.one().data())) return false;
    }
    return false;
}

// Trial division by the odd primes below 1000, in groups whose product fits 32 bits.
// Returns 1 prime, 0 composite, -1 undecided.
int trialDivision(const TBigInt& N) {
    const bool small = mag::len(N) == 1;
    const int64_t v = N.Digits[1];
    uint64_t group = 1;
    std::array<uint32_t, 8> members{};
    size_t count = 0;
    auto flush = [&]() -> int {
        uint64_t r = modSmall(N, group);
        for (size_t i = 0; i < count; ++i)
            if (r % members[i] == 0) return small && v == members[i] ? 1 : 0;
        group = 1;
        count = 0;
        return -1;
    };
    for (int32_t p : SmallPrimeBases) {
        if (p > 1000) break;
        if (group * (uint64_t)p > (uint64_t{1} << 32) || count == members.size()) {
            int r = flush();
            if (r >= 0) return r;
        }
        group *= (uint64_t)p;
        members[count++] = (uint32_t)p;
    }
    int r = flush();
    if (r >= 0) return r;
    if (small && v < 1000 * 1000) return 1;   // no factor below its square root
    return -1;
}

}  // namespace

// The odd primes of the program's one table, from 3 on.
const std::array<int32_t, 1228> SmallPrimeBases = [] {
    std::array<int32_t, 1228> a{};
    const std::span<const uint32_t> primes = numtheory::SmallPrimes();
    for (size_t i = 0; i < a.size(); ++i) a[i] = (int32_t)primes[i + 1];
    return a;
}();

void RandomReseed() {
    std::lock_guard lock(randomMutex);
    randomState = randomClock ? randomClock() : millisecondsOfDayUtc();
}

uint32_t RandomBelow(uint32_t n) {
    std::lock_guard lock(randomMutex);
    randomState = randomState * 134775813u + 1u;
    return (uint32_t)(((uint64_t)randomState * n) >> 32);
}

void RandomSetClock(std::function<uint32_t()> millisecondsOfDay) {
    std::lock_guard lock(randomMutex);
    randomClock = std::move(millisecondsOfDay);
}

bool BigStrongProbablePrime(const TBigInt& N, uint32_t base) {
    mont::Ring ring(mag::dig(N), mag::len(N));
    TBigInt d;
    size_t s = oddPart(N, d);
    return strongTest(ring, d, s, base);
}

// Strong Lucas test with Selfridge's parameters: D the first of 5, -7, 9, -11, ... with
// (D/N) = -1, P = 1, Q = (1 - D)/4. V and Q^k are carried by a binary ladder; U_d = 0 is
// read off as 2 V_(d+1) = P V_d, which holds because D is prime to N.
bool BigStrongLucas(const TBigInt& N) {
    int64_t D = 5;
    for (int tries = 0;; ++tries) {
        int j = jacobiBig(D, N);
        if (j == -1) break;
        if (j == 0) {
            const uint64_t a = (uint64_t)(D < 0 ? -D : D);
            return mag::len(N) == 1 && (uint64_t)N.Digits[1] == a && BigIsPrime(N);
        }
        if (tries == 8 && isSquare(N)) return false;
        D = D > 0 ? -(D + 2) : -D + 2;
    }
    const int64_t Q = (1 - D) / 4;
    mont::Ring ring(mag::dig(N), mag::len(N));
    const size_t k = ring.size();
    mont::Limbs q = ring.enterSmall((uint64_t)(Q < 0 ? -Q : Q));
    if (Q < 0) {
        mont::Limbs zero(k, 0);
        ring.sub(zero.data(), q.data(), q.data());
    }
    // N + 1 = d * 2^s
    TBigInt np1, one = BigFromInt(1);
    TBigInt absN = N;
    absN.Sign = Positive;
    BigAdd(absN, one, np1);
    size_t s = 0;
    while ((np1.Digits[1] & 1) == 0) { BigShiftRightBit(np1); ++s; }
    const TBigInt& d = np1;

    // P = 1, so P * Q^k is Q^k itself.
    mont::Limbs v0 = ring.enterSmall(2), v1 = ring.one(), qk = ring.one(), t(k), u(k);
    const size_t nd = mag::len(d);
    const size_t bits = 31 * (nd - 1) + (size_t)(64 - __builtin_clzll((uint64_t)d.Digits[nd]));
    for (size_t i = bits; i-- > 0;) {
        BigPoll();
        const bool bit = (d.Digits[1 + i / 31] >> (i % 31)) & 1;
        ring.mul(v0.data(), v1.data(), t.data());
        ring.sub(t.data(), qk.data(), t.data());            // V_(2k+1) = V_k V_(k+1) - Q^k
        if (bit) {
            ring.mul(qk.data(), q.data(), u.data());        // Q^(k+1)
            ring.sqr(v1.data(), v1.data());
            ring.sub(v1.data(), u.data(), v1.data());
            ring.sub(v1.data(), u.data(), v1.data());       // V_(2k+2)
            v0.swap(t);
            ring.mul(qk.data(), u.data(), qk.data());       // Q^(2k+1)
        } else {
            ring.sqr(v0.data(), v0.data());
            ring.sub(v0.data(), qk.data(), v0.data());
            ring.sub(v0.data(), qk.data(), v0.data());      // V_(2k)
            v1.swap(t);
            ring.sqr(qk.data(), qk.data());                 // Q^(2k)
        }
    }
    mont::Limbs zero(k, 0);
    ring.add(v1.data(), v1.data(), t.data());
    ring.sub(t.data(), v0.data(), t.data());            // D U_d = 2 V_(d+1) - P V_d
    if (ring.equal(t.data(), zero.data()) || ring.equal(v0.data(), zero.data())) return true;
    for (size_t r = 1; r < s; ++r) {
        BigPoll();
        ring.sqr(v0.data(), v0.data());
        ring.sub(v0.data(), qk.data(), v0.data());
        ring.sub(v0.data(), qk.data(), v0.data());
        if (ring.equal(v0.data(), zero.data())) return true;
        ring.sqr(qk.data(), qk.data());
    }
    return false;
}

namespace {

// The random-base rounds of Miller-Rabin, with the source reseeded before and after N - 1 is
// split, as the primitive does; the ring and the split are the caller's.
bool randomBaseRounds(const TBigInt& N, const mont::Ring& ring, const TBigInt& d, size_t s,
                      int32_t iterations) {
    RandomReseed();
    RandomReseed();
    const bool small = mag::len(N) == 1;
    for (int32_t k = 0; k < iterations; ++k) {
        const int32_t base = SmallPrimeBases[RandomBelow(1227)];
        // A base equal to N (N a prime of the table) says nothing; the table answers instead.
        if (small && N.Digits[1] == base) continue;
        if (!strongTest(ring, d, s, (uint64_t)base)) return false;
    }
    return true;
}

}  // namespace

bool BigRabinMiller(const TBigInt& N, int32_t iterations) {
    if (!BigIsOdd(N) || (mag::len(N) == 1 && N.Digits[1] < 3)) return false;
    TBigInt d;
    const size_t s = oddPart(N, d);
    return randomBaseRounds(N, mont::Ring(mag::dig(N), mag::len(N)), d, s, iterations);
}

bool BigIsPrime(const TBigInt& N) {
    const size_t n = mag::len(N);
    if (n == 1 && N.Digits[1] < 2) return false;
    if (n == 1 && N.Digits[1] == 2) return true;
    if (!BigIsOdd(N)) return false;
    const int trial = trialDivision(N);
    if (trial >= 0) return trial == 1;
    mont::Ring ring(mag::dig(N), mag::len(N));
    TBigInt d;
    const size_t s = oddPart(N, d);
    // Below 3317044064679887385961981 the thirteen prime bases up to 41 decide exactly.
    static const TBigInt bound = [] {
        TBigInt b;
        BigFromDecimal("3317044064679887385961981", b);
        return b;
    }();
    if (BigCompareAbs(N, bound) == cmpLess) {
        for (uint64_t base : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41})
            if (!strongTest(ring, d, s, base)) return false;
        return true;
    }
    if (!strongTest(ring, d, s, 2)) return false;
    if (!BigStrongLucas(N)) return false;
    return randomBaseRounds(N, ring, d, s, 4);
}

void BigNextPrime(TBigInt& N) {
    if (N.Sign == Negative || (mag::len(N) == 1 && N.Digits[1] < 2)) {
        N = BigFromInt(2);
        return;
    }
    if (!BigIsOdd(N)) N.Digits[1] += 1;   // even digit: no carry
    // Residues modulo the small primes let most candidates be skipped without a test.
    const bool big = mag::len(N) > 1 || N.Digits[1] > 1000 * 1000;
    std::vector<uint32_t> primes, residues;
    if (big)
        for (int32_t p : SmallPrimeBases) {
            if (p > 4000) break;
            primes.push_back((uint32_t)p);
            residues.push_back((uint32_t)modSmall(N, (uint64_t)p));
        }
    const TBigInt two = BigFromInt(2);
    TBigInt t;
    for (;;) {
        bool candidate = true;
        for (size_t i = 0; i < primes.size(); ++i)
            if (residues[i] == 0) { candidate = false; break; }
        if (candidate && BigIsPrime(N)) return;
        BigAdd(N, two, t);
        N = std::move(t);
        for (size_t i = 0; i < primes.size(); ++i) {
            residues[i] += 2;
            if (residues[i] >= primes[i]) residues[i] -= primes[i];
        }
    }
}

void BigRandom(const TBigInt& M, TBigInt& C) {
    TBigInt K, r;
    BigFromDecimal("44485709377909", K);
    RandomReseed();
    r = BigFromInt(RandomBelow(2147483647u));
    BigMulMod(r, K, M, C);
}
