// The whole Lucas-Lehmer test against the same test on GMP (squaring, then reduction by
// shift and add), in the same process.
#include <gmp.h>

#include "app/lucas_lehmer.h"
#include "bench/benches.h"
#include "tests/gmp_util.h"

namespace bench {

namespace {

bool gmpLucasLehmer(unsigned p) {
    Mpz m, s, t, hi;
    mpz_ui_pow_ui(m.v, 2, p);
    mpz_sub_ui(m.v, m.v, 1);
    mpz_set_ui(s.v, 4);
    for (unsigned i = 0; i + 2 < p; ++i) {
        mpz_mul(t.v, s.v, s.v);
        mpz_tdiv_q_2exp(hi.v, t.v, p);
        mpz_tdiv_r_2exp(t.v, t.v, p);
        mpz_add(s.v, t.v, hi.v);
        if (mpz_cmp(s.v, m.v) >= 0) mpz_sub(s.v, s.v, m.v);
        if (mpz_cmp_ui(s.v, 2) < 0) mpz_add(s.v, s.v, m.v);
        mpz_sub_ui(s.v, s.v, 2);
    }
    return mpz_sgn(s.v) == 0;
}

}  // namespace

void lucasLehmerBenches(Runner& run) {
    for (unsigned p : {4423u, 11213u, 21701u, 44497u, 86243u, 99991u}) {
        volatile bool sink = false;
        run.compare("ll-" + std::to_string(p), [&] { sink = LucasLehmerTest((int)p, nullptr); },
                    [&] { sink = gmpLucasLehmer(p); });
        (void)sink;
    }
}

}  // namespace bench
