// Products, squares and Montgomery reductions of a few limbs as straight-line code, one
// function per length. Each output limb is a column sum of products, kept in three registers
// (c0, c1, c2) while the column is summed; nothing is loaded or stored twice and no loop
// counter is kept, which is where the row kernels lose most of their time on short operands.
#include <utility>

#include "bigint/detail/limbs.h"

namespace limbs {

#if !defined(QUENDRA_PORTABLE_KERNELS) && defined(__x86_64__) && defined(__GNUC__)

namespace {

#define QUENDRA_INLINE static inline __attribute__((always_inline))

// (c0, c1, c2) += x y. MULX (BMI2) leaves the flags alone, so the three additions follow it
// directly.
QUENDRA_INLINE void mac(Limb x, Limb y, Limb& c0, Limb& c1, Limb& c2) {
    Limb lo, hi;
    __asm__("mulx %[y], %[lo], %[hi]\n\t"
            "add %[lo], %[c0]\n\t"
            "adc %[hi], %[c1]\n\t"
            "adc $0, %[c2]"
            : [lo] "=&r"(lo), [hi] "=&r"(hi), [c0] "+&r"(c0), [c1] "+&r"(c1), [c2] "+&r"(c2)
            : [y] "rm"(y), "d"(x)
            : "cc");
}

// (c0, c1, c2) += x
QUENDRA_INLINE void add1(Limb x, Limb& c0, Limb& c1, Limb& c2) {
    __asm__("add %[x], %[c0]\n\t"
            "adc $0, %[c1]\n\t"
            "adc $0, %[c2]"
            : [c0] "+&r"(c0), [c1] "+&r"(c1), [c2] "+&r"(c2)
            : [x] "rm"(x)
            : "cc");
}

// (c0, c1, c2) += (d0, d1, d2)
QUENDRA_INLINE void add3(Limb d0, Limb d1, Limb d2, Limb& c0, Limb& c1, Limb& c2) {
    __asm__("add %[d0], %[c0]\n\t"
            "adc %[d1], %[c1]\n\t"
            "adc %[d2], %[c2]"
            : [c0] "+&r"(c0), [c1] "+&r"(c1), [c2] "+&r"(c2)
            : [d0] "r"(d0), [d1] "r"(d1), [d2] "r"(d2)
            : "cc");
}

// (c0, c1, c2) += 2 (d0, d1, d2)
QUENDRA_INLINE void addTwice(Limb d0, Limb d1, Limb d2, Limb& c0, Limb& c1, Limb& c2) {
    __asm__("add %[d0], %[d0]\n\t"
            "adc %[d1], %[d1]\n\t"
            "adc %[d2], %[d2]"
            : [d0] "+r"(d0), [d1] "+r"(d1), [d2] "+r"(d2)
            :
            : "cc");
    add3(d0, d1, d2, c0, c1, c2);
}

QUENDRA_INLINE void shiftOut(Limb& c0, Limb& c1, Limb& c2) {
    c0 = c1;
    c1 = c2;
    c2 = 0;
}

// Column K of a b: the products a[I] b[K - I] for I from the first index that fits.
template <size_t N, size_t K, size_t I>
QUENDRA_INLINE void mulColumn(const Limb* a, const Limb* b, Limb& c0, Limb& c1, Limb& c2) {
    constexpr size_t last = K < N ? K : N - 1;
    mac(a[I], b[K - I], c0, c1, c2);
    if constexpr (I < last) mulColumn<N, K, I + 1>(a, b, c0, c1, c2);
}

template <size_t N, size_t... K>
QUENDRA_INLINE void mulColumns(Limb* r, const Limb* a, const Limb* b, std::index_sequence<K...>) {
    Limb c0 = 0, c1 = 0, c2 = 0;
    ((mulColumn<N, K, (K < N ? 0 : K - N + 1)>(a, b, c0, c1, c2), r[K] = c0, shiftOut(c0, c1, c2)), ...);
    r[2 * N - 1] = c0;
}

template <size_t N>
void mulFixed(Limb* r, const Limb* a, const Limb* b) {
    mulColumns<N>(r, a, b, std::make_index_sequence<2 * N - 1>{});
}

// Column K of a^2: the products a[I] a[K - I] with I < K - I summed apart, doubled once, then
// the square on the diagonal.
template <size_t N, size_t K, size_t I>
QUENDRA_INLINE void crossColumn(const Limb* a, Limb& d0, Limb& d1, Limb& d2) {
    mac(a[I], a[K - I], d0, d1, d2);
    if constexpr (2 * (I + 1) < K) crossColumn<N, K, I + 1>(a, d0, d1, d2);
}

template <size_t N, size_t K>
QUENDRA_INLINE void sqrColumn(Limb* r, const Limb* a, Limb& c0, Limb& c1, Limb& c2) {
    constexpr size_t first = K < N ? 0 : K - N + 1;
    if constexpr (2 * first < K) {
        Limb d0 = 0, d1 = 0, d2 = 0;
        crossColumn<N, K, first>(a, d0, d1, d2);
        addTwice(d0, d1, d2, c0, c1, c2);
    }
    if constexpr (K % 2 == 0) mac(a[K / 2], a[K / 2], c0, c1, c2);
    r[K] = c0;
    shiftOut(c0, c1, c2);
}

template <size_t N, size_t... K>
QUENDRA_INLINE void sqrColumns(Limb* r, const Limb* a, std::index_sequence<K...>) {
    Limb c0 = 0, c1 = 0, c2 = 0;
    (sqrColumn<N, K>(r, a, c0, c1, c2), ...);
    r[2 * N - 1] = c0;
}

template <size_t N>
void sqrFixed(Limb* r, const Limb* a) {
    sqrColumns<N>(r, a, std::make_index_sequence<2 * N - 1>{});
}

// Montgomery's reduction by columns: column K < N sums t[K] and the products m[J] n[K - J]
// known so far, then picks m[K] so that the column's low limb becomes zero; columns N .. 2N-1
// are the result. The column sums stay below 2^192 for any N used here.
template <size_t N, size_t K, size_t J>
QUENDRA_INLINE void redcColumn(const Limb* m, const Limb* n, Limb& c0, Limb& c1, Limb& c2) {
    constexpr size_t end = K < N ? K : N;
    if constexpr (J < end) {
        mac(m[J], n[K - J], c0, c1, c2);
        redcColumn<N, K, J + 1>(m, n, c0, c1, c2);
    }
}

// A low column's products use only the m[J] known before it, so they are summed apart (d),
// in parallel with the previous column's multiplier, and the column's own chain (carry in,
// that sum, m[K], its product with n[0]) stays short.
template <size_t N, size_t K>
QUENDRA_INLINE void redcStep(Limb* r, const Limb* t, Limb* m, const Limb* n, Limb ninv, Limb& c0, Limb& c1,
                             Limb& c2) {
    if constexpr (K < N) {
        Limb d0 = t[K], d1 = 0, d2 = 0;
        redcColumn<N, K, 0>(m, n, d0, d1, d2);
        add3(d0, d1, d2, c0, c1, c2);
        m[K] = c0 * ninv;
        mac(m[K], n[0], c0, c1, c2);   // c0 becomes zero
    } else {
        add1(t[K], c0, c1, c2);
        redcColumn<N, K, K - N + 1>(m, n, c0, c1, c2);
        r[K - N] = c0;
    }
    shiftOut(c0, c1, c2);
}

template <size_t N, size_t... K>
QUENDRA_INLINE Limb redcColumns(Limb* r, const Limb* t, const Limb* n, Limb ninv, std::index_sequence<K...>) {
    Limb m[N];
    Limb c0 = 0, c1 = 0, c2 = 0;
    (redcStep<N, K>(r, t, m, n, ninv, c0, c1, c2), ...);
    return c0;
}

template <size_t N>
void redcFixed(Limb* r, const Limb* t, const Limb* n, Limb ninv) {
    const Limb top = redcColumns<N>(r, t, n, ninv, std::make_index_sequence<2 * N>{});
    // The result is below 2n: one subtraction at most, kept when the carry or no borrow says
    // it was due.
    Limb s[N];
    const Limb borrow = sub_n(s, r, n, N);
    if (top != 0 || borrow == 0)
        for (size_t i = 0; i < N; ++i) r[i] = s[i];
}

template <size_t... N>
constexpr std::array<FixedMul, sizeof...(N) + 1> mulTable(std::index_sequence<N...>) {
    return {nullptr, &mulFixed<N + 1>...};
}
template <size_t... N>
constexpr std::array<FixedSqr, sizeof...(N) + 1> sqrTable(std::index_sequence<N...>) {
    return {nullptr, &sqrFixed<N + 1>...};
}
template <size_t... N>
constexpr std::array<FixedRedc, sizeof...(N) + 1> redcTable(std::index_sequence<N...>) {
    return {nullptr, &redcFixed<N + 1>...};
}

constexpr auto kMul = mulTable(std::make_index_sequence<kFixedLimbs>{});
constexpr auto kSqr = sqrTable(std::make_index_sequence<kFixedLimbs>{});
constexpr auto kRedc = redcTable(std::make_index_sequence<kFixedLimbs>{});

}  // namespace

bool hasFixedKernels() {
    static const bool has = [] {
        __builtin_cpu_init();   // may run before the library's own start-up code
        return __builtin_cpu_supports("bmi2") != 0;
    }();
    return has;
}

FixedMul fixedMul(size_t n) { return n <= kFixedLimbs && hasFixedKernels() ? kMul[n] : nullptr; }
FixedSqr fixedSqr(size_t n) { return n <= kFixedLimbs && hasFixedKernels() ? kSqr[n] : nullptr; }
FixedRedc fixedRedc(size_t n) { return n <= kFixedLimbs && hasFixedKernels() ? kRedc[n] : nullptr; }

#else

bool hasFixedKernels() { return false; }
FixedMul fixedMul(size_t) { return nullptr; }
FixedSqr fixedSqr(size_t) { return nullptr; }
FixedRedc fixedRedc(size_t) { return nullptr; }

#endif

}  // namespace limbs
