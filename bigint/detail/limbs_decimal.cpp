// Decimal text to and from limbs. Short numbers go nineteen digits (one limb) at a time;
// long ones by divide and conquer over the powers 10^(19 * 2^k), kept per thread, so that
// converting n digits costs about a product of n digits times log n.
#include <algorithm>
#include <bit>
#include <cstring>

#include <memory>

#include "bigint/detail/fft.h"
#include "bigint/detail/limbs.h"

namespace limbs {
namespace {

constexpr Limb kTen19 = 10000000000000000000ull;
constexpr size_t kChunk = 19;

constexpr Limb kFive19 = 19073486328125ull;

// 5^(19 * 2^k), trimmed: 10^e = 5^e 2^e with e = 19 * 2^k, and the power of two is a shift, so
// products and divisions by 10^e work on 5^e, which has 0.7 times the bits. Kept per thread
// for the whole run with what makes products and divisions by it cheaper (see Level): every
// conversion of a similar size (the rows of a certificate above all) reuses them, a few MB
// at most for the longest numbers.
// Barrett's reciprocal mu = floor(B^L / p) for dividends of L limbs, transformed for wrapped
// products with the dividends' tops.
struct Reciprocal {
    size_t L;
    Vec mu;
    std::unique_ptr<bigfft::WrappedFactor> wrapped;
};

struct Level {
    Vec p;   // 5^e
    // Division (to decimal): a reciprocal for each dividend length met twice (random values
    // of one length give one or two dividend lengths per level), the latest few kept; and p
    // transformed for products modulo B^K + 1, K > p's limbs, where the remainder lies.
    std::vector<size_t> seen;   // dividend lengths met once, without a reciprocal yet
    std::vector<std::unique_ptr<Reciprocal>> reciprocals;
    std::unique_ptr<bigfft::WrappedFactor> pWrapped;
};

Level& level(size_t k) {
    thread_local std::vector<std::unique_ptr<Level>> levels;
    if (levels.empty()) {
        levels.push_back(std::make_unique<Level>());
        levels.back()->p = Vec{kFive19};
    }
    while (levels.size() <= k) {
        const Vec& last = levels.back()->p;
        Vec sq(2 * last.size());
        sqr(sq.data(), last.data(), last.size());
        sq.resize(trimmed(sq.data(), sq.size()));
        levels.push_back(std::make_unique<Level>());
        levels.back()->p = std::move(sq);
    }
    return *levels[k];
}

const Vec& fivePower(size_t k) { return level(k).p; }

size_t tenExponent(size_t k) { return kChunk << k; }

// x >> e for x of n limbs: n - e / 64 limbs (at least one).
Vec shiftedDown(const Limb* x, size_t n, size_t e) {
    const size_t w = e / 64;
    const unsigned b = (unsigned)(e % 64);
    if (n <= w) return Vec(1, 0);
    Vec r(x + w, x + n);
    if (b) rshift(r.data(), r.data(), r.size(), b);
    return r;
}

// r[0..m) := (v << e) + low, for v of nv limbs and low of nl limbs, m limbs being enough.
void shiftUpAdd(Limb* r, size_t m, const Limb* v, size_t nv, size_t e, const Limb* low, size_t nl) {
    const size_t w = e / 64;
    const unsigned b = (unsigned)(e % 64);
    std::fill(r, r + m, 0);
    const size_t nvFit = m > w ? std::min(nv, m - w) : 0;   // v = 0 leaves r = low
    if (nvFit > 0 && b) {
        const Limb out = lshift(r + w, v, nvFit, b);
        if (w + nvFit < m) r[w + nvFit] = out;
    } else if (nvFit > 0) {
        std::copy(v, v + nvFit, r + w);
    }
    add(r, r, m, low, std::min(nl, m));
}

// x mod (B^K + 1) for x of nx limbs, into out[0..K], in [0, B^K]: the K-limb chunks of x
// alternately added and subtracted (B^K = -1).
void modWrapped(const Limb* x, size_t nx, size_t K, Limb* out) {
    Vec sums[2] = {Vec(K + 1, 0), Vec(K + 1, 0)};
    for (size_t i = 0, c = 0; i < nx; i += K, ++c) {
        Vec& s = sums[c % 2];
        s[K] += add(s.data(), s.data(), K, x + i, std::min(K, nx - i));
    }
    for (Vec& s : sums) {   // hi B^K + lo = lo - hi
        const Limb hi = s[K];
        s[K] = 0;
        if (sub_1(s.data(), K, hi)) s[K] = add_1(s.data(), K, 1);
    }
    if (sub_n(out, sums[0].data(), sums[1].data(), K + 1)) {   // below zero: + B^K + 1
        add_1(out, K + 1, 1);
        out[K] += 1;
    }
}

// r[0..K] = (a - b) mod (B^K + 1) for a, b in [0, B^K].
void subWrapped(Limb* r, const Limb* a, const Limb* b, size_t K) {
    if (sub_n(r, a, b, K + 1)) {
        add_1(r, K + 1, 1);
        r[K] += 1;
    }
}

// The reciprocal of the level's power for dividends of nt limbs, built on the second request
// for that length; null before, or when the quotient is too short for it to pay.
const Reciprocal* reciprocalFor(Level& lv, size_t nt) {
    const size_t d = lv.p.size(), nq = nt - d + 1;
    // Against a short quotient (nq limbs) the plain division costs about d / nq products of
    // nq limbs, the reciprocal's way a product of nq and a wrapped one of d limbs.
    if (d < thresholds.fft || 8 * nq < d || nq < 16) return nullptr;
    // Kept for the whole run, with transforms about 16 times their limbs in bytes each: not
    // for powers past 2^15 limbs (numbers of millions of digits, converted seldom), which keep
    // the plain division and leave no more than a few tens of MB behind per thread.
    if (d > (size_t{1} << 15)) return nullptr;
    for (const auto& r : lv.reciprocals)
        if (r->L == nt) return r.get();
    const auto seen = std::find(lv.seen.begin(), lv.seen.end(), nt);
    if (seen == lv.seen.end()) {
        if (lv.seen.size() >= 8) lv.seen.erase(lv.seen.begin());
        lv.seen.push_back(nt);
        return nullptr;
    }
    lv.seen.erase(seen);
    auto r = std::make_unique<Reciprocal>();
    r->L = nt;
    Vec num(nt + 1, 0);
    num[nt] = 1;
    r->mu.assign(nq + 1, 0);
    divmod(r->mu.data(), nullptr, num.data(), nt + 1, lv.p.data(), d);
    r->mu.resize(nq);   // mu < B^nq: B^L / p < B^L / B^(d-1)
    const bigfft::WrappedPlan plan = bigfft::wrappedPlanFor(2 * 64 * nq);
    r->wrapped = std::make_unique<bigfft::WrappedFactor>(r->mu.data(), nq, plan.points, plan.bits);
    if (!lv.pWrapped) {
        const bigfft::WrappedPlan rp = bigfft::wrappedPlanFor(64 * (d + 1));
        lv.pWrapped = std::make_unique<bigfft::WrappedFactor>(lv.p.data(), d, rp.points, rp.bits);
    }
    if (lv.reciprocals.size() >= 4) lv.reciprocals.erase(lv.reciprocals.begin());
    lv.reciprocals.push_back(std::move(r));
    return lv.reciprocals.back().get();
}

// top (nt limbs, trimmed) div and mod the level's power p, through a reciprocal: with L = nt
// the estimate q3 = floor(floor(top / B^(d-1)) mu / B^(L-d+1)) is at most two below the
// quotient (Barrett), and the remainder top - q3 p, below 3p < B^K, is found modulo B^K + 1.
// False when there is no reciprocal or a rounding check failed; q and r are then untouched.
bool divideByReciprocal(Level& lv, const Limb* top, size_t nt, Vec& q, Vec& r) {
    const Vec& p = lv.p;
    const size_t d = p.size();
    if (nt < d) return false;
    const Reciprocal* rc = reciprocalFor(lv, nt);
    if (!rc) return false;
    const size_t nq = nt - d + 1;
    // q3 from the wrapped (here exact) product of top's high limbs and mu.
    Vec prod(rc->wrapped->limbs() + 1);
    if (!rc->wrapped->mul(top + d - 1, nq, prod.data())) return false;
    Vec q3(prod.begin() + (long)nq, prod.begin() + (long)(2 * nq));
    // The remainder modulo B^K + 1.
    const size_t K = lv.pWrapped->limbs();
    Vec qf(K + 1), h(K + 1), tf(K + 1), rem(K + 1);
    modWrapped(q3.data(), nq, K, qf.data());
    if (qf[K]) {   // q3 = -1: h = -p
        Vec pk(K + 1, 0), zero(K + 1, 0);
        std::copy(p.begin(), p.end(), pk.begin());
        subWrapped(h.data(), zero.data(), pk.data(), K);
    } else if (!lv.pWrapped->mul(qf.data(), K, h.data())) {
        return false;
    }
    modWrapped(top, nt, K, tf.data());
    subWrapped(rem.data(), tf.data(), h.data(), K);
    // rem < 3p: at most two corrections.
    const size_t nr = std::max(d + 1, trimmed(rem.data(), K + 1));
    rem.resize(nr);
    Vec pp(p);
    pp.resize(nr, 0);
    while (cmp_n(rem.data(), pp.data(), nr) >= 0) {
        sub_n(rem.data(), rem.data(), pp.data(), nr);
        add_1(q3.data(), nq, 1);
    }
    rem.resize(d);
    q = std::move(q3);
    r = std::move(rem);
    return true;
}

// Writes v < 10^5 as exactly 5 digits at out.
inline void put5(char* out, uint32_t v) {
    for (int i = 4; i >= 0; --i) {
        out[i] = char('0' + v % 10);
        v /= 10;
    }
}

// Writes v < 10^19 as exactly 19 digits at out: four groups of at most five digits on 32-bit
// words, independent of each other, instead of one chain of nineteen 64-bit divisions.
void put19(char* out, Limb v) {
    const Limb high = v / 10000000000ull, low = v % 10000000000ull;   // 9 and 10 digits
    const uint32_t h1 = (uint32_t)(high / 100000), h0 = (uint32_t)(high % 100000);
    const uint32_t l1 = (uint32_t)(low / 100000), l0 = (uint32_t)(low % 100000);
    char first[5];
    put5(first, h1);   // below 10^4: its first place is a zero
    std::memcpy(out, first + 1, 4);
    put5(out + 4, h0);
    put5(out + 9, l1);
    put5(out + 14, l0);
}

// The value of 8 decimal digits at s (no check): pairs, then quadruples, then the whole, each
// step one multiplication on the 64-bit word that holds them.
inline Limb parse8(const char* s) {
    uint64_t x;
    std::memcpy(&x, s, 8);   // s[0] in the low byte: the most significant digit
    x -= 0x3030303030303030ull;
    x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FFull;
    x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFFull;
    return (x * 10000 + (x >> 32)) & 0xFFFFFFFFull;
}

// Writes x (n limbs, destroyed) as exactly width digits at out, by repeated division by 10^19.
void emitSmall(char* out, size_t width, Limb* x, size_t n) {
    size_t end = width;
    n = trimmed(x, n);
    while (n > 0 && end >= kChunk) {
        const Limb r = divmod_1(x, x, n, kTen19);
        n = trimmed(x, n);
        end -= kChunk;
        put19(out + end, r);
    }
    char tail[kChunk];
    if (n > 0) {   // fewer than 19 places left, the rest of x fits them
        put19(tail, x[0]);
        std::memcpy(out, tail + kChunk - end, end);
        end = 0;
    }
    std::memset(out, '0', end);
}

// Writes x (n limbs) < 10^(19 * 2^(k+1)) as exactly width = 19 * 2^(k+1) digits: the high
// and low halves of its digits are x div 10^e and x mod 10^e (e = 19 * 2^k), that is
// (x >> e) div 5^e and ((x >> e) mod 5^e) << e plus the low e bits of x.
void emit(char* out, const Limb* x, size_t n, size_t k) {
    const size_t width = kChunk << (k + 1);
    n = trimmed(x, n);
    if (n < std::max<size_t>(thresholds.decimal, 2) || k == 0) {
        Vec w(x, x + n);
        emitSmall(out, width, w.data(), n);
        return;
    }
    const size_t e = tenExponent(k);
    Level& lv = level(k);
    const Vec& p = lv.p;
    Vec top = shiftedDown(x, n, e);
    const size_t nt = std::max<size_t>(trimmed(top.data(), top.size()), 1);
    if (nt < p.size() || (nt == p.size() && cmp_n(top.data(), p.data(), nt) < 0)) {
        // below 10^e: the high half is all zeros
        std::memset(out, '0', width / 2);
        emit(out + width / 2, x, n, k - 1);
        return;
    }
    Vec q, r5;
    if (!divideByReciprocal(lv, top.data(), nt, q, r5)) {
        q.assign(nt - p.size() + 1, 0);
        r5.assign(p.size(), 0);
        divmod(q.data(), r5.data(), top.data(), nt, p.data(), p.size());
    }
    // x mod 10^e < 10^e: as many limbs as e bits plus p.
    const size_t m = std::min(n, e / 64 + p.size() + 1);
    const size_t lw = e / 64;
    const unsigned lb = (unsigned)(e % 64);
    Vec low(x, x + std::min(n, lw + (lb ? 1 : 0)));   // x mod 2^e
    if (lb && low.size() == lw + 1) low[lw] &= (Limb{1} << lb) - 1;
    Vec r(m);
    shiftUpAdd(r.data(), m, r5.data(), r5.size(), e, low.data(), low.size());
    emit(out, q.data(), q.size(), k - 1);
    emit(out + width / 2, r.data(), r.size(), k - 1);
}

// Value of the chunks c[0..n) (radix 10^19, least significant first) into r[0..n).
void combine(Limb* r, const Limb* c, size_t n) {
    if (n <= std::max<size_t>(2 * thresholds.decimal, 2)) {
        size_t len = 0;
        for (size_t i = n; i-- > 0;) {
            // r := r * 10^19 + c[i]; with no limbs yet, add_1 hands c[i] back as the carry.
            const Limb carry = mul_1(r, r, len, kTen19) + add_1(r, len, c[i]);
            if (carry) r[len++] = carry;
        }
        std::fill(r + len, r + n, 0);
        return;
    }
    size_t k = 0;
    while ((size_t{2} << k) < n) ++k;
    const size_t lowCount = size_t{1} << k;   // low half: 2^k chunks, at most as many limbs
    Vec low(lowCount), high(n - lowCount);
    combine(low.data(), c, lowCount);
    combine(high.data(), c + lowCount, n - lowCount);
    // r = (high * 5^e) << e + low, e = 19 * 2^k
    const Vec& p = fivePower(k);
    const size_t nh = std::max<size_t>(trimmed(high.data(), high.size()), 1);
    Vec t(nh + p.size());
    if (nh >= p.size()) mul(t.data(), high.data(), nh, p.data(), p.size());
    else mul(t.data(), p.data(), p.size(), high.data(), nh);
    shiftUpAdd(r, n, t.data(), trimmed(t.data(), t.size()), tenExponent(k), low.data(), lowCount);
}

}  // namespace

std::string toDecimal(const Limb* a, size_t n) {
    n = trimmed(a, n);
    if (n == 0) return "0";
    // At most 19.27 n + 1 digits: the smallest k with 19 * 2^(k+1) at least that.
    const size_t digits = (n * 64 * 30103 + 99999) / 100000 + 1;
    size_t k = 0;
    while ((kChunk << (k + 1)) < digits) ++k;
    std::string s(kChunk << (k + 1), '0');
    emit(s.data(), a, n, k);
    const size_t first = s.find_first_not_of('0');
    return first == std::string::npos ? "0" : s.substr(first);
}

Vec fromDecimal(const char* s, size_t len) {
    const size_t n = (len + kChunk - 1) / kChunk;
    Vec chunks(n);
    for (size_t c = 0; c < n; ++c) {
        const size_t end = len - c * kChunk, start = end > kChunk ? end - kChunk : 0;
        Limb v = 0;
        size_t i = start;
        if (std::endian::native == std::endian::little && end - start == kChunk) {   // 3 + 8 + 8 digits
            v = Limb(s[i] - '0') * 100 + Limb(s[i + 1] - '0') * 10 + Limb(s[i + 2] - '0');
            v = v * 10000000000000000ull + parse8(s + i + 3) * 100000000ull + parse8(s + i + 11);
            i = end;
        }
        for (; i < end; ++i) v = v * 10 + Limb(s[i] - '0');
        chunks[c] = v;
    }
    Vec r(n);
    combine(r.data(), chunks.data(), n);
    return r;
}

}  // namespace limbs
