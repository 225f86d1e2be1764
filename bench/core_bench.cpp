// Core arithmetic against GMP: products, squares, division, gcd, decimal conversions.
#include <gmp.h>

#include "bench/benches.h"
#include "bigint/bigint.h"
#include "tests/gmp_util.h"

namespace bench {

void coreBenches(Runner& run) {
    std::mt19937_64 rng(12345);
    auto randomNumber = [&](size_t digits) {
        TBigInt x;
        x.Digits.assign(digits + 1, 0);
        x.Digits[0] = (int64_t)digits;
        for (size_t i = 1; i <= digits; ++i) x.Digits[i] = (int64_t)(rng() & DigitMask);
        if (x.Digits[digits] == 0) x.Digits[digits] = 1;
        return x;
    };
    for (size_t n : {22, 100, 1000, 3300}) {
        const std::string sz = std::to_string(n);
        TBigInt A = randomNumber(n), B = randomNumber(n), W = randomNumber(2 * n), C, Q, R;
        Mpz a(A), b(B), w(W), c, q, r;
        run.compare("mul-" + sz, [&] { BigMul(A, B, C); }, [&] { mpz_mul(c.v, a.v, b.v); });
        run.compare("square-" + sz, [&] { BigSquare(A, C); }, [&] { mpz_mul(c.v, a.v, a.v); });
        run.compare("divmod-" + sz, [&] { BigDivMod(W, B, Q, R); },
                    [&] { mpz_fdiv_qr(q.v, r.v, w.v, b.v); });
        run.compare("gcd-" + sz, [&] { BigGcd(A, B, C); }, [&] { mpz_gcd(c.v, a.v, b.v); });
        std::string text = BigToDecimal(A);
        std::vector<char> buf(text.size() + 2);
        run.compare("todecimal-" + sz, [&] { text = BigToDecimal(A); },
                    [&] { mpz_get_str(buf.data(), 10, a.v); });
        run.compare("fromdecimal-" + sz, [&] { BigFromDecimal(text, C); },
                    [&] { mpz_set_str(c.v, text.c_str(), 10); });
    }
    // The logarithm of 10^100000 - 1 to base 3 (209590), against GMP's digit count in base 3
    // (exact or one too many) settled by one power.
    {
        Mpz a, p;
        mpz_ui_pow_ui(a.v, 10, 100000);
        mpz_sub_ui(a.v, a.v, 1);
        TBigInt A = a.get(), three = BigFromInt(3), C;
        volatile unsigned long sink = 0;
        run.compare("log3-of-10^100000-1", [&] { BigLog(A, three, C); },
                    [&] {
                        unsigned long k = (unsigned long)mpz_sizeinbase(a.v, 3) - 1;
                        mpz_ui_pow_ui(p.v, 3, k);
                        if (mpz_cmp(p.v, a.v) > 0) --k;
                        sink = k;
                    });
        (void)sink;
    }
}

}  // namespace bench
