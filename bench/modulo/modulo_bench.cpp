// modulo_bench [PATTERN]: Super Modulo's runs of 1001 factors and the converter's largest inputs,
// each against GMP doing the same work.
#include <gmp.h>

#include <string>
#include <vector>

#include "bench/harness.h"
#include "bigint/bigint.h"
#include "core/progress.h"
#include "tools/converter/converter.h"
#include "tools/modulo/modulo.h"

namespace {

std::string str(const mpz_t v) {
    std::string s(mpz_sizeinbase(v, 10) + 2, '\0');
    mpz_get_str(s.data(), 10, v);
    s.resize(std::char_traits<char>::length(s.c_str()));
    return s;
}

// GMP's side of a run: c * b^e + d modulo each factor, each result as decimal text.
std::vector<std::string> gmpRun(unsigned long c, unsigned long b, const char* e, unsigned long d,
                                unsigned long long first, int count) {
    std::vector<std::string> lines;
    lines.reserve(count);
    mpz_t base, exp, m, r;
    mpz_init_set_ui(base, b);
    mpz_init_set_str(exp, e, 10);
    mpz_init(m);
    mpz_init(r);
    for (int i = 0; i < count; ++i) {
        mpz_set_ui(m, first + (unsigned long long)i);
        mpz_powm(r, base, exp, m);
        if (c != 1 || d != 0) {
            mpz_mul_ui(r, r, c);
            mpz_add_ui(r, r, d);
            mpz_mod(r, r, m);
        }
        lines.push_back(str(r));
    }
    mpz_clears(base, exp, m, r, nullptr);
    return lines;
}

// GMP's side of the nearest-form writers: two candidate powers of two and the smaller offset.
std::string gmpForm(const mpz_t value, bool fermat) {
    mpz_t a1, d1, d2, p;
    mpz_inits(a1, d1, d2, p, nullptr);
    if (fermat) mpz_sub_ui(a1, value, 1);
    else mpz_add_ui(a1, value, 1);
    unsigned long e = mpz_sgn(a1) == 0 ? 0 : mpz_sizeinbase(a1, 2) - 1, shown = e, lo = e, hi = e + 1;
    if (fermat) {
        unsigned long n = 0;
        while ((2ul << n) <= e) ++n;
        shown = n;
        lo = 1ul << n;
        hi = 2ul << n;
    }
    mpz_ui_pow_ui(p, 2, lo);
    mpz_sub(d1, a1, p);
    mpz_ui_pow_ui(p, 2, hi);
    mpz_sub(d2, a1, p);
    const bool up = mpz_cmpabs(d1, d2) > 0;
    std::string s = std::string(fermat ? "F" : "M") + std::to_string(up ? shown + 1 : shown);
    mpz_srcptr d = up ? d2 : d1;
    if (mpz_sgn(d) > 0) s += "+" + str(d);
    else if (mpz_sgn(d) < 0) s += str(d);
    mpz_clears(a1, d1, d2, p, nullptr);
    return s;
}

volatile size_t sink;

}  // namespace

int main(int argc, char** argv) {
    bench::Runner run(argc > 1 ? argv[1] : "");

    struct RunCase { const char* name; const char* expression; unsigned long c, b; const char* e; unsigned long d;
                     unsigned long long first; };
    const RunCase runs[] = {
        {"modulo_2^10^12_1001_factors_below_E18", "2^1000000000000", 1, 2, "1000000000000", 0,
         999999999999998999ull},
        {"modulo_2^10^12_1001_factors_from_2", "2^1000000000000", 1, 2, "1000000000000", 0, 2},
        {"modulo_3*7^(41 digits)+1_1001_factors_below_E18", "3*7^12345678901234567890123456789012345678901+1", 3, 7,
         "12345678901234567890123456789012345678901", 1, 999999999999998999ull},
    };
    for (const RunCase& r : runs) {
        run.compare(
            r.name,
            [&] {
                Progress progress;
                std::vector<std::string> lines;
                modulo::ReduceOverFactors(r.expression, (int64_t)r.first, (int64_t)r.first + 1000, progress, lines);
                sink = lines.size();
            },
            [&] { sink = gmpRun(r.c, r.b, r.e, r.d, r.first, 1001).size(); });
    }

    // The converter's largest accepted inputs, with every row checked.
    const ConvertTargets all{true, true, true};
    const std::string digits2500 = [] {
        std::string s;
        for (int i = 0; i < 2500; ++i) s += (char)('1' + (i * 7) % 9);
        return s;
    }();
    run.compare(
        "converter_integer_2500_digits",
        [&] { sink = Convert(ConvertSource::Integer, digits2500, all).fermat->size(); },
        [&] {
            mpz_t v;
            mpz_init_set_str(v, digits2500.c_str(), 10);
            sink = gmpForm(v, false).size() + gmpForm(v, true).size();
            mpz_clear(v);
        });
    struct ExprCase { const char* name; ConvertSource source; const char* text; unsigned long power; long offset; };
    const ExprCase exprs[] = {
        {"converter_mersenne_M99999", ConvertSource::Mersenne, "M99999", 99999, -1},
        {"converter_fermat_F20", ConvertSource::Fermat, "F20", 1048576, 1},
    };
    for (const ExprCase& x : exprs) {
        run.compare(
            x.name, [&] { sink = Convert(x.source, x.text, all).integer->size(); },
            [&] {
                mpz_t v;
                mpz_init(v);
                mpz_ui_pow_ui(v, 2, x.power);
                if (x.offset > 0) mpz_add_ui(v, v, (unsigned long)x.offset);
                else mpz_sub_ui(v, v, (unsigned long)-x.offset);
                sink = str(v).size() + gmpForm(v, x.source == ConvertSource::Mersenne).size();
                mpz_clear(v);
            });
    }
    return 0;
}
