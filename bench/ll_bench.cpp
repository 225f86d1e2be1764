// The whole Lucas-Lehmer test against the same test on GMP (squaring, then reduction by
// shift and add), in the same process.
#include <gmp.h>
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <thread>

#include "tools/mersenne/lucas_lehmer.h"
#include "bench/benches.h"
#include "tests/gmp_util.h"

namespace bench {

namespace {

// The same test on GMP: s := s^2 - 2 mod 2^p - 1 by a square, then shift and add.
class GmpLucasLehmer {
public:
    explicit GmpLucasLehmer(unsigned p) : p_(p) {
        mpz_ui_pow_ui(m_.v, 2, p);
        mpz_sub_ui(m_.v, m_.v, 1);
        mpz_set_ui(s_.v, 4);
    }
    void step() {
        mpz_mul(t_.v, s_.v, s_.v);
        mpz_tdiv_q_2exp(hi_.v, t_.v, p_);
        mpz_tdiv_r_2exp(t_.v, t_.v, p_);
        mpz_add(s_.v, t_.v, hi_.v);
        if (mpz_cmp(s_.v, m_.v) >= 0) mpz_sub(s_.v, s_.v, m_.v);
        if (mpz_cmp_ui(s_.v, 2) < 0) mpz_add(s_.v, s_.v, m_.v);
        mpz_sub_ui(s_.v, s_.v, 2);
    }
    const Mpz& residue() const { return s_; }

private:
    unsigned p_;
    Mpz m_, s_, t_, hi_;
};

bool gmpLucasLehmer(unsigned p) {
    GmpLucasLehmer ll(p);
    for (unsigned i = 0; i + 2 < p; ++i) ll.step();
    return mpz_sgn(ll.residue().v) == 0;
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


// A test of 2^99991 - 1 with its certificate, then every row written out in decimal (about
// 3 GB), against GMP running the test and writing every residue. Prints the peak resident
// memory of the process afterwards.
void certificateBenches(Runner& run) {
    const unsigned p = 99991;
    const std::string ours = "/tmp/quendra-bench-certificate.txt", ref = "/tmp/quendra-bench-gmp.txt";
    run.compare("certificate-" + std::to_string(p),
                [&] {
                    LucasLehmerCertificate c;
                    LucasLehmerTest((int)p, &c);
                    std::ofstream out(ours, std::ios::binary);
                    c.forEach(0, c.rows(), [&](size_t r, const std::string& s) {
                        out << r + 3 << '=' << s << "\r\n";
                        return true;
                    }, std::max(2u, std::thread::hardware_concurrency()));
                },
                [&] {
                    GmpLucasLehmer ll(p);
                    FILE* out = std::fopen(ref.c_str(), "wb");
                    for (unsigned i = 0; i + 2 < p; ++i) {
                        ll.step();
                        std::fprintf(out, "%u=", i + 3);
                        mpz_out_str(out, 10, ll.residue().v);
                        std::fputs("\r\n", out);
                    }
                    std::fclose(out);
                });
    if (run.wants("certificate-")) {
        std::remove(ours.c_str());
        std::remove(ref.c_str());
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("certificate-%u peak-rss=%ld MB\n", p, usage.ru_maxrss / 1024);
    }
}

}  // namespace bench
