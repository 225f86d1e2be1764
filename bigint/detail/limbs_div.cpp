// Division on 64-bit limbs: by one limb through a precomputed reciprocal, Knuth's schoolbook
// division for short divisors, and divide and conquer (Burnikel and Ziegler's recursion)
// above thresholds.divide, so that 2n limbs by n cost a few n-limb products.
#include <algorithm>
#include <bit>

#include "bigint/detail/limbs.h"
#include "bigint/poll.h"

namespace limbs {
namespace {

// floor((B^2 - 1) / d) - B for a normalised d (top bit set): the reciprocal that turns a
// two-limb by one-limb division into two products (Moeller and Granlund).
Limb reciprocal(Limb d) {
    const u128 num = ((u128)~d << 64) | ~Limb{0};
    return (Limb)(num / d);
}

// (u1 B + u0) div d and mod d for u1 < d, d normalised, v = reciprocal(d).
inline Limb div21(Limb& rem, Limb u1, Limb u0, Limb d, Limb v) {
    u128 q = (u128)v * u1;
    q += ((u128)u1 << 64) | u0;
    Limb q1 = (Limb)(q >> 64) + 1;
    const Limb q0 = (Limb)q;
    Limb r = u0 - q1 * d;
    if (r > q0) {
        --q1;
        r += d;
    }
    if (r >= d) {
        ++q1;
        r -= d;
    }
    rem = r;
    return q1;
}

// Knuth's algorithm D: a[0..na) by b[0..nb), b normalised, nb >= 2. q gets na - nb limbs;
// the remainder is left in a[0..nb) and a[nb..na) is cleared. Returns the quotient's limb
// na - nb (0 or 1). Each estimate from three remainder limbs against two divisor limbs is
// at most one too large, caught by the rare add-back.
Limb schoolDivrem(Limb* q, Limb* a, size_t na, const Limb* b, size_t nb) {
    Limb* top = a + na - nb;
    const Limb qh = cmp_n(top, b, nb) >= 0;
    if (qh) sub_n(top, top, b, nb);
    const Limb d1 = b[nb - 1], d0 = b[nb - 2], v = reciprocal(d1);
    for (size_t j = na - nb; j-- > 0;) {
        if ((j & 63) == 0) BigPoll();   // a long division of huge numbers takes a while
        const Limb n2 = a[j + nb], n1 = a[j + nb - 1], n0 = a[j + nb - 2];
        Limb qhat, rhat;
        bool rhatOverflow = false;
        if (n2 == d1) {   // the estimate caps at B - 1
            qhat = ~Limb{0};
            rhat = n1 + d1;
            rhatOverflow = rhat < n1;
        } else {
            qhat = div21(rhat, n2, n1, d1, v);
        }
        while (!rhatOverflow && (u128)qhat * d0 > (((u128)rhat << 64) | n0)) {
            --qhat;
            rhat += d1;
            rhatOverflow = rhat < d1;
        }
        const Limb borrow = submul_1(a + j, b, nb, qhat);
        const Limb was = a[j + nb];
        a[j + nb] = was - borrow;
        if (was < borrow) {   // one too large: add the divisor back
            --qhat;
            a[j + nb] += add_n(a + j, a + j, b, nb);
        }
        q[j] = qhat;
    }
    return qh;
}

Limb dcDivrem(Limb* q, Limb* a, const Limb* b, size_t n, size_t m, Limb* ws);

// A short quotient (m < n): the top 2m limbs of a divided by the top m limbs of b give the
// quotient at most two too large; the product of the quotient with the rest of b settles it.
Limb truncatedDivrem(Limb* q, Limb* a, const Limb* b, size_t n, size_t m, Limb* ws) {
    const size_t lo = n - m;
    Limb qh = dcDivrem(q, a + lo, b + lo, m, m, ws);
    if (lo >= m) mul(ws, b, lo, q, m);
    else mul(ws, q, m, b, lo);
    Limb borrow = sub_n(a, a, ws, n);
    if (qh) borrow += sub(a + m, a + m, n - m, b, lo);
    while (borrow) {
        qh -= sub_1(q, m, 1);
        borrow -= add_n(a, a, b, n);
    }
    return qh;
}

// a[0..n+m) by b[0..n), b normalised, m <= n: q gets m limbs, the remainder a[0..n), and
// a[n..n+m) is cleared; returns the quotient's limb m (0 or 1). With k = m / 2: the top
// m - k quotient limbs come from the top of a divided by the top n - k limbs of b, corrected
// by the product of those quotient limbs with the low k limbs of b; the low k limbs likewise
// from what remains. ws holds n limbs.
Limb dcDivrem(Limb* q, Limb* a, const Limb* b, size_t n, size_t m, Limb* ws) {
    if (m < std::max<size_t>(thresholds.divide, 2) || n < std::max<size_t>(thresholds.divide, 4))
        return schoolDivrem(q, a, n + m, b, n);
    if (n > m + 1) return truncatedDivrem(q, a, b, n, m, ws);
    BigPoll();
    const size_t k = m / 2, h = m - k;
    Limb qh = dcDivrem(q + k, a + 2 * k, b + k, n - k, h, ws);
    mul(ws, q + k, h, b, k);
    Limb borrow = sub(a + k, a + k, n, ws, m);
    if (qh) borrow += sub(a + k + h, a + k + h, n - h, b, k);
    while (borrow) {   // at most twice: the estimate from the top of b is at most 2 too large
        qh -= sub_1(q + k, h, 1);
        borrow -= add_n(a + k, a + k, b, n);
    }
    Limb ql = dcDivrem(q, a + k, b + k, n - k, k, ws);
    mul(ws, q, k, b, k);
    borrow = sub(a, a, n, ws, 2 * k);
    if (ql) borrow += sub(a + k, a + k, n - k, b, k);
    while (borrow) {
        ql -= sub_1(q, k, 1);
        borrow -= add_n(a, a, b, n);
    }
    return qh + add_1(q + k, h, ql);
}

}  // namespace

Limb divmod_1(Limb* q, const Limb* a, size_t n, Limb d) {
    const unsigned s = (unsigned)std::countl_zero(d);
    const Limb dn = d << s, v = reciprocal(dn);
    Limb r = 0;
    if (s == 0) {
        for (size_t i = n; i-- > 0;) q[i] = div21(r, r, a[i], dn, v);
        return r;
    }
    r = a[n - 1] >> (64 - s);
    for (size_t i = n - 1; i > 0; --i) q[i] = div21(r, r, (a[i] << s) | (a[i - 1] >> (64 - s)), dn, v);
    q[0] = div21(r, r, a[0] << s, dn, v);
    return r >> s;
}

void divmod(Limb* q, Limb* r, const Limb* a, size_t na, const Limb* b, size_t nb) {
    if (nb == 1) {
        Vec qq(na);
        const Limb rem = divmod_1(qq.data(), a, na, b[0]);
        if (q) std::copy(qq.begin(), qq.end(), q);
        if (r) r[0] = rem;
        return;
    }
    // Normalise: the divisor's top bit set, the dividend shifted alike into na + 1 limbs.
    // Short divisions keep their working copies on the stack: four allocations would cost
    // a fifth of a 200-digit division.
    const unsigned s = (unsigned)std::countl_zero(b[nb - 1]);
    constexpr size_t kOnStack = 256;   // 2n by n up to 50 limbs
    const size_t need = nb + (na + 1) + (na + 1 - nb) + (nb + 1);
    Limb local[kOnStack];
    Vec heap(need > kOnStack ? need : 0);
    Limb* const bn = need > kOnStack ? heap.data() : local;
    Limb* const an = bn + nb;
    Limb* const qq = an + na + 1;
    Limb* const ws = qq + (na + 1 - nb);
    if (s) {
        lshift(bn, b, nb, s);
        an[na] = lshift(an, a, na, s);
    } else {
        std::copy(b, b + nb, bn);
        std::copy(a, a + na, an);
        an[na] = 0;
    }
    // Quotient limbs from the top, at most nb at a time: each block divides the remainder so
    // far with the next limbs of the dividend.
    const size_t m = na + 1 - nb;
    size_t pos = m, block = m % nb ? m % nb : nb;
    while (pos > 0) {
        pos -= block;
        dcDivrem(qq + pos, an + pos, bn, nb, block, ws);
        block = nb;
    }
    if (q) std::copy(qq, qq + m, q);
    if (r) {
        if (s) rshift(r, an, nb, s);
        else std::copy(an, an + nb, r);
    }
}

}  // namespace limbs
