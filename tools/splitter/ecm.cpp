// The elliptic curve method on fixed-width Montgomery residues.
#include "tools/splitter/ecm.h"

#include <string>
#include <vector>

#include "numtheory/big.h"
#include "numtheory/primes.h"

namespace splitter {

namespace {

using numtheory::BigMont;

constexpr uint32_t kD = 2310;  // 2*3*5*7*11: the giant step of stage 2

bool isOne(const TBigInt& g) { return g.Digits[0] == 1 && g.Digits[1] == 1; }

template <int K>
class Curve {
public:
    using V = typename BigMont<K>::V;
    struct Point { V x, z; };

    Curve(const BigMont<K>& m, const V& a24) : m_(m), a24_(a24) {}

    Point dbl(const Point& p) const {
        const V a = m_.sqr(m_.add(p.x, p.z));
        const V b = m_.sqr(m_.sub(p.x, p.z));
        const V c = m_.sub(a, b);
        return {m_.mul(a, b), m_.mul(c, m_.add(b, m_.mul(a24_, c)))};
    }
    // p + q, given d = p - q.
    Point add(const Point& p, const Point& q, const Point& d) const {
        const V u = m_.mul(m_.sub(p.x, p.z), m_.add(q.x, q.z));
        const V v = m_.mul(m_.add(p.x, p.z), m_.sub(q.x, q.z));
        return {m_.mul(d.z, m_.sqr(m_.add(u, v))), m_.mul(d.x, m_.sqr(m_.sub(u, v)))};
    }
    Point times(const Point& p, uint64_t k) const {
        if (k == 1) return p;
        Point r0 = p, r1 = dbl(p);
        for (int bit = 62 - __builtin_clzll(k); bit >= 0; --bit) {
            if ((k >> bit) & 1) {
                r0 = add(r1, r0, p);
                r1 = dbl(r1);
            } else {
                r1 = add(r0, r1, p);
                r0 = dbl(r0);
            }
        }
        return r0;
    }

private:
    const BigMont<K>& m_;
    V a24_;
};

// The gcd of a residue (given as a plain TBigInt) with N: a proper divisor ends the curve with
// it, N itself ends it without one, 1 lets it go on.
struct Step {
    bool done = false;
    std::optional<TBigInt> factor;
};

Step gcdStep(const TBigInt& v, const TBigInt& N) {
    TBigInt g;
    BigGcd(v, N, g);
    BigAbs(g);
    if (isOne(g)) return {};
    if (BigCompareAbs(g, N) == cmpEqual) return {true, std::nullopt};
    return {true, g};
}

// The curve of Suyama's parametrisation for sigma and its starting point: u = sigma^2 - 5,
// v = 4 sigma, start (u^3 : v^3), (A + 2)/4 = (v - u)^3 (3u + v) / (16 u^3 v). The one
// inversion may instead show a factor (or fail).
template <int K>
Step suyamaCurve(const BigMont<K>& m, uint32_t sigma, std::optional<Curve<K>>& curve,
                 typename Curve<K>::Point& start) {
    using V = typename BigMont<K>::V;
    const TBigInt& N = m.bigModulus();
    const V s = m.enterBig(BigFromInt(sigma));
    const V u = m.sub(m.sqr(s), m.enterBig(BigFromInt(5)));
    const V v = m.mul(s, m.enterBig(BigFromInt(4)));
    const V u3 = m.mul(m.sqr(u), u), v3 = m.mul(m.sqr(v), v);
    const V vu = m.sub(v, u);
    const V num = m.mul(m.mul(m.sqr(vu), vu), m.add(m.add(m.add(u, u), u), v));
    const V den = m.mul(m.mul(u3, v), m.enterBig(BigFromInt(16)));
    const TBigInt denPlain = m.leaveBig(den);
    if (Step st = gcdStep(denPlain, N); st.done) return st;
    TBigInt inv;
    BigModInverse(denPlain, N, inv);
    curve.emplace(m, m.mul(num, m.enterBig(inv)));
    start = {u3, v3};
    return {};
}

// Stage 1: the point times every prime power up to B1.
template <int K>
typename Curve<K>::Point stageOne(const Curve<K>& curve, typename Curve<K>::Point p, uint32_t B1,
                                  const std::vector<uint8_t>& flags, Progress& progress) {
    auto times = [&](uint64_t q) {
        uint64_t pk = q;
        while (pk <= B1 / q) pk *= q;
        p = curve.times(p, pk);
    };
    uint32_t count = 0;
    for (uint32_t q : numtheory::SmallPrimes()) {
        if (q > B1) break;
        times(q);
        if ((++count & 255) == 0) progress.check();
    }
    for (uint64_t q = 65537; q <= B1; q += 2)
        if (flags[q / 2]) {
            times(q);
            if ((++count & 255) == 0) progress.check();
        }
    return p;
}

// The odd j below D/2 prime to D, the baby steps of stage 2.
std::vector<uint32_t> babySteps() {
    std::vector<uint32_t> babies;
    for (uint32_t j = 1; j < kD / 2; j += 2)
        if (j % 3 && j % 5 && j % 7 && j % 11) babies.push_back(j);
    return babies;
}

// j P for the baby steps j, then m D P for m0 <= m <= m1.
template <int K>
std::vector<typename Curve<K>::Point> stageTwoPoints(const Curve<K>& curve, const typename Curve<K>::Point& p,
                                                     uint64_t m0, uint64_t m1) {
    using Point = typename Curve<K>::Point;
    std::vector<Point> points;
    const Point p2 = curve.dbl(p);
    Point prev = p, cur = curve.add(p2, p, p);  // 1P, 3P
    points.push_back(p);
    for (uint32_t j = 3; j < kD / 2; j += 2) {
        if (j % 3 && j % 5 && j % 7 && j % 11) points.push_back(cur);
        const Point next = curve.add(cur, p2, prev);
        prev = cur;
        cur = next;
    }
    const Point step = curve.times(p, kD);
    prev = curve.times(p, m0 * kD);
    points.push_back(prev);
    if (m1 > m0) {
        cur = curve.times(p, (m0 + 1) * kD);
        points.push_back(cur);
        for (uint64_t mm = m0 + 2; mm <= m1; ++mm) {
            const Point next = curve.add(cur, step, prev);
            prev = cur;
            cur = next;
            points.push_back(cur);
        }
    }
    return points;
}

// The x of every point normalised to z = 1, by one inversion for all (which may instead show
// a factor, or fail).
template <int K>
Step normalise(const BigMont<K>& m, const std::vector<typename Curve<K>::Point>& points,
               std::vector<typename BigMont<K>::V>& xs) {
    using V = typename BigMont<K>::V;
    const size_t n = points.size();
    std::vector<V> prefix(n);
    V acc = m.one();
    for (size_t i = 0; i < n; ++i) prefix[i] = acc = m.mul(acc, points[i].z);
    const TBigInt accPlain = m.leaveBig(acc);
    if (Step st = gcdStep(accPlain, m.bigModulus()); st.done) return st;
    TBigInt inv;
    BigModInverse(accPlain, m.bigModulus(), inv);
    V running = m.enterBig(inv);
    xs.assign(n, V{});
    for (size_t i = n; i-- > 0;) {
        const V zinv = i ? m.mul(running, prefix[i - 1]) : running;
        running = m.mul(running, points[i].z);
        xs[i] = m.mul(points[i].x, zinv);
    }
    return {};
}

template <int K>
std::optional<TBigInt> oneCurve(const BigMont<K>& m, uint32_t sigma, uint32_t B1, uint64_t B2,
                                const std::string& phase, Progress& progress) {
    using V = typename BigMont<K>::V;
    const TBigInt& N = m.bigModulus();
    std::optional<Curve<K>> curve;
    typename Curve<K>::Point p{};
    if (Step st = suyamaCurve(m, sigma, curve, p); st.done) return st.factor;
    const auto flags = numtheory::OddPrimeFlags(B2);
    p = stageOne(*curve, p, B1, *flags, progress);
    if (Step st = gcdStep(m.toBig(p.z), N); st.done) return st.factor;
    progress.report(-1, phase);

    // Stage 2: primes q = mD +- j in (B1, B2], j odd below D/2 and prime to D; every point is
    // normalised, so each q costs one product: (x_mD - x_j).
    const std::vector<uint32_t> babies = babySteps();
    const uint64_t m0 = std::max<uint64_t>(1, B1 / kD), m1 = B2 / kD + 1;
    const auto points = stageTwoPoints(*curve, p, m0, m1);
    progress.check();
    std::vector<V> xs;
    if (Step st = normalise(m, points, xs); st.done) return st.factor;
    const size_t nb = babies.size();
    V prod = m.one();
    for (uint64_t mm = m0; mm <= m1; ++mm) {
        const V& xg = xs[nb + (mm - m0)];
        const uint64_t c = mm * kD;
        for (size_t b = 0; b < nb; ++b) {
            const uint64_t lo = c - babies[b], hi = c + babies[b];
            const bool want = (lo > B1 && lo <= B2 && (*flags)[lo / 2]) ||
                              (hi > B1 && hi <= B2 && (*flags)[hi / 2]);
            if (want) prod = m.mul(prod, m.sub(xg, xs[b]));
        }
        if ((mm & 15) == 0) progress.check();
    }
    return gcdStep(m.toBig(prod), N).factor;
}

}  // namespace

std::optional<TBigInt> Ecm(const TBigInt& N, uint32_t B1, uint64_t B2, uint32_t curves,
                           uint32_t& curveCounter, Progress& progress) {
    B2 = std::min<uint64_t>(std::max<uint64_t>(B2, B1), (1u << 25) - 1);
    std::optional<TBigInt> result;
    numtheory::WithWidth(numtheory::BigBitLength(N), [&]<int K>() {
        const BigMont<K> m(N);
        for (uint32_t c = 0; c < curves && !result; ++c) {
            const uint32_t k = ++curveCounter;
            const std::string phase = "ECM curve " + std::to_string(k);
            progress.check();
            progress.report(-1, phase);
            result = oneCurve<K>(m, 7 + k, B1, B2, phase, progress);
        }
    });
    return result;
}

}  // namespace splitter
