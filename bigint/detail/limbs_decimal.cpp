// Decimal text to and from limbs. Short numbers go nineteen digits (one limb) at a time;
// long ones by divide and conquer over the powers 10^(19 * 2^k), which each thread computes
// once and keeps, so converting n digits costs about a product of n digits times log n.
#include <algorithm>
#include <cstring>

#include "bigint/detail/limbs.h"

namespace limbs {
namespace {

constexpr Limb kTen19 = 10000000000000000000ull;
constexpr size_t kChunk = 19;

// 10^(19 * 2^k), trimmed; kept per thread for the whole run (a few MB at most for the
// largest numbers the program meets).
const Vec& tenPower(size_t k) {
    thread_local std::vector<Vec> powers;
    if (powers.empty()) powers.push_back(Vec{kTen19});
    while (powers.size() <= k) {
        const Vec& last = powers.back();
        Vec sq(2 * last.size());
        sqr(sq.data(), last.data(), last.size());
        sq.resize(trimmed(sq.data(), sq.size()));
        powers.push_back(std::move(sq));
    }
    return powers[k];
}

// Writes v < 10^19 as exactly 19 digits at out.
void put19(char* out, Limb v) {
    for (int i = 18; i >= 0; --i) {
        out[i] = char('0' + v % 10);
        v /= 10;
    }
}

// Writes x (n limbs, destroyed) as exactly width digits at out, by repeated division by 10^19.
void emitSmall(char* out, size_t width, Limb* x, size_t n) {
    size_t end = width;
    n = trimmed(x, n);
    while (n > 0 && end >= kChunk) {
        const Limb r = divmod_1(x, x, n, kTen19);
        n = trimmed(x, n);
        end -= kChunk;
        put19(out + end, r);
    }
    char tail[kChunk];
    if (n > 0) {   // fewer than 19 places left, the rest of x fits them
        put19(tail, x[0]);
        std::memcpy(out, tail + kChunk - end, end);
        end = 0;
    }
    std::memset(out, '0', end);
}

// Writes x (n limbs) < 10^(19 * 2^(k+1)) as exactly width = 19 * 2^(k+1) digits.
void emit(char* out, const Limb* x, size_t n, size_t k) {
    const size_t width = kChunk << (k + 1);
    n = trimmed(x, n);
    if (n < std::max<size_t>(thresholds.decimal, 2) || k == 0) {
        Vec w(x, x + n);
        emitSmall(out, width, w.data(), n);
        return;
    }
    const Vec& p = tenPower(k);
    if (n < p.size()) {   // below the splitting power: the high half is all zeros
        std::memset(out, '0', width / 2);
        emit(out + width / 2, x, n, k - 1);
        return;
    }
    Vec q(n - p.size() + 1), r(p.size());
    divmod(q.data(), r.data(), x, n, p.data(), p.size());
    emit(out, q.data(), q.size(), k - 1);
    emit(out + width / 2, r.data(), r.size(), k - 1);
}

// Value of the chunks c[0..n) (radix 10^19, least significant first) into r[0..n).
void combine(Limb* r, const Limb* c, size_t n) {
    if (n <= std::max<size_t>(2 * thresholds.decimal, 2)) {
        size_t len = 0;
        for (size_t i = n; i-- > 0;) {
            // r := r * 10^19 + c[i]; with no limbs yet, add_1 hands c[i] back as the carry.
            const Limb carry = mul_1(r, r, len, kTen19) + add_1(r, len, c[i]);
            if (carry) r[len++] = carry;
        }
        std::fill(r + len, r + n, 0);
        return;
    }
    size_t k = 0;
    while ((size_t{2} << k) < n) ++k;
    const size_t lowCount = size_t{1} << k;   // low half: 2^k chunks, at most as many limbs
    Vec low(lowCount), high(n - lowCount);
    combine(low.data(), c, lowCount);
    combine(high.data(), c + lowCount, n - lowCount);
    const Vec& p = tenPower(k);
    const size_t nh = std::max<size_t>(trimmed(high.data(), high.size()), 1);
    std::fill(r, r + n, 0);
    if (nh >= p.size()) mul(r, high.data(), nh, p.data(), p.size());
    else mul(r, p.data(), p.size(), high.data(), nh);
    add(r, r, n, low.data(), lowCount);
}

}  // namespace

std::string toDecimal(const Limb* a, size_t n) {
    n = trimmed(a, n);
    if (n == 0) return "0";
    // At most 19.27 n + 1 digits: the smallest k with 19 * 2^(k+1) at least that.
    const size_t digits = (n * 64 * 30103 + 99999) / 100000 + 1;
    size_t k = 0;
    while ((kChunk << (k + 1)) < digits) ++k;
    std::string s(kChunk << (k + 1), '0');
    emit(s.data(), a, n, k);
    const size_t first = s.find_first_not_of('0');
    return first == std::string::npos ? "0" : s.substr(first);
}

Vec fromDecimal(const char* s, size_t len) {
    const size_t n = (len + kChunk - 1) / kChunk;
    Vec chunks(n);
    for (size_t c = 0; c < n; ++c) {
        const size_t end = len - c * kChunk, start = end > kChunk ? end - kChunk : 0;
        Limb v = 0;
        for (size_t i = start; i < end; ++i) v = v * 10 + Limb(s[i] - '0');
        chunks[c] = v;
    }
    Vec r(n);
    combine(r.data(), chunks.data(), n);
    return r;
}

}  // namespace limbs
