// Floating-point FFTs: the complex transform shared by long products and the Lucas-Lehmer
// squaring, and the product of long numbers built on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bigfft {

// Complex FFT of a power-of-two length on split real/imaginary arrays. forward() takes
// natural order to bit-reversed order; inverse() takes bit-reversed order back to natural
// order, unscaled (a round trip multiplies by n). Pointwise work between the two needs no
// reordering; work that pairs frequencies uses bitReversed().
class Transform {
public:
    explicit Transform(size_t n);
    size_t size() const { return n_; }
    void forward(double* re, double* im) const;
    void inverse(double* re, double* im) const;
    // Position of frequency k in the forward output.
    const std::vector<uint32_t>& bitReversed() const { return rev_; }

private:
    size_t n_;
    // Radix-4 levels from the largest quarter-size q down: twiddles W^j, W^2j, W^3j (j < q).
    struct Level {
        size_t q;
        std::vector<double> w1r, w1i, w2r, w2i, w3r, w3i;
    };
    std::vector<Level> levels_;
    bool radix2Tail_ = false;
    std::vector<uint32_t> rev_;
};

// A transform of each length, kept per thread.
const Transform& transformFor(size_t n);

// Product of two non-negative integers given as radix-2^31 digit runs; out gets na + nb digits,
// normalised. Returns false when the rounding check failed at every piece size tried (the
// caller then multiplies another way), so a product is never silently wrong.
bool mul(const int64_t* a, size_t na, const int64_t* b, size_t nb, int64_t* out);
bool sqr(const int64_t* a, size_t na, int64_t* out);

}  // namespace bigfft
