// Floating-point FFTs: the complex transform shared by long products and the Mersenne
// squaring, and the product of long numbers built on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace bigfft {

// Complex FFT of length 2^j or 3 * 2^j on split real/imaginary arrays. forward() takes natural
// order to a scrambled order (frequency k = 3k' + r at r * 2^j + bitreverse(k'), or plain
// bit reversal for 2^j); inverse() takes that order back to natural order, unscaled (a round
// trip multiplies by n). Pointwise work between the two needs no reordering; work that pairs
// frequencies uses positions().
class Transform {
public:
    explicit Transform(size_t n);
    size_t size() const { return n_; }
    void forward(double* re, double* im) const;
    void inverse(double* re, double* im) const;
    // Position of frequency k in the forward output.
    const std::vector<uint32_t>& positions() const { return rev_; }
    // Length of each third for 3 * 2^j, 0 for a power of two.
    size_t third() const { return third_; }

private:
    size_t n_;
    // Radix-4 levels from the largest quarter-size q down: twiddles W^j, W^2j, W^3j (j < q).
    struct Level {
        size_t q;
        std::vector<double> w1r, w1i, w2r, w2i, w3r, w3i;
    };
    std::vector<Level> levels_;
    bool radix2Tail_ = false;
    size_t third_ = 0;
    std::vector<double> t3w1r_, t3w1i_, t3w2r_, t3w2i_;
    std::vector<uint32_t> rev_;
};

// The rounding check: a product whose sums lie further than this from integers counts as
// failed (their true errors stay far below 0.5 when all lie within 0.25). The tests lower it
// below zero to send every product down its fallback.
extern double roundingLimit;

// A transform of each length, cached per thread (a few sizes). The caller shares ownership:
// the transform stays valid however many other sizes are requested meanwhile.
std::shared_ptr<const Transform> transformFor(size_t n);

// Product of two non-negative integers given as radix-2^31 digit runs; out gets na + nb digits,
// normalised. Returns false when the rounding check failed at every piece size tried (the
// caller then multiplies another way), so a product is never silently wrong.
bool mul(const int64_t* a, size_t na, const int64_t* b, size_t nb, int64_t* out);
bool sqr(const int64_t* a, size_t na, int64_t* out);
// The same on 64-bit limbs: out gets na + nb limbs.
bool mul(const uint64_t* a, size_t na, const uint64_t* b, size_t nb, uint64_t* out);
bool sqr(const uint64_t* a, size_t na, uint64_t* out);

struct Weights;   // of the right-angle convolution, kept per thread and length like the transforms

// Products modulo 2^M + 1 with M = 2 n bits, for a transform of n points and pieces of `bits`
// bits such that M is a whole number of limbs (see wrappedPlanFor): the right-angle convolution
// without its zero padding, half the length of a full product. One factor is transformed
// once, here, for many products.
class WrappedFactor {
public:
    // y < 2^M, ny limbs.
    WrappedFactor(const uint64_t* y, size_t ny, size_t n, int bits);
    // M / 64.
    size_t limbs() const { return limbs_; }
    // out[0..limbs()] = x y mod (2^M + 1), in [0, 2^M], for x < 2^M of nx limbs. False when
    // the rounding check failed (out is then undefined).
    bool mul(const uint64_t* x, size_t nx, uint64_t* out) const;

private:
    size_t n_, limbs_;
    int bits_;
    std::vector<double> re_, im_;
    // Held here: the per-thread caches may evict them while the factor lives.
    std::shared_ptr<const Transform> transform_;
    std::shared_ptr<const Weights> weights_;
};

// The shortest wrapped product that holds numbers of minBits bits: a transform of `points`
// points (2^j from 32 on, or 3 * 2^j from 48 on) and the smallest piece size that suits it, so
// that M = 2 points bits >= minBits is a whole number of limbs. With stretch > 1 the pieces also suit products stretch times
// as long.
struct WrappedPlan {
    size_t points;
    int bits;
    size_t limbs() const { return 2 * points * (size_t)bits / 64; }
};
WrappedPlan wrappedPlanFor(size_t minBits, size_t stretch = 1);

}  // namespace bigfft
