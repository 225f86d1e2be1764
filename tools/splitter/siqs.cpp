// The self-initialising quadratic sieve: Knuth-Schroeppel multiplier, polynomials
// (Ax + B)^2 - kN with A a product of factor-base primes and 2^(s-1) values of B per A
// (Gray code switching), byte-log sieving over [-M, M), one large prime per relation,
// Gaussian elimination over GF(2) and square roots taken factor by factor.
#include "tools/splitter/siqs.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "numtheory/big.h"
#include "numtheory/primes.h"
#include "numtheory/word.h"

namespace splitter {

namespace {

using numtheory::BigBitLength;
using numtheory::BigFromU128;
using numtheory::BigFromWords;
using numtheory::BigToWords;
using numtheory::i128;
using numtheory::u128;

uint32_t modWords(const std::vector<uint64_t>& w, uint32_t p) {
    return (uint32_t)numtheory::WordsResidue(w.data(), w.size(), p);
}

TBigInt fromSigned(i128 v) {
    TBigInt r = BigFromU128(v < 0 ? -(u128)v : (u128)v);
    if (v < 0) BigNegate(r);
    return r;
}

struct Params {
    double digits;
    int fb;
    int halfBlocks;  // M = halfBlocks * 32768
};

// Factor-base size and sieve half-width by size, interpolated between the rows.
// Measured: up to 50 digits a 64 KB interval that stays in the cache beats wider ones.
const Params kParams[] = {
    {18, 60, 1}, {24, 100, 1}, {30, 200, 1}, {35, 320, 1}, {40, 520, 1},
    {45, 850, 1}, {50, 1350, 1}, {55, 2000, 2}, {60, 3000, 3}, {66, 4500, 4},
};

struct Relation {
    std::vector<i128> ys;           // values of Ax + B, whose squares are the left side
    std::vector<uint32_t> factors;  // factor-base indices with multiplicity (0 is -1)
    std::vector<uint64_t> large;    // large primes that occur squared
};

class Sieve {
public:
    Sieve(const TBigInt& n, Progress& progress) : n_(n), progress_(progress) {}

    std::optional<TBigInt> run() {
        const double digits = (double)BigBitLength(n_) * 0.30103;
        if (digits > 66) return std::nullopt;
        chooseMultiplier();
        if (const std::optional<TBigInt> d = buildFactorBase(digits)) return d;
        if (fb_.size() < 20) return std::nullopt;
        needed_ = fb_.size() + 64;
        // kN must leave room for g(x) = A x^2 + 2 B x + C in 127 bits.
        if (BigBitLength(kn_) > 212) return std::nullopt;
        for (;;) {
            progress_.check();
            if (!newA()) return std::nullopt;
            for (uint32_t i = 0;; ++i) {
                sievePolynomial();
                if (relations_.size() >= needed_) {
                    if (std::optional<TBigInt> d = solve()) return d;
                    // All dependencies were trivial: a few more relations give fresh ones.
                    needed_ += 32;
                    if (needed_ > fb_.size() + 400) return std::nullopt;
                }
                if (i + 1 >= (1u << (s_ - 1))) break;
                nextB(i + 1);
            }
        }
    }

private:
    void chooseMultiplier() {
        static const uint32_t kMultipliers[] = {1, 2, 3, 5, 6, 7, 10, 11, 13, 14, 15, 17, 19, 21, 22, 23, 26, 29, 30,
                                      31, 33, 34, 35, 37, 38, 39, 41, 42, 43, 46, 47, 51, 53, 55, 57, 58,
                                      59, 61, 62, 65, 66, 67, 69, 70, 71, 73};
        const std::vector<uint64_t> w = BigToWords(n_);
        const std::span<const uint32_t> primes = numtheory::SmallPrimes();
        double best = -1e300;
        uint32_t bestK = 1;
        for (uint32_t k : kMultipliers) {
            double f = -0.5 * std::log((double)k);
            const uint32_t kn8 = (uint32_t)((uint64_t)modWords(w, 8) * k % 8);
            if (kn8 == 1) f += 2 * std::log(2.0);
            else if (kn8 == 5) f += std::log(2.0);
            else if (kn8 == 3 || kn8 == 7) f += 0.5 * std::log(2.0);
            for (size_t i = 1; i < primes.size() && primes[i] < 2000; ++i) {
                const uint32_t p = primes[i];
                const uint64_t r = (uint64_t)modWords(w, p) * k % p;
                if (r == 0) f += std::log((double)p) / p;
                else if (numtheory::PowMod64(r, (p - 1) / 2, p) == 1) f += 2 * std::log((double)p) / (p - 1);
            }
            if (f > best) best = f, bestK = k;
        }
        k_ = bestK;
        TBigInt kk = BigFromInt(k_);
        BigMul(n_, kk, kn_);
        knWords_ = BigToWords(kn_);
    }

    std::optional<TBigInt> buildFactorBase(double digits) {
        int fbSize = kParams[0].fb, half = kParams[0].halfBlocks;
        for (size_t i = 0; i + 1 < std::size(kParams); ++i) {
            const Params &a = kParams[i], &b = kParams[i + 1];
            if (digits >= a.digits) {
                const double t = std::min(1.0, (digits - a.digits) / (b.digits - a.digits));
                fbSize = (int)(a.fb + t * (b.fb - a.fb));
                half = t < 0.5 ? a.halfBlocks : b.halfBlocks;
            }
        }
        m_ = (uint32_t)half * 32768;
        // Index 0 stands for -1, index 1 for 2.
        fb_ = {1, 2};
        sqrt_ = {0, 0};
        logp_ = {0, 1};
        const std::vector<uint64_t> nw = BigToWords(n_);
        const std::span<const uint32_t> primes = numtheory::SmallPrimes();
        for (size_t i = 1; i < primes.size() && (int)fb_.size() < fbSize; ++i) {
            const uint32_t p = primes[i];
            if (modWords(nw, p) == 0) {
                TBigInt d = BigFromInt(p);
                if (BigCompareAbs(d, n_) != cmpEqual) return d;
                continue;
            }
            const uint32_t r = modWords(knWords_, p);
            if (r != 0 && numtheory::PowMod64(r, (p - 1) / 2, p) != 1) continue;
            fb_.push_back(p);
            sqrt_.push_back((uint32_t)numtheory::SqrtModPrime(r, p));
            logp_.push_back((uint8_t)std::lround(std::log2((double)p)));
        }
        const size_t f = fb_.size();
        root1_.assign(f, 0);
        root2_.assign(f, 0);
        ainv_.assign(f, 0);
        mmod_.assign(f, 0);
        for (size_t j = 2; j < f; ++j) mmod_[j] = m_ % fb_[j];
        // The smallest primes hit every few bytes; they are left to the trial division.
        sieveStart_ = 2;
        while (sieveStart_ < f && fb_[sieveStart_] < 30) ++sieveStart_;
        large_ = std::min<uint64_t>((uint64_t)fb_.back() * (digits < 30 ? 30 : 80),
                                    (uint64_t)fb_.back() * fb_.back() - 1);
        sieve_.assign(2 * (size_t)m_ + 8, 0);
        const double logQ = std::log2((double)m_) + 0.5 * ((double)BigBitLength(kn_) - 1.0);
        // The unsieved primes below 30 and the rounding of the logs are worth about 8 bits.
        const double t = logQ - std::log2((double)large_) - 8.0;
        threshold_ = (uint8_t)std::clamp(t, 10.0, 127.0);
        // A near sqrt(2kN)/M, from s primes around 2000 taken from the factor base.
        const double logA = 0.5 * ((double)BigBitLength(kn_) + 1.0) - std::log2((double)m_);
        const double top = std::log2((double)fb_[f - 1]) - 0.3;
        s_ = std::max(2, (int)std::lround(logA / std::min(11.0, top)));
        while (s_ > 2 && logA / s_ < 7) --s_;
        if (logA / s_ > top) ++s_;
        qBits_ = logA / s_;
        targetLogA_ = logA;
        return std::nullopt;
    }

    uint64_t nextRandom() {
        rng_ ^= rng_ << 13;
        rng_ ^= rng_ >> 7;
        rng_ ^= rng_ << 17;
        return rng_;
    }

    // A fresh A, its s primes, the B_j and every root; false when no fresh A is left.
    bool newA() {
        const size_t f = fb_.size();
        // Candidate primes: a window around 2^qBits, not among the unsieved small ones.
        size_t lo = sieveStart_ + 1, hi = f - 1;
        const double q = std::exp2(qBits_);
        size_t c = lo;
        while (c < hi && fb_[c] < q) ++c;
        const size_t width = std::max<size_t>(8, (size_t)s_ * 4);
        lo = c > width ? std::max(lo, c - width) : lo;
        hi = std::min(hi, lo + 2 * width);
        if (hi <= lo + (size_t)s_) return false;
        for (int attempt = 0; attempt < 200; ++attempt) {
            std::vector<uint32_t> idx;
            double logA = 0;
            while ((int)idx.size() < s_ - 1) {
                const uint32_t j = (uint32_t)(lo + nextRandom() % (hi - lo));
                if (std::find(idx.begin(), idx.end(), j) != idx.end()) continue;
                idx.push_back(j);
                logA += std::log2((double)fb_[j]);
            }
            // The last prime brings A nearest to its target.
            const double want = std::exp2(targetLogA_ - logA);
            uint32_t best = 0;
            double bestErr = 1e300;
            for (size_t j = sieveStart_ + 1; j < f; ++j) {
                if (std::find(idx.begin(), idx.end(), (uint32_t)j) != idx.end()) continue;
                const double err = std::fabs(std::log((double)fb_[j] / want));
                if (err < bestErr) bestErr = err, best = (uint32_t)j;
            }
            if (best == 0) return false;
            idx.push_back(best);
            std::sort(idx.begin(), idx.end());
            u128 a = 1;
            for (uint32_t j : idx) a *= fb_[j];
            if (!usedA_.insert((uint64_t)(a ^ (a >> 64))).second) continue;
            setupA(a, idx);
            return true;
        }
        return false;
    }

    void setupA(u128 a, const std::vector<uint32_t>& idx) {
        a_ = a;
        aIdx_ = idx;
        const size_t f = fb_.size();
        inA_.assign(f, 0);
        for (uint32_t j : idx) inA_[j] = 1;
        bj_.assign((size_t)s_, 0);
        u128 b = 0;
        for (int j = 0; j < s_; ++j) {
            const uint32_t q = fb_[idx[(size_t)j]];
            const u128 aq = a / q;
            const uint64_t g0 = (uint64_t)sqrt_[idx[(size_t)j]] * (uint32_t)numtheory::InverseMod64((uint64_t)(aq % q), q) % q;
            const uint64_t gamma = g0 > q / 2 ? q - g0 : g0;
            bj_[(size_t)j] = aq * gamma;
            b += bj_[(size_t)j];
        }
        b_ = (i128)b;
        sign_.assign((size_t)s_, 1);
        bainv_.assign((size_t)s_ * f, 0);
        for (size_t p = 2; p < f; ++p) {
            if (inA_[p]) continue;
            const uint32_t pr = fb_[p];
            const uint32_t am = (uint32_t)(a % pr);
            const uint32_t inv = (uint32_t)numtheory::InverseMod64(am, pr);
            ainv_[p] = inv;
            for (int j = 0; j < s_; ++j)
                bainv_[(size_t)j * f + p] = (uint32_t)(2 * (uint64_t)(uint32_t)(bj_[(size_t)j] % pr) * inv % pr);
        }
        computeRoots();
    }

    void computeRoots() {
        const size_t f = fb_.size();
        for (size_t p = 2; p < f; ++p) {
            if (inA_[p]) continue;
            const uint32_t pr = fb_[p];
            const uint64_t bm = (uint32_t)numtheory::SignedResidue128(b_, pr);
            const uint64_t t = sqrt_[p];
            const uint64_t inv = ainv_[p];
            root1_[p] = (uint32_t)(((pr + t - bm) % pr * inv + mmod_[p]) % pr);
            root2_[p] = (uint32_t)(((2 * (uint64_t)pr - t - bm) % pr * inv + mmod_[p]) % pr);
        }
        computeC();
    }

    void computeC() {
        // C = (B^2 - kN) / A, exact because B^2 = kN mod A.
        TBigInt b = fromSigned(b_), b2, d, c, a = BigFromU128(a_);
        BigSquare(b, b2);
        BigSub(b2, kn_, d);
        BigDivide(d, a, c);
        const std::vector<uint64_t> w = BigToWords(c);
        u128 mag = w[0] | (w.size() > 1 ? (u128)w[1] << 64 : 0);
        c_ = c.Sign == Negative ? -(i128)mag : (i128)mag;
    }

    // The i-th switch of the Gray code flips the sign of B_v, v = the lowest set bit of i.
    void nextB(uint32_t i) {
        const int v = __builtin_ctz(i);
        const size_t f = fb_.size();
        const int d = -sign_[(size_t)v];   // B += 2 d B_v
        sign_[(size_t)v] = d;
        b_ += (i128)2 * d * (i128)bj_[(size_t)v];
        const uint32_t* delta = &bainv_[(size_t)v * f];
        for (size_t p = 2; p < f; ++p) {
            if (inA_[p]) continue;
            const uint32_t pr = fb_[p];
            // New roots: root - d * 2 B_v / A.
            if (d > 0) {
                root1_[p] = root1_[p] >= delta[p] ? root1_[p] - delta[p] : root1_[p] + pr - delta[p];
                root2_[p] = root2_[p] >= delta[p] ? root2_[p] - delta[p] : root2_[p] + pr - delta[p];
            } else {
                root1_[p] += delta[p];
                if (root1_[p] >= pr) root1_[p] -= pr;
                root2_[p] += delta[p];
                if (root2_[p] >= pr) root2_[p] -= pr;
            }
        }
        computeC();
    }

    void sievePolynomial() {
        const size_t len = 2 * (size_t)m_;
        uint8_t* s = sieve_.data();
        // Starting at 128 - threshold, a byte reaches the threshold when its top bit is set.
        std::memset(s, 128 - threshold_, len);
        const size_t f = fb_.size();
        for (size_t p = sieveStart_; p < f; ++p) {
            if (inA_[p]) continue;
            const uint32_t pr = fb_[p];
            const uint8_t lg = logp_[p];
            uint32_t r1 = root1_[p], r2 = root2_[p];
            if (r1 > r2) std::swap(r1, r2);
            size_t i = r1;
            const size_t diff = r2 - r1;
            // Both roots in one pass while the second stays inside.
            for (; i + diff < len; i += pr) {
                s[i] += lg;
                s[i + diff] += lg;
            }
            if (i < len) s[i] += lg;
        }
        for (size_t w = 0; w < len / 8; ++w) {
            uint64_t word;
            std::memcpy(&word, s + 8 * w, 8);
            if (!(word & 0x8080808080808080ull)) continue;
            for (size_t k = 0; k < 8; ++k)
                if (s[w * 8 + k] & 0x80) tryCandidate((int64_t)(w * 8 + k));
        }
        progress_.report((double)relations_.size() / (double)needed_,
                         "Sieve: relations found " + std::to_string(relations_.size()) + " of " +
                             std::to_string(needed_));
        progress_.check();
    }

    void tryCandidate(int64_t index) {
        const int64_t x = index - (int64_t)m_;
        const i128 ax = (i128)a_ * x;
        i128 g = (ax + 2 * b_) * x + c_;
        Relation rel;
        rel.ys.push_back(ax + b_);
        if (g < 0) {
            rel.factors.push_back(0);
            g = -g;
        }
        u128 v = (u128)g;
        if (v == 0) return;
        while (!(v & 1)) {
            v >>= 1;
            rel.factors.push_back(1);
        }
        for (uint32_t j : aIdx_) rel.factors.push_back(j);
        const size_t f = fb_.size();
        for (size_t p = 2; p < f; ++p) {
            const uint32_t pr = fb_[p];
            if (p >= sieveStart_ && !inA_[p]) {
                const uint32_t r = (uint32_t)((uint64_t)index % pr);
                if (r != root1_[p] && r != root2_[p]) continue;
            }
            // 64-bit divisions once the cofactor fits in a word.
            if (v >> 64) {
                while (v % pr == 0) {
                    v /= pr;
                    rel.factors.push_back((uint32_t)p);
                }
            } else {
                uint64_t u = (uint64_t)v;
                while (u % pr == 0) {
                    u /= pr;
                    rel.factors.push_back((uint32_t)p);
                }
                v = u;
            }
        }
        if (v == 1) {
            relations_.push_back(std::move(rel));
            return;
        }
        if (v > large_) return;
        const uint64_t lp = (uint64_t)v;
        auto it = partial_.find(lp);
        if (it == partial_.end()) {
            partial_.emplace(lp, std::move(rel));
            return;
        }
        // Two relations with the same large prime: their product has it squared.
        Relation both = it->second;
        both.ys.insert(both.ys.end(), rel.ys.begin(), rel.ys.end());
        both.factors.insert(both.factors.end(), rel.factors.begin(), rel.factors.end());
        both.large.push_back(lp);
        relations_.push_back(std::move(both));
    }

    std::optional<TBigInt> solve() {
        const size_t rows = relations_.size(), cols = fb_.size();
        const size_t w1 = (cols + 63) / 64, w2 = (rows + 63) / 64, w = w1 + w2;
        std::vector<uint64_t> m(rows * w, 0);
        for (size_t r = 0; r < rows; ++r) {
            uint64_t* row = &m[r * w];
            for (uint32_t j : relations_[r].factors) row[j / 64] ^= uint64_t{1} << (j % 64);
            row[w1 + r / 64] |= uint64_t{1} << (r % 64);
        }
        size_t pivot = 0;
        for (size_t c = 0; c < cols && pivot < rows; ++c) {
            const size_t cw = c / 64;
            const uint64_t bit = uint64_t{1} << (c % 64);
            size_t r = pivot;
            while (r < rows && !(m[r * w + cw] & bit)) ++r;
            if (r == rows) continue;
            if (r != pivot) std::swap_ranges(&m[r * w], &m[r * w] + w, &m[pivot * w]);
            const uint64_t* pr = &m[pivot * w];
            for (size_t r2 = pivot + 1; r2 < rows; ++r2) {
                uint64_t* row = &m[r2 * w];
                if (row[cw] & bit)
                    for (size_t k = cw; k < w; ++k) row[k] ^= pr[k];
            }
            ++pivot;
            if ((c & 63) == 0) progress_.check();
        }
        // Rows below the last pivot are empty on the left: each is a dependency.
        for (size_t r = pivot; r < rows && r < pivot + 48; ++r) {
            progress_.check();
            const uint64_t* dep = &m[r * w + w1];
            std::vector<uint32_t> count(cols, 0);
            TBigInt x = BigFromInt(1), t, y = BigFromInt(1);
            for (size_t i = 0; i < rows; ++i) {
                if (!((dep[i / 64] >> (i % 64)) & 1)) continue;
                const Relation& rel = relations_[i];
                for (uint32_t j : rel.factors) ++count[j];
                for (i128 v : rel.ys) {
                    BigMul(x, fromSigned(v), t);
                    BigMod(t, n_, x);
                }
                for (uint64_t lp : rel.large) {
                    BigMul(y, BigFromInt((int64_t)lp), t);
                    BigMod(t, n_, y);
                }
            }
            bool even = true;
            for (size_t j = 0; j < cols && even; ++j) even = count[j] % 2 == 0;
            if (!even) continue;
            // Products of primes in one word until it would overflow, then one reduction.
            uint64_t word = 1;
            auto flush = [&] {
                BigMul(y, BigFromWords(&word, 1), t);
                BigMod(t, n_, y);
                word = 1;
            };
            for (size_t j = 1; j < cols; ++j)
                for (uint32_t e = 0; e < count[j] / 2; ++e) {
                    if (word > UINT64_MAX / fb_[j]) flush();
                    word *= fb_[j];
                }
            flush();
            TBigInt diff, g;
            BigSub(x, y, diff);
            BigGcd(diff, n_, g);
            BigAbs(g);
            if (!(g.Digits[0] == 1 && g.Digits[1] == 1) && BigCompareAbs(g, n_) != cmpEqual) return g;
        }
        return std::nullopt;
    }

    const TBigInt& n_;
    Progress& progress_;
    uint32_t k_ = 1;
    TBigInt kn_;
    std::vector<uint64_t> knWords_;
    std::vector<uint32_t> fb_, sqrt_, root1_, root2_, ainv_, mmod_, bainv_;
    std::vector<uint8_t> logp_, inA_, sieve_;
    size_t sieveStart_ = 2, needed_ = 0;
    uint32_t m_ = 32768;
    uint64_t large_ = 0;
    uint8_t threshold_ = 64;
    int s_ = 2;
    double qBits_ = 10, targetLogA_ = 20;
    uint64_t rng_ = 0x9E3779B97F4A7C15ull;
    std::unordered_set<uint64_t> usedA_;
    u128 a_ = 1;
    i128 b_ = 0, c_ = 0;
    std::vector<uint32_t> aIdx_;
    std::vector<u128> bj_;
    std::vector<int> sign_;
    std::vector<Relation> relations_;
    std::unordered_map<uint64_t, Relation> partial_;
};

}  // namespace

std::optional<TBigInt> Siqs(const TBigInt& N, Progress& progress) {
    TBigInt n;
    BigCopy(N, n);
    BigAbs(n);
    if (!BigIsOdd(n) || BigBitLength(n) < 40) return std::nullopt;
    // Every congruence of squares modulo a square is trivial: its root is the answer.
    const TBigInt root = numtheory::BigIntegerRoot(n, 2);
    TBigInt back;
    BigSquare(root, back);
    if (BigCompareAbs(back, n) == cmpEqual) return root;
    return Sieve(n, progress).run();
}

}  // namespace splitter
