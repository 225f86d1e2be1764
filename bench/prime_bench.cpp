// Powers, the prime verdict, next prime and the large conversions against GMP.
#include <gmp.h>

#include "bench/benches.h"
#include "bigint/bigint.h"
#include "tests/gmp_util.h"

namespace bench {

void primeBenches(Runner& run) {
    gmp_randstate_t state;
    gmp_randinit_default(state);
    gmp_randseed_ui(state, 2026);
    auto randomDigits = [&](Mpz& z, unsigned digits) {
        Mpz ten;
        mpz_ui_pow_ui(ten.v, 10, digits);
        mpz_urandomm(z.v, state, ten.v);
        mpz_ui_pow_ui(ten.v, 10, digits - 1);
        mpz_add(z.v, z.v, ten.v);
    };
    {
        Mpz p, q, semi;
        randomDigits(p, 200);
        mpz_nextprime(p.v, p.v);
        randomDigits(q, 100);
        mpz_nextprime(q.v, q.v);
        randomDigits(semi, 100);
        mpz_nextprime(semi.v, semi.v);
        mpz_mul(semi.v, semi.v, q.v);
        TBigInt P = p.get(), S = semi.get();
        volatile bool sink = false;
        run.compare("isprime-200-prime", [&] { sink = BigIsPrime(P); },
                    [&] { sink = mpz_probab_prime_p(p.v, 25) != 0; });
        run.compare("isprime-200-semiprime", [&] { sink = BigIsPrime(S); },
                    [&] { sink = mpz_probab_prime_p(semi.v, 25) != 0; });
        (void)sink;
    }
    // Powers modulo odd numbers of each size; the exponent as long as the modulus up to 1000
    // digits, and 1000 and 200 digits beyond (a full-length one would take GMP minutes).
    for (unsigned digits : {200u, 1000u, 10000u, 100000u}) {
        const unsigned expDigits = digits <= 1000 ? digits : digits == 10000 ? 1000 : 200;
        Mpz a, e, n, r;
        randomDigits(a, digits);
        randomDigits(e, expDigits);
        randomDigits(n, digits);
        mpz_setbit(n.v, 0);
        TBigInt A = a.get(), E = e.get(), N = n.get(), C;
        const std::string name = "powmod-" + std::to_string(digits) +
                                 (expDigits == digits ? "" : "-exp" + std::to_string(expDigits));
        run.compare(name, [&] { BigMontPowMod(A, E, N, C); }, [&] { mpz_powm(r.v, a.v, e.v, n.v); });
    }
    {
        TBigInt F20, M;
        BigFromFermat("F20", F20);
        BigFromMersenne("M99991", M);
        Mpz f(F20), m(M);
        std::string text;
        std::vector<char> buf(400000);
        run.compare("todecimal-F20", [&] { text = BigToDecimal(F20); }, [&] { mpz_get_str(buf.data(), 10, f.v); });
        run.compare("todecimal-M99991", [&] { text = BigToDecimal(M); }, [&] { mpz_get_str(buf.data(), 10, m.v); });
    }
    {
        Mpz start, r;
        randomDigits(start, 50);
        TBigInt S = start.get();
        run.compare("nextprime-50", [&] { TBigInt n = S; BigNextPrime(n); }, [&] { mpz_nextprime(r.v, start.v); });
    }
    gmp_randclear(state);
}

}  // namespace bench
