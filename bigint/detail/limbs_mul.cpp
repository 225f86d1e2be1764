// Linear kernels and products on 64-bit limbs: schoolbook, Karatsuba and the
// floating-point transform.
#include <algorithm>
#include <cstring>

#include "bigint/detail/fft.h"
#include "bigint/detail/limbs.h"

namespace limbs {

Thresholds thresholds;

namespace {

Limb addPortable(Limb* r, const Limb* a, const Limb* b, size_t n, Limb c) {
    for (size_t i = 0; i < n; ++i) {
        const Limb s = a[i] + c;
        c = s < c;
        const Limb t = s + b[i];
        c += t < s;
        r[i] = t;
    }
    return c;
}

Limb subPortable(Limb* r, const Limb* a, const Limb* b, size_t n, Limb c) {
    for (size_t i = 0; i < n; ++i) {
        const Limb ai = a[i], bi = b[i] + c;
        c = (bi < c) | (ai < bi);
        r[i] = ai - bi;
    }
    return c;
}

#if !defined(QUENDRA_PORTABLE_KERNELS) && defined(__x86_64__) && defined(__GNUC__)
// Four limbs a step on the carry flag, which DEC and LEA leave alone; C code keeps the carry
// in a register and spends several instructions a limb on it. `op` is adc or sbb.
#define QUENDRA_CARRY_BLOCKS(op)                                                             \
    __asm__("neg %[c]\n\t" /* CF = the carry in */                                           \
            "1:\n\t"                                                                          \
            "mov (%[a]), %[x]\n\t"                                                            \
            "mov 8(%[a]), %[y]\n\t" op " (%[b]), %[x]\n\t" op " 8(%[b]), %[y]\n\t"              \
            "mov %[x], (%[r])\n\t"                                                            \
            "mov %[y], 8(%[r])\n\t"                                                           \
            "mov 16(%[a]), %[x]\n\t"                                                          \
            "mov 24(%[a]), %[y]\n\t" op " 16(%[b]), %[x]\n\t" op " 24(%[b]), %[y]\n\t"          \
            "mov %[x], 16(%[r])\n\t"                                                          \
            "mov %[y], 24(%[r])\n\t"                                                          \
            "lea 32(%[a]), %[a]\n\t"                                                          \
            "lea 32(%[b]), %[b]\n\t"                                                          \
            "lea 32(%[r]), %[r]\n\t"                                                          \
            "dec %[m]\n\t"                                                                    \
            "jnz 1b\n\t"                                                                      \
            "mov $0, %k[c]\n\t"                                                               \
            "setc %b[c]"                                                                      \
            : [c] "+&r"(c), [x] "=&r"(x), [y] "=&r"(y), [a] "+&r"(a), [b] "+&r"(b), [r] "+&r"(r), \
              [m] "+&r"(m)                                                                    \
            :                                                                                 \
            : "cc", "memory")

Limb addBlocks(Limb* r, const Limb* a, const Limb* b, size_t m, Limb c) {
    Limb x, y;
    QUENDRA_CARRY_BLOCKS("adc");
    return c;
}

Limb subBlocks(Limb* r, const Limb* a, const Limb* b, size_t m, Limb c) {
    Limb x, y;
    QUENDRA_CARRY_BLOCKS("sbb");
    return c;
}
#undef QUENDRA_CARRY_BLOCKS
#define QUENDRA_CARRY_ASM 1
#endif

}  // namespace

Limb add_n(Limb* r, const Limb* a, const Limb* b, size_t n) {
#ifdef QUENDRA_CARRY_ASM
    const size_t head = n % 4;
    const Limb c = addPortable(r, a, b, head, 0);
    return n >= 4 ? addBlocks(r + head, a + head, b + head, n / 4, c) : c;
#else
    return addPortable(r, a, b, n, 0);
#endif
}

Limb sub_n(Limb* r, const Limb* a, const Limb* b, size_t n) {
#ifdef QUENDRA_CARRY_ASM
    const size_t head = n % 4;
    const Limb c = subPortable(r, a, b, head, 0);
    return n >= 4 ? subBlocks(r + head, a + head, b + head, n / 4, c) : c;
#else
    return subPortable(r, a, b, n, 0);
#endif
}

Limb add_1(Limb* r, size_t n, Limb v) {
    for (size_t i = 0; i < n && v; ++i) {
        r[i] += v;
        v = r[i] < v;
    }
    return v;
}

Limb sub_1(Limb* r, size_t n, Limb v) {
    for (size_t i = 0; i < n && v; ++i) {
        const Limb x = r[i];
        r[i] = x - v;
        v = x < v;
    }
    return v;
}

Limb add(Limb* r, const Limb* a, size_t na, const Limb* b, size_t nb) {
    Limb c = add_n(r, a, b, nb);
    for (size_t i = nb; i < na; ++i) {
        r[i] = a[i] + c;
        c = r[i] < c;
    }
    return c;
}

Limb sub(Limb* r, const Limb* a, size_t na, const Limb* b, size_t nb) {
    Limb c = sub_n(r, a, b, nb);
    for (size_t i = nb; i < na; ++i) {
        const Limb x = a[i];
        r[i] = x - c;
        c = x < c;
    }
    return c;
}

namespace {

Limb addmul_1Portable(Limb* r, const Limb* a, size_t n, Limb b) {
    Limb c = 0;
    for (size_t i = 0; i < n; ++i) {
        const u128 p = (u128)a[i] * b + r[i] + c;
        r[i] = (Limb)p;
        c = (Limb)(p >> 64);
    }
    return c;
}

#if !defined(QUENDRA_PORTABLE_KERNELS) && defined(__x86_64__) && defined(__GNUC__)
#define QUENDRA_ADX_KERNELS 1
// The processors with BMI2 and ADX (Intel from Broadwell, AMD from Zen) have a multiply that
// leaves the flags alone and two independent carry chains: the low words of the products take
// the high words of the previous ones on the carry flag, and the row they are added to on the
// overflow flag, so nothing waits on a single carry. The compiler never writes this itself.
const bool hasAdx = __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("adx");

// r[0..n) += a[0..n) * b for n >= 1; returns the carry limb. The n mod 4 first limbs one at a
// time, the rest four at a time, all on the same two carry chains.
Limb addmul_1Adx(Limb* r, const Limb* a, size_t n, Limb b) {
    Limb lo, hi, zero, c = 0;
    long i = -(long)n;              // index from the ends, counting up to zero
    unsigned long first = n % 4;    // in rcx, which jrcxz tests without touching flags
    r += n;
    a += n;
    __asm__(
        "xor %k[zero], %k[zero]\n\t"   // clears both carry flags
        "jrcxz 3f\n\t"
        "4:\n\t"
        "mulx (%[a],%[i],8), %[lo], %[hi]\n\t"
        "adcx %[c], %[lo]\n\t"
        "adox (%[r],%[i],8), %[lo]\n\t"
        "mov %[lo], (%[r],%[i],8)\n\t"
        "mov %[hi], %[c]\n\t"
        "lea 1(%[i]), %[i]\n\t"
        "lea -1(%[cnt]), %[cnt]\n\t"
        "jrcxz 3f\n\t"
        "jmp 4b\n\t"
        "3:\n\t"
        "mov %[i], %[cnt]\n\t"
        "jrcxz 2f\n\t"
        "1:\n\t"
        "mulx (%[a],%[cnt],8), %[lo], %[hi]\n\t"
        "adcx %[c], %[lo]\n\t"
        "adox (%[r],%[cnt],8), %[lo]\n\t"
        "mov %[lo], (%[r],%[cnt],8)\n\t"
        "mulx 8(%[a],%[cnt],8), %[lo], %[c]\n\t"
        "adcx %[hi], %[lo]\n\t"
        "adox 8(%[r],%[cnt],8), %[lo]\n\t"
        "mov %[lo], 8(%[r],%[cnt],8)\n\t"
        "mulx 16(%[a],%[cnt],8), %[lo], %[hi]\n\t"
        "adcx %[c], %[lo]\n\t"
        "adox 16(%[r],%[cnt],8), %[lo]\n\t"
        "mov %[lo], 16(%[r],%[cnt],8)\n\t"
        "mulx 24(%[a],%[cnt],8), %[lo], %[c]\n\t"
        "adcx %[hi], %[lo]\n\t"
        "adox 24(%[r],%[cnt],8), %[lo]\n\t"
        "mov %[lo], 24(%[r],%[cnt],8)\n\t"
        "lea 4(%[cnt]), %[cnt]\n\t"
        "jrcxz 2f\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "adcx %[zero], %[c]\n\t"   // a product's high word is at most B - 2: no overflow
        "adox %[zero], %[c]\n\t"
        : [c] "+&r"(c), [lo] "=&r"(lo), [hi] "=&r"(hi), [zero] "=&r"(zero), [i] "+&r"(i),
          [cnt] "+&c"(first)
        : [a] "r"(a), [r] "r"(r), "d"(b)
        : "cc", "memory");
    return c;
}
// r[0..n) -= a[0..n) * b for n >= 1, as r + ~P + 1 with P the low n limbs of the product:
// the product's words on the carry flag as in addmul_1Adx, each complemented (not leaves the
// flags alone) and added to the row on the overflow flag. Returns the product's top limb;
// `added` gets the overflow chain's carry out, and the caller adds the 1.
Limb submul_1Adx(Limb* r, const Limb* a, size_t n, Limb b, Limb& added) {
    Limb lo, hi, zero, c = 0, of;
    long i = -(long)n;
    unsigned long first = n % 4;
    r += n;
    a += n;
    __asm__(
        "xor %k[zero], %k[zero]\n\t"
        "jrcxz 3f\n\t"
        "4:\n\t"
        "mulx (%[a],%[i],8), %[lo], %[hi]\n\t"
        "adcx %[c], %[lo]\n\t"
        "not %[lo]\n\t"
        "adox (%[r],%[i],8), %[lo]\n\t"
        "mov %[lo], (%[r],%[i],8)\n\t"
        "mov %[hi], %[c]\n\t"
        "lea 1(%[i]), %[i]\n\t"
        "lea -1(%[cnt]), %[cnt]\n\t"
        "jrcxz 3f\n\t"
        "jmp 4b\n\t"
        "3:\n\t"
        "mov %[i], %[cnt]\n\t"
        "jrcxz 2f\n\t"
        "1:\n\t"
        "mulx (%[a],%[cnt],8), %[lo], %[hi]\n\t"
        "adcx %[c], %[lo]\n\t"
        "not %[lo]\n\t"
        "adox (%[r],%[cnt],8), %[lo]\n\t"
        "mov %[lo], (%[r],%[cnt],8)\n\t"
        "mulx 8(%[a],%[cnt],8), %[lo], %[c]\n\t"
        "adcx %[hi], %[lo]\n\t"
        "not %[lo]\n\t"
        "adox 8(%[r],%[cnt],8), %[lo]\n\t"
        "mov %[lo], 8(%[r],%[cnt],8)\n\t"
        "mulx 16(%[a],%[cnt],8), %[lo], %[hi]\n\t"
        "adcx %[c], %[lo]\n\t"
        "not %[lo]\n\t"
        "adox 16(%[r],%[cnt],8), %[lo]\n\t"
        "mov %[lo], 16(%[r],%[cnt],8)\n\t"
        "mulx 24(%[a],%[cnt],8), %[lo], %[c]\n\t"
        "adcx %[hi], %[lo]\n\t"
        "not %[lo]\n\t"
        "adox 24(%[r],%[cnt],8), %[lo]\n\t"
        "mov %[lo], 24(%[r],%[cnt],8)\n\t"
        "lea 4(%[cnt]), %[cnt]\n\t"
        "jrcxz 2f\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "adcx %[zero], %[c]\n\t"   // the product's top limb
        "mov $0, %k[of]\n\t"
        "adox %[zero], %[of]\n\t"  // the row's carry out
        : [c] "+&r"(c), [lo] "=&r"(lo), [hi] "=&r"(hi), [zero] "=&r"(zero), [i] "+&r"(i),
          [cnt] "+&c"(first), [of] "=&r"(of)
        : [a] "r"(a), [r] "r"(r), "d"(b)
        : "cc", "memory");
    added = of;
    return c;
}
// r[0..n) = a[0..n) * b for n >= 1 (r may equal a); returns the carry limb. The carries on
// the carry flag alone, which nothing else touches.
Limb mul_1Adx(Limb* r, const Limb* a, size_t n, Limb b) {
    Limb lo, hi, zero, c = 0;
    long i = -(long)n;
    unsigned long first = n % 4;
    r += n;
    a += n;
    __asm__(
        "xor %k[zero], %k[zero]\n\t"
        "jrcxz 3f\n\t"
        "4:\n\t"
        "mulx (%[a],%[i],8), %[lo], %[hi]\n\t"
        "adcx %[c], %[lo]\n\t"
        "mov %[lo], (%[r],%[i],8)\n\t"
        "mov %[hi], %[c]\n\t"
        "lea 1(%[i]), %[i]\n\t"
        "lea -1(%[cnt]), %[cnt]\n\t"
        "jrcxz 3f\n\t"
        "jmp 4b\n\t"
        "3:\n\t"
        "mov %[i], %[cnt]\n\t"
        "jrcxz 2f\n\t"
        "1:\n\t"
        "mulx (%[a],%[cnt],8), %[lo], %[hi]\n\t"
        "adcx %[c], %[lo]\n\t"
        "mov %[lo], (%[r],%[cnt],8)\n\t"
        "mulx 8(%[a],%[cnt],8), %[lo], %[c]\n\t"
        "adcx %[hi], %[lo]\n\t"
        "mov %[lo], 8(%[r],%[cnt],8)\n\t"
        "mulx 16(%[a],%[cnt],8), %[lo], %[hi]\n\t"
        "adcx %[c], %[lo]\n\t"
        "mov %[lo], 16(%[r],%[cnt],8)\n\t"
        "mulx 24(%[a],%[cnt],8), %[lo], %[c]\n\t"
        "adcx %[hi], %[lo]\n\t"
        "mov %[lo], 24(%[r],%[cnt],8)\n\t"
        "lea 4(%[cnt]), %[cnt]\n\t"
        "jrcxz 2f\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "adcx %[zero], %[c]\n\t"
        : [c] "+&r"(c), [lo] "=&r"(lo), [hi] "=&r"(hi), [zero] "=&r"(zero), [i] "+&r"(i),
          [cnt] "+&c"(first)
        : [a] "r"(a), [r] "r"(r), "d"(b)
        : "cc", "memory");
    return c;
}
#endif

}  // namespace

Limb addmul_1(Limb* r, const Limb* a, size_t n, Limb b) {
#ifdef QUENDRA_ADX_KERNELS
    if (hasAdx && n > 0) return addmul_1Adx(r, a, n, b);
#endif
    return addmul_1Portable(r, a, n, b);
}

Limb mul_1(Limb* r, const Limb* a, size_t n, Limb b) {
#ifdef QUENDRA_ADX_KERNELS
    if (hasAdx && n > 0) return mul_1Adx(r, a, n, b);
#endif
    Limb c = 0;
    for (size_t i = 0; i < n; ++i) {
        const u128 p = (u128)a[i] * b + c;
        r[i] = (Limb)p;
        c = (Limb)(p >> 64);
    }
    return c;
}

Limb submul_1(Limb* r, const Limb* a, size_t n, Limb b) {
#ifdef QUENDRA_ADX_KERNELS
    if (hasAdx && n > 0) {
        // r - P = r + ~P + 1 - B^n: the borrow is 1 less the carries out of both additions.
        Limb added;
        const Limb top = submul_1Adx(r, a, n, b, added);
        const Limb more = add_1(r, n, 1);
        return top + 1 - added - more;
    }
#endif
    Limb c = 0;
    for (size_t i = 0; i < n; ++i) {
        const u128 p = (u128)a[i] * b + c;
        const Limb lo = (Limb)p, x = r[i];
        c = (Limb)(p >> 64) + (x < lo);
        r[i] = x - lo;
    }
    return c;
}

Limb lshift(Limb* r, const Limb* a, size_t n, unsigned s) {
    const Limb out = a[n - 1] >> (64 - s);
    for (size_t i = n - 1; i > 0; --i) r[i] = (a[i] << s) | (a[i - 1] >> (64 - s));
    r[0] = a[0] << s;
    return out;
}

Limb rshift(Limb* r, const Limb* a, size_t n, unsigned s) {
    const Limb out = a[0] << (64 - s);
    for (size_t i = 0; i + 1 < n; ++i) r[i] = (a[i] >> s) | (a[i + 1] << (64 - s));
    r[n - 1] = a[n - 1] >> s;
    return out;
}

int cmp_n(const Limb* a, const Limb* b, size_t n) {
    for (size_t i = n; i-- > 0;)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

size_t trimmed(const Limb* a, size_t n) {
    while (n > 0 && a[n - 1] == 0) --n;
    return n;
}

namespace {

// Row by row: one multiply-and-add pass per limb of b.
void mulBasecase(Limb* r, const Limb* a, size_t na, const Limb* b, size_t nb) {
    if (na == nb)
        if (const FixedMul f = fixedMul(na)) { f(r, a, b); return; }
    std::fill(r, r + na, 0);
    for (size_t i = 0; i < nb; ++i) r[na + i] = addmul_1(r + i, a, na, b[i]);
}

// The cross products once, doubled by a shift, then the squares of the limbs added.
void sqrBasecase(Limb* r, const Limb* a, size_t n) {
    if (const FixedSqr f = fixedSqr(n)) { f(r, a); return; }
    if (n == 1) {
        const u128 p = (u128)a[0] * a[0];
        r[0] = (Limb)p;
        r[1] = (Limb)(p >> 64);
        return;
    }
    std::fill(r, r + n, 0);
    r[n] = addmul_1(r + 1, a + 1, n - 1, a[0]);
    for (size_t i = 1; i + 1 < n; ++i) r[n + i] = addmul_1(r + 2 * i + 1, a + i + 1, n - i - 1, a[i]);
    r[2 * n - 1] = lshift(r + 1, r + 1, 2 * n - 2, 1);
    Limb c = 0;
    for (size_t i = 0; i < n; ++i) {
        const u128 p = (u128)a[i] * a[i];
        u128 lo = (u128)r[2 * i] + (Limb)p + c;
        r[2 * i] = (Limb)lo;
        u128 hi = (u128)r[2 * i + 1] + (Limb)(p >> 64) + (Limb)(lo >> 64);
        r[2 * i + 1] = (Limb)hi;
        c = (Limb)(hi >> 64);
    }
}

// r[0..m) = |a - b| for a of na <= m limbs and b of m limbs; true when a < b.
bool absDiff(Limb* r, const Limb* a, size_t na, const Limb* b, size_t m) {
    int c = 0;
    if (na == m) c = cmp_n(a, b, m);
    else {
        for (size_t i = m; i-- > na && c == 0;)
            if (b[i] != 0) c = -1;
        if (c == 0) c = cmp_n(a, b, na);
    }
    if (c >= 0) {
        sub(r, a, na, b, na);   // the limbs of b above na are zero here
        std::fill(r + na, r + m, 0);
        return false;
    }
    sub(r, b, m, a, na);
    return true;
}

// Scratch for a Karatsuba product of n limbs.
size_t scratchFor(size_t n) { return 6 * n + 200; }

void mulN(Limb* r, const Limb* a, const Limb* b, size_t n, Limb* ws);
void sqrN(Limb* r, const Limb* a, size_t n, Limb* ws);

// Karatsuba: with a = a1 B^h + a0 and b likewise, a b = a1 b1 B^2h + (a0 b0 + a1 b1 -
// (a0 - a1)(b0 - b1)) B^h + a0 b0: three half products instead of four. For squares the
// difference term is a square, always subtracted.
void karatsuba(Limb* r, const Limb* a, const Limb* b, size_t n, Limb* ws, bool square) {
    const size_t l = n / 2, h = n - l;   // low half l limbs, high half h >= l
    Limb* da = ws;
    Limb* db = ws + h;
    Limb* t = ws + 2 * h;                // 2h limbs: (a0 - a1)(b0 - b1)
    Limb* rest = ws + 4 * h;
    bool negative = absDiff(da, a, l, a + l, h);
    if (square) {
        sqrN(t, da, h, rest);
        negative = true;
    } else {
        negative ^= absDiff(db, b, l, b + l, h);
        mulN(t, da, db, h, rest);
        negative = !negative;   // the middle term subtracts t when the signs agree
    }
    if (square) {
        sqrN(r, a, l, rest);
        sqrN(r + 2 * l, a + l, h, rest);
    } else {
        mulN(r, a, b, l, rest);
        mulN(r + 2 * l, a + l, b + l, h, rest);
    }
    // middle (2h + 1 limbs) = low product + high product -/+ t, added at r + l.
    Limb* mid = rest;
    Limb top = add(mid, r + 2 * l, 2 * h, r, 2 * l);
    if (negative) top -= sub_n(mid, mid, t, 2 * h);
    else top += add_n(mid, mid, t, 2 * h);
    Limb carry = add_n(r + l, r + l, mid, 2 * h);
    carry += top;
    add_1(r + l + 2 * h, 2 * n - l - 2 * h, carry);
}

void mulN(Limb* r, const Limb* a, const Limb* b, size_t n, Limb* ws) {
    if (n < thresholds.karatsuba) mulBasecase(r, a, n, b, n);
    else karatsuba(r, a, b, n, ws, false);
}

void sqrN(Limb* r, const Limb* a, size_t n, Limb* ws) {
    if (n < thresholds.karatsubaSqr) sqrBasecase(r, a, n);
    else karatsuba(r, a, a, n, ws, true);
}

// Through the transform, straight from the limbs.
bool viaTransform(Limb* r, const Limb* a, size_t na, const Limb* b, size_t nb, bool square) {
    return square ? bigfft::sqr(a, na, r) : bigfft::mul(a, na, b, nb, r);
}

// Unbalanced products: b times slices of a as long as b.
void mulSliced(Limb* r, const Limb* a, size_t na, const Limb* b, size_t nb) {
    std::vector<Limb> part(2 * nb);
    mul(r, a, nb, b, nb);
    for (size_t off = nb; off < na; off += nb) {
        const size_t m = std::min(nb, na - off);
        if (m >= nb) mul(part.data(), a + off, m, b, nb);
        else mul(part.data(), b, nb, a + off, m);
        // r[off .. off + nb) holds the top of the previous slice; the rest is fresh.
        const Limb c = add_n(r + off, r + off, part.data(), nb);
        std::copy(part.begin() + (long)nb, part.begin() + (long)(nb + m), r + off + nb);
        add_1(r + off + nb, m, c);
    }
}

}  // namespace

void mul(Limb* r, const Limb* a, size_t na, const Limb* b, size_t nb) {
    if (a == b && na == nb) { sqr(r, a, na); return; }
    if (nb < thresholds.karatsuba) { mulBasecase(r, a, na, b, nb); return; }
    // The transform's cost follows na + nb; Karatsuba below would pad b to na limbs, so a
    // nearly balanced product takes the transform once the mean length reaches its threshold.
    const bool transform = nb >= thresholds.fft || (na < 2 * nb && na + nb >= 2 * thresholds.fft);
    if (transform && viaTransform(r, a, na, b, nb, false)) return;
    if (na >= 2 * nb) { mulSliced(r, a, na, b, nb); return; }
    // Nearly balanced: b padded with zeros to na limbs.
    std::vector<Limb> ws(scratchFor(na) + (na > nb ? 3 * na : 0));
    if (na == nb) { mulN(r, a, b, na, ws.data()); return; }
    Limb* pb = ws.data() + scratchFor(na);
    std::copy(b, b + nb, pb);
    std::fill(pb + nb, pb + na, 0);
    Limb* full = pb + na;   // 2 na limbs
    mulN(full, a, pb, na, ws.data());
    std::copy(full, full + na + nb, r);
}

void sqr(Limb* r, const Limb* a, size_t n) {
    if (n < thresholds.karatsubaSqr) { sqrBasecase(r, a, n); return; }
    if (n >= thresholds.fftSqr && viaTransform(r, a, n, a, n, true)) return;
    std::vector<Limb> ws(scratchFor(n));
    sqrN(r, a, n, ws.data());
}

}  // namespace limbs
