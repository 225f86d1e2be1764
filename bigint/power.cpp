// Exact powers and Montgomery modular powers.
#include "bigint/power.h"

#include <bit>
#include <cmath>

#include "bigint/arith.h"
#include "bigint/convert.h"
#include "bigint/divide.h"
#include "bigint/detail/mag.h"
#include "bigint/detail/mont.h"

namespace {

// log2 |a| for a trimmed magnitude of at least 2, from its top three digits.
long double log2Abs(const int64_t* d, size_t n) {
    n = mag::trimmed(d, n);
    long double top = 0;
    const size_t from = n > 3 ? n - 3 : 0;
    for (size_t i = n; i-- > from;) top = top * 2147483648.0L + (long double)d[i];
    return std::log2(top) + 31.0L * (long double)from;
}

bool isPowerOfTwo(const int64_t* d, size_t n, size_t& exponent) {
    n = mag::trimmed(d, n);
    if (n == 0) return false;
    for (size_t i = 0; i + 1 < n; ++i)
        if (d[i] != 0) return false;
    if (!std::has_single_bit((uint64_t)d[n - 1])) return false;
    exponent = 31 * (n - 1) + (size_t)std::countr_zero((uint64_t)d[n - 1]);
    return true;
}

}  // namespace

void BigPower(const TBigInt& A, const TBigInt& E, TBigInt& C) {
    const size_t ne = mag::trimmed(mag::dig(E), mag::len(E));
    const bool odd = BigIsOdd(E);
    // A negative base keeps its sign for odd powers (also a negative zero).
    const uint8_t sign = odd ? A.Sign : Positive;
    if (ne == 0) { C = BigFromInt(1); return; }
    size_t k = 0;
    const int64_t* a = mag::dig(A);
    const size_t na = mag::len(A);
    if (mag::isZero(A) || (na == 1 && a[0] == 1)) {
        mag::Num r = mag::make(1);
        r[1] = a[0];
        mag::put(C, std::move(r), sign);
        return;
    }
    // From here |A| >= 2, so A^e has more than e bits: an exponent of BigPowerMaxBits or
    // more (any E of three or more digits among them) is refused before it is even read whole.
    if (ne > 2) throw BigError("Power too large");
    const uint64_t e = (uint64_t)mag::dig(E)[0] | (ne > 1 ? (uint64_t)mag::dig(E)[1] << 31 : 0);
    if (e >= BigPowerMaxBits) throw BigError("Power too large");
    if (isPowerOfTwo(a, na, k)) {
        // (2^k)^e is a single bit, bit k*e, built directly. k*e < 2^28 * 31 * na cannot wrap.
        if (k > (BigPowerMaxBits - 1) / e) throw BigError("Power too large");
        const uint64_t bit = k * e;
        mag::Num r = mag::make((size_t)(bit / 31) + 1);
        r[r.size() - 1] = int64_t{1} << (bit % 31);
        mag::put(C, std::move(r), sign);
        return;
    }
    // A^e has floor(e * log2 |A|) + 1 bits, at most BigPowerMaxBits while e * log2 |A| stays
    // below it. In long double the product is off by far less than a bit (e < 2^28), which
    // could only matter for a result within a hair of the limit.
    if ((long double)e * log2Abs(a, na) >= (long double)BigPowerMaxBits) throw BigError("Power too large");
    // Left-to-right binary powering: squarings of the growing result, products by A.
    mag::Num r(a - 1, a + na);
    r[0] = (int64_t)na;
    for (int i = std::bit_width(e) - 2; i >= 0; --i) {
        r = mag::sqr(r.data() + 1, (size_t)r[0]);
        if ((e >> i) & 1) r = mag::mul(r.data() + 1, (size_t)r[0], a, na);
    }
    mag::put(C, std::move(r), sign);
}

void BigMontPowMod(const TBigInt& A, const TBigInt& E, const TBigInt& N, TBigInt& C) {
    if (!BigIsOdd(N) || (mag::len(N) == 1 && N.Digits[1] < 3))
        throw BigError("Modular power needs an odd modulus of at least 3");
    mont::Ring ring(mag::dig(N), mag::len(N));
    mont::Limbs x = ring.enter(mag::dig(A), mag::len(A));
    if (A.Sign == Negative && !mag::isZero(A)) {
        // Euclidean residue of a negative base: n - (|A| mod n).
        mont::Limbs zero(ring.size(), 0);
        ring.sub(zero.data(), x.data(), x.data());
    }
    mont::Limbs y = ring.pow(x, mag::dig(E), mag::len(E));
    mont::Limbs plain = ring.leave(y.data());
    mag::put(C, mont::fromLimbs(plain.data(), plain.size()), Positive);
}
