// Pollard rho on TBigInt values and on fixed-width Montgomery residues.
#include "tools/splitter/rho.h"

#include "numtheory/big.h"
#include "numtheory/rho.h"

namespace splitter {

void RhoStep(TBigInt& X, const TBigInt& C, const TBigInt& N) {
    TBigInt sq, sum;
    BigSquare(X, sq);
    BigAdd(sq, C, sum);
    BigMod(sum, N, X);
}

namespace {

using numtheory::BigBitLength;
using numtheory::BigMont;
using numtheory::WithWidth;

bool isOne(const TBigInt& g) {
    return g.Digits[0] == 1 && g.Digits[1] == 1;
}

}  // namespace

std::optional<TBigInt> RhoRunReference(const TBigInt& N, const TBigInt& C, const TBigInt& X0,
                                       uint64_t budget, Progress& progress) {
    TBigInt x, y, q = BigFromInt(1), d, t, g;
    BigCopy(X0, x);
    BigCopy(X0, y);
    uint64_t k = 1, s = 1;
    for (uint64_t it = 1; it <= budget; ++it) {
        if ((it & 1023) == 0) progress.check();
        RhoStep(x, C, N);
        RhoStep(y, C, N);
        RhoStep(y, C, N);
        BigSub(x, y, d);
        BigMul(d, q, t);
        BigMod(t, N, q);
        ++k;
        if (k % s != 0) continue;
        ++s;
        BigGcd(q, N, g);
        if (!isOne(g)) {
            BigAbs(g);
            return g;
        }
    }
    return std::nullopt;
}

namespace {

template <int K>
std::optional<TBigInt> rhoFast(const TBigInt& N, const TBigInt& C, const TBigInt& X0,
                               uint64_t budget, Progress& progress) {
    const BigMont<K> m(N);
    TBigInt g;
    const auto found = [&](const typename BigMont<K>::V& v) {
        BigGcd(m.toBig(v), N, g);
        return !isOne(g);
    };
    const auto poll = [&](uint64_t) {
        progress.check();
        progress.report(-1, "Rho");
    };
    if (!numtheory::FloydRho(m, m.enterBig(C), m.enterBig(X0), budget, found, poll)) return std::nullopt;
    return g;
}

template <int K>
std::optional<TBigInt> brent(const TBigInt& N, uint64_t c0, uint64_t x0, uint64_t budget,
                             Progress& progress) {
    const BigMont<K> m(N);
    const auto c = m.enterBig(BigFromInt((int64_t)(c0 & 0x3fffffffffffffff)));
    const auto y = m.enterBig(BigFromInt((int64_t)(x0 & 0x3fffffffffffffff)));
    TBigInt g;
    const auto gcd = [&](const typename BigMont<K>::V& v) {
        BigGcd(m.toBig(v), N, g);
        if (isOne(g)) return numtheory::GcdOutcome::One;
        return BigCompareAbs(g, N) == cmpEqual ? numtheory::GcdOutcome::All : numtheory::GcdOutcome::Factor;
    };
    const auto poll = [&](uint64_t used) {
        if ((used & 8191) < 128) {
            progress.check();
            progress.report(-1, "Rho");
        }
    };
    if (!numtheory::BrentRho(m, c, y, budget, gcd, poll)) return std::nullopt;
    return g;
}

}  // namespace

std::optional<TBigInt> RhoRunFast(const TBigInt& N, const TBigInt& C, const TBigInt& X0,
                                  uint64_t budget, Progress& progress) {
    std::optional<TBigInt> result;
    TBigInt n;
    BigCopy(N, n);
    BigAbs(n);
    if (!WithWidth(BigBitLength(n), [&]<int K>() { result = rhoFast<K>(n, C, X0, budget, progress); }))
        return RhoRunReference(n, C, X0, budget, progress);
    return result;
}

std::optional<TBigInt> BrentRho(const TBigInt& N, uint64_t c, uint64_t x0, uint64_t budget,
                                Progress& progress) {
    std::optional<TBigInt> result;
    WithWidth(BigBitLength(N), [&]<int K>() { result = brent<K>(N, c, x0, budget, progress); });
    return result;
}

}  // namespace splitter
