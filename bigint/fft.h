// Floating-point FFT convolution used for products of long numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bigfft {

// Product of two non-negative integers given as radix-2^31 digit runs; out gets na + nb digits,
// normalised. Returns false when the rounding check failed at every piece size tried (the
// caller then multiplies another way), so a product is never silently wrong.
bool mul(const int64_t* a, size_t na, const int64_t* b, size_t nb, int64_t* out);
bool sqr(const int64_t* a, size_t na, int64_t* out);

}  // namespace bigfft
