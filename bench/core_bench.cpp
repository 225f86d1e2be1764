// Core arithmetic against GMP on the same random values, by size in decimal digits:
// products, squares, division of 2n by n digits, gcd, decimal conversions.
#include <gmp.h>

#include "bench/benches.h"
#include "bigint/bigint.h"
#include "tests/gmp_util.h"

namespace bench {

void coreBenches(Runner& run) {
    gmp_randstate_t state;
    gmp_randinit_default(state);
    gmp_randseed_ui(state, 12345);
    // A random value of exactly the given number of decimal digits.
    auto randomDigits = [&](Mpz& z, unsigned long digits) {
        Mpz ten;
        mpz_ui_pow_ui(ten.v, 10, digits - 1);
        mpz_mul_ui(ten.v, ten.v, 9);
        mpz_urandomm(z.v, state, ten.v);
        mpz_ui_pow_ui(ten.v, 10, digits - 1);
        mpz_add(z.v, z.v, ten.v);
    };
    for (unsigned long n : {200ul, 1000ul, 10000ul, 100000ul}) {
        const std::string sz = std::to_string(n);
        Mpz a, b, w, c, q, r;
        randomDigits(a, n);
        randomDigits(b, n);
        randomDigits(w, 2 * n);
        TBigInt A = a.get(), B = b.get(), W = w.get(), C, Q, R;
        run.compare("mul-" + sz, [&] { BigMul(A, B, C); }, [&] { mpz_mul(c.v, a.v, b.v); });
        run.compare("square-" + sz, [&] { BigSquare(A, C); }, [&] { mpz_mul(c.v, a.v, a.v); });
        run.compare("divmod-" + std::to_string(2 * n) + "-by-" + sz, [&] { BigDivMod(W, B, Q, R); },
                    [&] { mpz_fdiv_qr(q.v, r.v, w.v, b.v); });
        run.compare("gcd-" + sz, [&] { BigGcd(A, B, C); }, [&] { mpz_gcd(c.v, a.v, b.v); });
        std::string text = BigToDecimal(A);
        std::vector<char> buf(text.size() + 2);
        run.compare("todecimal-" + sz, [&] { text = BigToDecimal(A); },
                    [&] { mpz_get_str(buf.data(), 10, a.v); });
        run.compare("fromdecimal-" + sz, [&] { BigFromDecimal(text, C); },
                    [&] { mpz_set_str(c.v, text.c_str(), 10); });
    }
    gmp_randclear(state);
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
