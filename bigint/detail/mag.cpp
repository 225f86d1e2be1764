// Magnitude kernels: schoolbook, Karatsuba and FFT products, Knuth's long division, Lehmer's
// gcd and the decimal conversions. All work on 31-bit digits held in 64-bit elements.
#include "bigint/detail/mag.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "bigint/detail/fft.h"
#include "bigint/poll.h"

namespace mag {
namespace {

constexpr int kBits = 31;
constexpr int64_t kMask = DigitMask;

// out[0..na+nb) = a*b, row by row. A row's carry stays below 2^33, so t < 2^63 throughout.
void school(const int64_t* a, size_t na, const int64_t* b, size_t nb, int64_t* out) {
    std::fill(out, out + na + nb, 0);
    for (size_t i = 0; i < nb; ++i) {
        const int64_t bi = b[i];
        if (bi == 0) continue;
        int64_t carry = 0;
        int64_t* o = out + i;
        for (size_t j = 0; j < na; ++j) {
            int64_t t = a[j] * bi + o[j] + carry;
            o[j] = t & kMask;
            carry = t >> kBits;
        }
        o[na] = carry;   // this slot is untouched by earlier rows; the next row absorbs it
    }
    // The last row may leave a carry above 31 bits in its top slot only when the product
    // needs it, which cannot happen: the product fits na+nb digits.
}

// Cross products once, doubled, then the diagonal squares added.
void schoolSqr(const int64_t* a, size_t n, int64_t* out) {
    std::fill(out, out + 2 * n, 0);
    for (size_t i = 0; i + 1 < n; ++i) {
        const int64_t ai = a[i];
        if (ai == 0) continue;
        int64_t carry = 0;
        int64_t* o = out + 2 * i + 1;
        const int64_t* aj = a + i + 1;
        size_t m = n - i - 1;
        for (size_t j = 0; j < m; ++j) {
            int64_t t = ai * aj[j] + o[j] + carry;
            o[j] = t & kMask;
            carry = t >> kBits;
        }
        o[m] = carry;
    }
    // out := 2*out + diagonal, carrying in one pass.
    int64_t carry = 0;
    for (size_t i = 0; i < n; ++i) {
        int64_t sq = a[i] * a[i];
        int64_t lo = 2 * out[2 * i] + (sq & kMask) + carry;
        out[2 * i] = lo & kMask;
        carry = lo >> kBits;
        int64_t hi = 2 * out[2 * i + 1] + (sq >> kBits) + carry;
        out[2 * i + 1] = hi & kMask;
        carry = hi >> kBits;
    }
}

// out[0..hb) = |a - b| where a has ha <= hb digits; returns +1 when a >= b, else -1.
int absDiff(const int64_t* a, size_t ha, const int64_t* b, size_t hb, int64_t* out) {
    int sign = 0;
    for (size_t i = hb; i-- > 0 && sign == 0;) {
        int64_t ai = i < ha ? a[i] : 0;
        if (ai != b[i]) sign = ai > b[i] ? 1 : -1;
    }
    if (sign == 0) sign = 1;
    int64_t borrow = 0;
    for (size_t i = 0; i < hb; ++i) {
        int64_t ai = i < ha ? a[i] : 0;
        int64_t t = sign > 0 ? ai - b[i] + borrow : b[i] - ai + borrow;
        out[i] = t & kMask;
        borrow = t >> kBits;
    }
    return sign;
}

// Adds the middle term t[0..m) (entries in (-2^32, 2^33)) into out starting at out[0], and
// carries through out[m..end). The true sum is non-negative, so the carry dies out.
void addMiddle(int64_t* out, size_t end, const int64_t* t, size_t m) {
    int64_t carry = 0;
    size_t k = 0;
    for (; k < m; ++k) {
        int64_t v = out[k] + t[k] + carry;
        out[k] = v & kMask;
        carry = v >> kBits;
    }
    for (; carry != 0 && k < end; ++k) {
        int64_t v = out[k] + carry;
        out[k] = v & kMask;
        carry = v >> kBits;
    }
}

void kmul(const int64_t* a, const int64_t* b, size_t n, int64_t* out, int64_t* ws) {
    if (n < karatsubaThreshold) { school(a, n, b, n, out); return; }
    const size_t h = n / 2, h2 = n - h;
    kmul(a, b, h, out, ws);
    kmul(a + h, b + h, h2, out + 2 * h, ws);
    int64_t* da = ws;
    int64_t* db = ws + h2;
    int64_t* z1 = ws + 2 * h2;
    int sa = absDiff(a, h, a + h, h2, da);
    int sb = absDiff(b, h, b + h, h2, db);
    kmul(da, db, h2, z1, ws + 4 * h2);
    // middle = z0 + z2 - (a0-a1)(b0-b1)
    const int64_t s = sa * sb;
    for (size_t k = 0; k < 2 * h2; ++k)
        z1[k] = (k < 2 * h ? out[k] : 0) + out[2 * h + k] - s * z1[k];
    addMiddle(out + h, 2 * n - h, z1, 2 * h2);
}

void ksqr(const int64_t* a, size_t n, int64_t* out, int64_t* ws) {
    if (n < karatsubaThreshold) { schoolSqr(a, n, out); return; }
    const size_t h = n / 2, h2 = n - h;
    ksqr(a, h, out, ws);
    ksqr(a + h, h2, out + 2 * h, ws);
    int64_t* da = ws;
    int64_t* z1 = ws + 2 * h2;
    absDiff(a, h, a + h, h2, da);
    ksqr(da, h2, z1, ws + 4 * h2);
    for (size_t k = 0; k < 2 * h2; ++k)
        z1[k] = (k < 2 * h ? out[k] : 0) + out[2 * h + k] - z1[k];
    addMiddle(out + h, 2 * n - h, z1, 2 * h2);
}

size_t workspace(size_t n) { return 4 * n + 8 * 64 + 64; }

}  // namespace

size_t trimmed(const int64_t* a, size_t n) {
    while (n > 0 && a[n - 1] == 0) --n;
    return n;
}

void trim(Num& r) {
    size_t n = r.size() - 1;
    while (n > 1 && r[n] == 0) --n;
    if (n == 0) { r.assign(2, 0); r[0] = 1; return; }
    r.resize(n + 1);
    r[0] = (int64_t)n;
}

void put(TBigInt& x, Num&& r, uint8_t sign) {
    trim(r);
    x.Digits = std::move(r);
    x.Sign = sign;
}

int cmp(const int64_t* a, size_t na, const int64_t* b, size_t nb) {
    if (na != nb) return na < nb ? -1 : 1;
    for (size_t i = na; i-- > 0;)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

void mul(const int64_t* a, size_t na, const int64_t* b, size_t nb, int64_t* out) {
    if (na < nb) { std::swap(a, b); std::swap(na, nb); }
    if (nb == 0) { std::fill(out, out + na, 0); return; }
    if (nb < karatsubaThreshold) { school(a, na, b, nb, out); return; }
    if (nb >= fftThreshold && bigfft::mul(a, na, b, nb, out)) return;
    if (na == nb) {
        std::vector<int64_t> ws(workspace(na));
        kmul(a, b, na, out, ws.data());
        return;
    }
    // Unbalanced: multiply b by slices of a, each slice as long as b.
    std::fill(out, out + na + nb, 0);
    std::vector<int64_t> part(2 * nb);
    for (size_t off = 0; off < na; off += nb) {
        size_t m = std::min(nb, na - off);
        mul(a + off, m, b, nb, part.data());
        int64_t carry = 0;
        size_t k = 0;
        for (; k < m + nb; ++k) {
            int64_t v = out[off + k] + part[k] + carry;
            out[off + k] = v & kMask;
            carry = v >> kBits;
        }
        for (; carry != 0 && off + k < na + nb; ++k) {
            int64_t v = out[off + k] + carry;
            out[off + k] = v & kMask;
            carry = v >> kBits;
        }
    }
}

void sqr(const int64_t* a, size_t n, int64_t* out) {
    if (n < karatsubaThreshold) { schoolSqr(a, n, out); return; }
    if (n >= fftThreshold && bigfft::sqr(a, n, out)) return;
    std::vector<int64_t> ws(workspace(n));
    ksqr(a, n, out, ws.data());
}

Num mul(const int64_t* a, size_t na, const int64_t* b, size_t nb) {
    Num r = make(na + nb);
    mul(a, na, b, nb, r.data() + 1);
    trim(r);
    return r;
}

Num sqr(const int64_t* a, size_t n) {
    Num r = make(2 * n);
    sqr(a, n, r.data() + 1);
    trim(r);
    return r;
}

Num add(const int64_t* a, size_t na, const int64_t* b, size_t nb) {
    if (na < nb) { std::swap(a, b); std::swap(na, nb); }
    Num r = make(na + 1);
    int64_t* o = r.data() + 1;
    int64_t carry = 0;
    for (size_t i = 0; i < na; ++i) {
        int64_t t = a[i] + (i < nb ? b[i] : 0) + carry;
        o[i] = t & kMask;
        carry = t >> kBits;
    }
    o[na] = carry;
    trim(r);
    return r;
}

Num sub(const int64_t* a, size_t na, const int64_t* b, size_t nb) {
    Num r = make(std::max<size_t>(na, 1));
    int64_t* o = r.data() + 1;
    int64_t borrow = 0;
    for (size_t i = 0; i < na; ++i) {
        int64_t t = a[i] - (i < nb ? b[i] : 0) + borrow;
        o[i] = t & kMask;
        borrow = t >> kBits;
    }
    trim(r);
    return r;
}

// Knuth's algorithm D in radix 2^31: the divisor is normalised so that its top digit has
// bit 30 set, then each quotient digit is estimated from two remainder digits and corrected
// at most twice, plus one rare add-back.
void divmod(const int64_t* a, size_t na, const int64_t* b, size_t nb, Num* q, Num* r) {
    na = trimmed(a, na);
    if (na < nb || cmp(a, na, b, nb) < 0) {
        if (q) *q = make(1);
        if (r) { *r = make(std::max<size_t>(na, 1)); std::copy(a, a + na, r->data() + 1); trim(*r); }
        return;
    }
    if (nb == 1) {
        const int64_t d = b[0];
        Num qq = make(na);
        int64_t rem = 0;
        for (size_t i = na; i-- > 0;) {
            int64_t t = (rem << kBits) | a[i];
            qq[i + 1] = t / d;
            rem = t % d;
        }
        if (q) { trim(qq); *q = std::move(qq); }
        if (r) { *r = make(1); (*r)[1] = rem; }
        return;
    }
    const int s = std::countl_zero((uint32_t)b[nb - 1]) - 1;   // bits to reach bit 30
    std::vector<int64_t> v(nb), u(na + 1);
    for (size_t i = nb; i-- > 0;) {
        int64_t lo = i > 0 ? b[i - 1] >> (kBits - s) : 0;
        v[i] = ((b[i] << s) & kMask) | (s ? lo : 0);
    }
    u[na] = s ? a[na - 1] >> (kBits - s) : 0;
    for (size_t i = na; i-- > 0;) {
        int64_t lo = i > 0 ? a[i - 1] >> (kBits - s) : 0;
        u[i] = ((a[i] << s) & kMask) | (s ? lo : 0);
    }
    const size_t m = na - nb;
    Num qq = make(m + 1);
    const int64_t vTop = v[nb - 1], vNext = v[nb - 2];
    for (size_t j = m + 1; j-- > 0;) {
        if ((j & 63) == 0) BigPoll();   // a long division of huge numbers takes seconds
        int64_t num = (u[j + nb] << kBits) | u[j + nb - 1];
        int64_t qhat = num / vTop, rhat = num % vTop;
        if (qhat > kMask) { qhat = kMask; rhat = num - qhat * vTop; }
        while (rhat <= kMask && qhat * vNext > ((rhat << kBits) | u[j + nb - 2])) {
            --qhat;
            rhat += vTop;
        }
        int64_t borrow = 0, carry = 0;
        for (size_t i = 0; i < nb; ++i) {
            int64_t p = qhat * v[i] + carry;
            carry = p >> kBits;
            int64_t t = u[i + j] - (p & kMask) + borrow;
            u[i + j] = t & kMask;
            borrow = t >> kBits;
        }
        int64_t t = u[j + nb] - carry + borrow;
        u[j + nb] = t & kMask;
        if (t < 0) {
            --qhat;
            int64_t c = 0;
            for (size_t i = 0; i < nb; ++i) {
                int64_t w = u[i + j] + v[i] + c;
                u[i + j] = w & kMask;
                c = w >> kBits;
            }
            u[j + nb] = (u[j + nb] + c) & kMask;
        }
        qq[j + 1] = qhat;
    }
    if (q) { trim(qq); *q = std::move(qq); }
    if (r) {
        Num rr = make(nb);
        for (size_t i = 0; i < nb; ++i) {
            int64_t hi = i + 1 < nb + 1 ? u[i + 1] : 0;
            rr[i + 1] = (u[i] >> s) | (s ? ((hi << (kBits - s)) & kMask) : 0);
        }
        trim(rr);
        *r = std::move(rr);
    }
}

namespace {

uint64_t gcd64(uint64_t x, uint64_t y) {
    if (x == 0) return y;
    if (y == 0) return x;
    int shift = std::countr_zero(x | y);
    x >>= std::countr_zero(x);
    do {
        y >>= std::countr_zero(y);
        if (x > y) std::swap(x, y);
        y -= x;
    } while (y != 0);
    return x << shift;
}

uint64_t low64(const std::vector<int64_t>& x) {
    uint64_t v = 0;
    for (size_t i = std::min<size_t>(x.size(), 3); i-- > 0;) v = (v << kBits) | (uint64_t)x[i];
    return v;
}

}  // namespace

// Lehmer's gcd: single-precision Euclid on the leading 62 bits gives a 2x2 cofactor matrix,
// applied to the whole numbers in one pass; a full division step is taken only when the
// leading bits decide nothing.
Num gcd(const int64_t* a, size_t na, const int64_t* b, size_t nb) {
    std::vector<int64_t> x(a, a + na), y(b, b + nb);
    if (cmp(x.data(), x.size(), y.data(), y.size()) < 0) std::swap(x, y);
    std::vector<int64_t> nx, ny;
    // (x, y) := (y, x mod y), the full-precision step of Euclid's algorithm.
    const auto divisionStep = [&] {
        Num rem;
        divmod(x.data(), x.size(), y.data(), y.size(), nullptr, &rem);
        x.swap(y);
        const size_t rn = trimmed(rem.data() + 1, (size_t)rem[0]);
        y.assign(rem.begin() + 1, rem.begin() + 1 + (long)rn);
    };
    while (!y.empty()) {
        const size_t n = x.size();
        if (n <= 2) {
            uint64_t g = gcd64(low64(x), low64(y));
            Num r = make(2);
            r[1] = (int64_t)(g & kMask);
            r[2] = (int64_t)(g >> kBits);
            trim(r);
            return r;
        }
        if (y.size() + 1 < n) {
            divisionStep();
            continue;
        }
        auto top = [&](const std::vector<int64_t>& z) {
            u128 v = 0;
            for (size_t k = 0; k < 3; ++k) {
                size_t i = n - 1 - k;
                v = (v << kBits) | (u128)(i < z.size() ? z[i] : 0);
            }
            return v;
        };
        u128 X = top(x), Y = top(y);
        const uint64_t xhi = (uint64_t)(X >> 64);
        const int bitsX = xhi ? 128 - std::countl_zero(xhi) : 64 - std::countl_zero((uint64_t)X);
        const int shift = std::max(0, bitsX - 62);
        int64_t xh = (int64_t)(X >> shift), yh = (int64_t)(Y >> shift);
        // Single-precision Euclid while the remainder keeps at least 31 significant bits:
        // up to there the cofactors stay below 2^31, so a digit times a cofactor fits 62 bits.
        // Any matrix built this way is unimodular, so it preserves the gcd even if a leading
        // bit estimate picked a quotient the full numbers would not; a negative result is
        // the only failure, and it is caught below.
        int64_t A = 1, B = 0, C = 0, D = 1;
        while (yh >= (int64_t{1} << 31)) {
            // A plain division: branching on the frequent small quotients costs more in
            // mispredictions than the division it saves.
            int64_t q = xh / yh, t = xh - q * yh;
            int64_t nC = A - q * C, nD = B - q * D;
            if (nC >= kMask || nC <= -kMask || nD >= kMask || nD <= -kMask) break;
            A = C; C = nC;
            B = D; D = nD;
            xh = yh; yh = t;
        }
        if (B == 0) {
            divisionStep();
            continue;
        }
        nx.assign(n, 0);
        ny.assign(n, 0);
        int64_t c1 = 0, c2 = 0;
        for (size_t i = 0; i < n; ++i) {
            int64_t xi = x[i], yi = i < y.size() ? y[i] : 0;
            int64_t t = A * xi + B * yi + c1;
            nx[i] = t & kMask;
            c1 = t >> kBits;
            int64_t w = C * xi + D * yi + c2;
            ny[i] = w & kMask;
            c2 = w >> kBits;
        }
        if (c1 < 0 || c2 < 0) {   // a quotient from the leading bits was wrong: divide instead
            divisionStep();
            continue;
        }
        nx.resize(trimmed(nx.data(), n));
        ny.resize(trimmed(ny.data(), n));
        x.swap(nx);
        y.swap(ny);
        if (cmp(x.data(), x.size(), y.data(), y.size()) < 0) x.swap(y);
    }
    Num r = make(std::max<size_t>(x.size(), 1));
    std::copy(x.begin(), x.end(), r.begin() + 1);
    trim(r);
    return r;
}

std::string toDecimal(const int64_t* a, size_t n) {
    // Repeated division by 10^9: a constant divisor compiles to a multiply.
    std::vector<int64_t> w(a, a + n);
    size_t m = trimmed(w.data(), n);
    std::vector<uint32_t> chunks;
    chunks.reserve(m * 31 / 29 + 2);
    while (m > 0) {
        int64_t rem = 0;
        for (size_t i = m; i-- > 0;) {
            int64_t t = (rem << kBits) | w[i];
            w[i] = t / 1000000000;
            rem = t % 1000000000;
        }
        chunks.push_back((uint32_t)rem);
        while (m > 0 && w[m - 1] == 0) --m;
    }
    if (chunks.empty()) return "0";
    std::string s = std::to_string(chunks.back());
    s.reserve(s.size() + 9 * chunks.size());
    char buf[9];
    for (size_t i = chunks.size() - 1; i-- > 0;) {
        uint32_t c = chunks[i];
        for (int k = 8; k >= 0; --k) { buf[k] = char('0' + c % 10); c /= 10; }
        s.append(buf, 9);
    }
    return s;
}

Num fromChunks(const std::vector<uint32_t>& chunks) {
    // Horner's rule from the top chunk: multiply by 10^9 and add.
    Num r = make(chunks.size() + 1);
    int64_t* o = r.data() + 1;
    size_t n = 0;
    for (size_t c = chunks.size(); c-- > 0;) {
        int64_t carry = chunks[c];
        for (size_t i = 0; i < n; ++i) {
            int64_t t = o[i] * 1000000000 + carry;
            o[i] = t & kMask;
            carry = t >> kBits;
        }
        while (carry) { o[n++] = carry & kMask; carry >>= kBits; }
    }
    trim(r);
    return r;
}

}  // namespace mag
