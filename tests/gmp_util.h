// Bridges between TBigInt and GMP, the reference the differential tests compare against.
#pragma once

#include <gmp.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "bigint/bigint.h"

class Mpz {
public:
    Mpz() { mpz_init(v); }
    explicit Mpz(const TBigInt& x) : Mpz() { set(x); }
    ~Mpz() { mpz_clear(v); }
    Mpz(const Mpz&) = delete;
    Mpz& operator=(const Mpz&) = delete;
    // 31-bit digits in 64-bit words: 33 nail bits per word.
    void set(const TBigInt& x) {
        mpz_import(v, (size_t)x.Digits[0], -1, sizeof(int64_t), 0, 33, x.Digits.data() + 1);
        if (x.Sign == Negative) mpz_neg(v, v);
    }
    TBigInt get() const {
        size_t n = (mpz_sizeinbase(v, 2) + 30) / 31;
        std::vector<int64_t> d(n + 1, 0);
        size_t count = 0;
        mpz_export(d.data() + 1, &count, -1, sizeof(int64_t), 0, 33, v);
        if (count == 0) count = 1;
        d.resize(count + 1);
        d[0] = (int64_t)count;
        TBigInt r;
        r.Sign = mpz_sgn(v) < 0 ? Negative : Positive;
        r.Digits = d;
        return r;
    }
    std::string str() const {
        std::vector<char> buf(mpz_sizeinbase(v, 10) + 2);
        mpz_get_str(buf.data(), 10, v);
        return buf.data();
    }
    mpz_t v;
};

// Magnitude equality plus the exact digit layout (count and normal form).
inline bool SameMagnitude(const TBigInt& ours, const Mpz& ref) {
    Mpz a;
    mpz_abs(a.v, ref.v);
    TBigInt r = a.get();
    return ours.Digits == r.Digits;
}

// Operands that stress carries, borrows and estimates: random digits, 2^31-1 runs, powers of
// two and their neighbours, decimal all-nines, long runs of zero digits, and zero.
class OperandMaker {
public:
    explicit OperandMaker(uint64_t seed) : rng_(seed) {}
    TBigInt make(size_t maxDigits) {
        size_t n = 1 + rng_() % maxDigits;
        TBigInt x;
        x.Digits.assign(n + 1, 0);
        x.Digits[0] = (int64_t)n;
        switch (rng_() % 8) {
        case 0: case 1:
            for (size_t i = 1; i <= n; ++i) x.Digits[i] = (int64_t)(rng_() & DigitMask);
            break;
        case 2:
            for (size_t i = 1; i <= n; ++i) x.Digits[i] = DigitMask;
            break;
        case 3: {   // 2^k, 2^k - 1 or 2^k + 1
            x.Digits[n] = int64_t{1} << (rng_() % 31);
            TBigInt one = BigFromInt(1), t;
            int kind = (int)(rng_() % 3);
            if (kind == 1) { BigSub(x, one, t); x = t; }
            if (kind == 2) { BigAdd(x, one, t); x = t; }
            break;
        }
        case 4: {   // all nines in decimal
            std::string s(1 + rng_() % (n * 9 + 1), '9');
            BigFromDecimal(s, x);
            break;
        }
        case 5:     // long zero runs between non-zero digits
            for (size_t i = 1; i <= n; ++i)
                x.Digits[i] = (rng_() % 5 == 0) ? (int64_t)(rng_() & DigitMask) : 0;
            x.Digits[n] = 1 + (int64_t)(rng_() % DigitMask);
            break;
        case 6:     // top digits near the limits, the hard cases of quotient estimates
            for (size_t i = 1; i <= n; ++i)
                x.Digits[i] = rng_() % 2 ? DigitMask - (int64_t)(rng_() % 3) : (int64_t)(rng_() % 3);
            if (x.Digits[n] == 0) x.Digits[n] = 1;
            break;
        default:
            if (rng_() % 4 == 0) {
                x = BigFromInt(0);
            } else {
                for (size_t i = 1; i <= n; ++i) x.Digits[i] = (int64_t)(rng_() & DigitMask);
            }
        }
        while (x.Digits[0] > 1 && x.Digits[(size_t)x.Digits[0]] == 0) {
            x.Digits.pop_back();
            x.Digits[0] -= 1;
        }
        x.Sign = rng_() % 2 ? Positive : Negative;
        return x;
    }
    std::mt19937_64& rng() { return rng_; }

private:
    std::mt19937_64 rng_;
};
