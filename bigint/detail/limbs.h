// Kernels on 64-bit limbs with full 64 x 64 -> 128-bit products: the working form of every
// product, division and conversion of more than a few digits. Values are runs of limbs,
// least significant first; lengths are explicit and runs may have leading zero limbs unless
// a function says otherwise. The radix-2^31 digits of TBigInt are regrouped on the way in and
// out (numtheory/digits.h), in linear time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace limbs {

using Limb = uint64_t;
__extension__ typedef unsigned __int128 u128;
using Vec = std::vector<Limb>;

// --- linear kernels (r may equal a or b) ---------------------------------------------------
Limb add_n(Limb* r, const Limb* a, const Limb* b, size_t n);
Limb sub_n(Limb* r, const Limb* a, const Limb* b, size_t n);
// r[0..na) = a + b for na >= nb; returns the carry out.
Limb add(Limb* r, const Limb* a, size_t na, const Limb* b, size_t nb);
Limb sub(Limb* r, const Limb* a, size_t na, const Limb* b, size_t nb);
// Adds / subtracts one limb in place from r[0..n), returning the carry / borrow out.
Limb add_1(Limb* r, size_t n, Limb v);
Limb sub_1(Limb* r, size_t n, Limb v);
Limb mul_1(Limb* r, const Limb* a, size_t n, Limb b);
Limb addmul_1(Limb* r, const Limb* a, size_t n, Limb b);
Limb submul_1(Limb* r, const Limb* a, size_t n, Limb b);
// Shifts by 0 < s < 64 bits; return the bits shifted out.
Limb lshift(Limb* r, const Limb* a, size_t n, unsigned s);
Limb rshift(Limb* r, const Limb* a, size_t n, unsigned s);
int cmp_n(const Limb* a, const Limb* b, size_t n);
size_t trimmed(const Limb* a, size_t n);

// --- products ---------------------------------------------------------------------------------
// r[0..na+nb) = a * b, na >= nb >= 1; r must not overlap a or b.
void mul(Limb* r, const Limb* a, size_t na, const Limb* b, size_t nb);
// r[0..2n) = a^2
void sqr(Limb* r, const Limb* a, size_t n);

// --- unrolled kernels for short operands ------------------------------------------------------
// Products, squares and Montgomery reductions of n <= kFixedLimbs limbs as straight-line code,
// one function per length: at 11 limbs (200 digits) they take about half the time of the row
// kernels, whose loop control and reloads of the row dominate there. Null for longer operands
// or where the processor has no flag-free multiply (the row kernels serve instead).
constexpr size_t kFixedLimbs = 20;
using FixedMul = void (*)(Limb* r, const Limb* a, const Limb* b);   // r[0..2n) = a b
using FixedSqr = void (*)(Limb* r, const Limb* a);                  // r[0..2n) = a^2
// r[0..n) = t / B^n mod m for t[0..2n) < m B^n, m odd, minv = -m^-1 mod B.
using FixedRedc = void (*)(Limb* r, const Limb* t, const Limb* m, Limb minv);
bool hasFixedKernels();
FixedMul fixedMul(size_t n);
FixedSqr fixedSqr(size_t n);
FixedRedc fixedRedc(size_t n);

// Where each method takes over, in limbs of the shorter operand: the crossings measured on
// the development machine (AMD EPYC, GCC 12) against the method below. The tests lower them
// to reach every path with small operands.
struct Thresholds {
    // Schoolbook below; Karatsuba's three half-size products win from just past the unrolled
    // kernels (21 limbs: at 24 limbs Karatsuba on 12-limb unrolled halves takes 0.75 of a
    // straight product by rows). Without the unrolled kernels, from about 20 limbs (squares
    // from about 36: the schoolbook square already halves its work).
    size_t karatsuba = hasFixedKernels() ? kFixedLimbs + 1 : 20;
    size_t karatsubaSqr = hasFixedKernels() ? kFixedLimbs + 1 : 36;
    // Karatsuba below; the floating-point transform (about 6 n log n flops on 16-bit to
    // 20-bit pieces, lengths 2^j and 3 * 2^j) from about 170 limbs for products (Karatsuba
    // 12.3 us against 13.3 us at 160 limbs, 20 us against 13.5 us at 200) and 180 for squares
    // (8.2 us against 7.6 us at 150 limbs, 12 us against 10 us at 200). The transform's time
    // rises in steps with its length, so the crossings are blurred by 20 limbs either way.
    size_t fft = 170;
    size_t fftSqr = 180;
    // Schoolbook division (n^2 for 2n by n) below; the recursion (about two n-limb
    // products) from about 40 limbs.
    size_t divide = 40;
    // Repeated division by 10^19 below; the tree of powers of ten from about 30 limbs.
    size_t decimal = 30;
    // gcd: Lehmer's passes over the whole numbers below (about 63 bits a pass, four
    // multiplications a limb: some 2 n^2 in all); the half-gcd, whose work is products of
    // n/2 by n/4 limbs on each of log n levels, overtakes them at about 1000 limbs with
    // these products (650 limbs: 0.86 ms against 0.75 ms; 1400 limbs: 3.0 ms against 3.3 ms).
    size_t gcd = 1000;
    // Inside the half-gcd: Lehmer's passes that also keep the cofactors (about 3 n^2
    // multiplications) below; the recursion on the leading half from about 100 limbs (the
    // total moves by less than 3% anywhere from 70 to 300, at 2200 and 5200 limbs).
    size_t hgcd = 100;
    // Montgomery reduction by rows (k^2 products of limbs) below; by two wrapped transform
    // products from about 136 limbs (powers with a 2000-bit exponent: rows 40 ms against
    // 43 ms at 130 limbs, 47 ms against 43 ms at 140, 87 ms against 66 ms at 200).
    size_t montgomeryProducts = 136;
};
extern Thresholds thresholds;

// --- division ----------------------------------------------------------------------------------
// q[0..na-nb+1) = a div b, r[0..nb) = a mod b for na >= nb >= 1, b[nb-1] != 0. q or r may
// be null. No output overlaps an input.
void divmod(Limb* q, Limb* r, const Limb* a, size_t na, const Limb* b, size_t nb);
// a[0..n) := a div d; returns a mod d (d != 0).
Limb divmod_1(Limb* q, const Limb* a, size_t n, Limb d);

// The limbs that n radix-2^31 digits fill (numtheory/digits.h regroups them).
constexpr size_t packedSize(size_t digits) { return (31 * digits + 63) / 64; }

// --- greatest common divisor ---------------------------------------------------------------
// gcd of two non-zero values (Lehmer's method, the half-gcd above thresholds.hgcd), trimmed.
Vec gcd(const Limb* a, size_t na, const Limb* b, size_t nb);

// --- decimal text ------------------------------------------------------------------------------
// Decimal of a magnitude (no sign, "0" for zero).
std::string toDecimal(const Limb* a, size_t n);
// Value of a text of decimal digits only (at least one).
Vec fromDecimal(const char* s, size_t len);

}  // namespace limbs
