// Pollard rho on TBigInt values and on fixed-width Montgomery residues.
#include "tools/splitter/rho.h"

#include "tools/splitter/fixed.h"

void RhoStep(TBigInt& X, const TBigInt& C, const TBigInt& N) {
    TBigInt sq, sum;
    BigSquare(X, sq);
    BigAdd(sq, C, sum);
    BigMod(sum, N, X);
}

namespace splitter {

namespace {

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
    using V = typename Mont<K>::V;
    const Mont<K> m(N);
    const V c = m.enter(C);
    V x = m.enter(X0), y = x, q = m.one();
    auto step = [&](const V& v) { return m.add(m.sqr(v), c); };
    constexpr uint64_t batch = 64;
    TBigInt g;
    for (uint64_t done = 0; done < budget; done += batch) {
        const V sx = x, sy = y, sq = q;
        const uint64_t n = std::min(batch, budget - done);
        for (uint64_t i = 0; i < n; ++i) {
            x = step(x);
            y = step(step(y));
            q = m.mul(m.sub(x, y), q);
        }
        // q is Q times a power of R, a unit: the gcd with N is the same.
        BigGcd(m.toBig(q), N, g);
        if (!isOne(g)) {
            x = sx, y = sy, q = sq;
            for (uint64_t i = 1; i <= n; ++i) {
                x = step(x);
                y = step(step(y));
                q = m.mul(m.sub(x, y), q);
                if ((done + i) % 2 == 1) {
                    BigGcd(m.toBig(q), N, g);
                    if (!isOne(g)) return g;
                }
            }
        }
        if ((done & 4095) == 0) {
            progress.check();
            progress.report(-1, "Rho");
        }
    }
    return std::nullopt;
}

template <int K>
std::optional<TBigInt> brent(const TBigInt& N, uint64_t c0, uint64_t x0, uint64_t budget,
                             Progress& progress) {
    using V = typename Mont<K>::V;
    const Mont<K> m(N);
    const V c = m.enter(BigFromInt((int64_t)(c0 & 0x3fffffffffffffff)));
    V y = m.enter(BigFromInt((int64_t)(x0 & 0x3fffffffffffffff))), x = y, ys = y, q = m.one();
    auto f = [&](const V& v) { return m.add(m.sqr(v), c); };
    TBigInt g = BigFromInt(1);
    constexpr uint64_t batch = 128;
    uint64_t r = 1, used = 0;
    while (isOne(g) && used < budget) {
        x = y;
        for (uint64_t i = 0; i < r; ++i) y = f(y);
        used += r;
        for (uint64_t k = 0; k < r && isOne(g); k += batch) {
            ys = y;
            const uint64_t n = std::min(batch, r - k);
            for (uint64_t i = 0; i < n; ++i) {
                y = f(y);
                q = m.mul(q, m.sub(x, y));
            }
            used += n;
            BigGcd(m.toBig(q), N, g);
            if ((used & 8191) < batch) {
                progress.check();
                progress.report(-1, "Rho");
            }
        }
        r *= 2;
    }
    if (isOne(g)) return std::nullopt;
    if (BigCompareAbs(g, N) == cmpEqual) {
        // The batch overshot: step one at a time from its start.
        for (uint64_t i = 0; i < 2 * batch + r; ++i) {
            ys = f(ys);
            BigGcd(m.toBig(m.sub(x, ys)), N, g);
            if (!isOne(g)) break;
        }
        if (isOne(g) || BigCompareAbs(g, N) == cmpEqual) return std::nullopt;
    }
    return g;
}

}  // namespace

std::optional<TBigInt> RhoRunFast(const TBigInt& N, const TBigInt& C, const TBigInt& X0,
                                  uint64_t budget, Progress& progress) {
    std::optional<TBigInt> result;
    TBigInt n;
    BigCopy(N, n);
    BigAbs(n);
    if (!WithWidth(BitLength(n), [&]<int K>() { result = rhoFast<K>(n, C, X0, budget, progress); }))
        return RhoRunReference(n, C, X0, budget, progress);
    return result;
}

std::optional<TBigInt> BrentRho(const TBigInt& N, uint64_t c, uint64_t x0, uint64_t budget,
                                Progress& progress) {
    std::optional<TBigInt> result;
    WithWidth(BitLength(N), [&]<int K>() { result = brent<K>(N, c, x0, budget, progress); });
    return result;
}

}  // namespace splitter
