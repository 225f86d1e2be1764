// Newton reciprocals and Barrett division on magnitudes.
#include "bigint/detail/recip.h"

#include "bigint/arith.h"
#include "bigint/convert.h"

namespace recip {
namespace {

size_t len(const mag::Num& a) { return (size_t)a[0]; }
const int64_t* dig(const mag::Num& a) { return a.data() + 1; }

TBigInt big(const mag::Num& a) {
    TBigInt t;
    t.Digits = a;
    return t;
}

// floor(|a| / B^k)
mag::Num shiftDown(const mag::Num& a, size_t k) {
    if (len(a) <= k) return mag::make(1);
    mag::Num r(a.begin() + (long)k, a.end());
    r[0] = (int64_t)(len(a) - k);
    mag::trim(r);
    return r;
}

// a * B^k
mag::Num shiftUp(const mag::Num& a, size_t k) {
    mag::Num r = mag::make(len(a) + k);
    std::copy(a.begin() + 1, a.end(), r.begin() + 1 + (long)k);
    mag::trim(r);
    return r;
}

mag::Num powerB(size_t k) {
    mag::Num r = mag::make(k + 1);
    r[k + 1] = 1;
    return r;
}

// Brings y to floor(B^(2n)/d) given its residual e = B^(2n) - d*y (signed).
void correct(mag::Num& y, TBigInt& e, const mag::Num& d) {
    const TBigInt D = big(d), one = BigFromInt(1);
    TBigInt Y = big(y), t;
    int steps = 0;
    while (e.Sign == Negative && !BigIsZero(e)) {
        BigSub(Y, one, t); Y = t;
        BigAdd(e, D, t); e = t;
        if (++steps > 64) throw BigError("reciprocal estimate out of range");
    }
    while (BigCompareAbs(e, D) != cmpLess) {
        BigAdd(Y, one, t); Y = t;
        BigSub(e, D, t); e = t;
        if (++steps > 64) throw BigError("reciprocal estimate out of range");
    }
    y = Y.Digits;
}

}  // namespace

mag::Num reciprocal(const mag::Num& d) {
    const size_t n = len(d);
    if (n <= 40) {
        mag::Num p = powerB(2 * n), q;
        mag::divmod(dig(p), len(p), dig(d), n, &q, nullptr);
        return q;
    }
    // Reciprocal of the top h digits, scaled up, then one Newton step with exact products:
    // the relative error B^(1-h) squares to below one unit, leaving a few corrections.
    const size_t h = (n + 1) / 2 + 2;
    mag::Num top = shiftDown(d, n - h);
    mag::Num y0 = shiftUp(reciprocal(top), n - h);
    const TBigInt D = big(d), Y0 = big(y0), P = big(powerB(2 * n));
    TBigInt dy, e, ye, y1;
    BigMul(D, Y0, dy);
    BigSub(P, dy, e);                       // e = B^(2n) - d*y0
    BigMul(Y0, e, ye);
    mag::Num step = shiftDown(ye.Digits, 2 * n);
    TBigInt S = big(step);
    S.Sign = ye.Sign;
    BigAdd(Y0, S, y1);
    mag::Num y = y1.Digits;
    BigMul(D, y1, dy);
    BigSub(P, dy, e);
    correct(y, e, d);
    return y;
}

void divide(const mag::Num& x, const mag::Num& d, const mag::Num& inv, mag::Num& q, mag::Num& r) {
    const size_t n = len(d);
    mag::Num xs = shiftDown(x, n - 1);
    mag::Num prod = mag::mul(dig(xs), len(xs), dig(inv), len(inv));
    q = shiftDown(prod, n + 1);             // never above the true quotient, at most 2 below
    mag::Num qd = mag::mul(dig(q), len(q), dig(d), n);
    r = mag::sub(dig(x), len(x), dig(qd), len(qd));
    mag::Num one = mag::make(1);
    one[1] = 1;
    while (mag::cmp(dig(r), len(r), dig(d), n) >= 0) {
        r = mag::sub(dig(r), len(r), dig(d), n);
        q = mag::add(dig(q), len(q), dig(one), 1);
    }
}

}  // namespace recip
