// The Lucas-Lehmer engine: known verdicts, certificate rows, and residues against GMP.
#include <gtest/gtest.h>

#include "bigint/progress.h"
#include "app/lucas_lehmer.h"
#include "tests/gmp_util.h"

namespace {

// GMP's residue after `steps` steps of s := s^2 - 2 mod 2^p - 1, from s = 4.
std::string gmpResidue(unsigned p, unsigned steps) {
    Mpz m, s;
    mpz_ui_pow_ui(m.v, 2, p);
    mpz_sub_ui(m.v, m.v, 1);
    mpz_set_ui(s.v, 4);
    for (unsigned i = 0; i < steps; ++i) {
        mpz_mul(s.v, s.v, s.v);
        mpz_sub_ui(s.v, s.v, 2);
        mpz_mod(s.v, s.v, m.v);
    }
    return s.str();
}

std::vector<std::string> rows(const LucasLehmerCertificate& c) {
    std::vector<std::string> r;
    c.forEach(0, c.rows(), [&](size_t, const std::string& s) { r.push_back(s); return true; });
    return r;
}

TEST(LucasLehmer, SmallExponentsAndTheirCertificates) {
    struct Row { int p; bool prime; std::vector<std::string> residues; };
    const Row table[] = {
        {7, true, {"14", "67", "42", "111", "0"}}, {5, true, {"14", "8", "0"}}, {3, true, {"0"}},
        {2, true, {}}, {1, false, {}}, {0, false, {}}, {-5, false, {}},
    };
    for (const Row& r : table) {
        LucasLehmerCertificate c;
        EXPECT_EQ(LucasLehmerTest(r.p, &c), r.prime) << r.p;
        EXPECT_EQ(rows(c), r.residues) << r.p;
    }
    LucasLehmerCertificate c;
    EXPECT_FALSE(LucasLehmerTest(11, &c));
    EXPECT_EQ(c.rows(), 9u);
    EXPECT_EQ(c.row(8), "1736");
}

TEST(LucasLehmer, VerdictForEveryExponentUpTo1300) {
    const std::vector<int> primes = {2, 3, 5, 7, 13, 17, 19, 31, 61, 89, 107, 127, 521, 607, 1279};
    for (int p = 0; p <= 1300; ++p)
        ASSERT_EQ(LucasLehmerTest(p, nullptr), std::find(primes.begin(), primes.end(), p) != primes.end()) << p;
}

TEST(LucasLehmer, TransformResiduesMatchExactArithmetic) {
    // Exponents on the transform path, composite ones included, against GMP at many steps.
    // Lengths of both kinds: 2^k (1009, 2203, 4423) and 3 * 2^k (1281, 6007, 20011).
    for (unsigned p : {1009u, 1281u, 2203u, 4423u, 6007u, 20011u}) {
        LucasLehmerCertificate c;
        const bool prime = LucasLehmerTest((int)p, &c);
        EXPECT_EQ(prime, p == 2203u || p == 4423u) << p;
        for (size_t r : {size_t{0}, size_t{62}, size_t{63}, size_t{64}, size_t{500}, c.rows() - 1})
            ASSERT_EQ(c.row(r), gmpResidue(p, (unsigned)r + 1)) << "p " << p << " row " << r;
    }
}

TEST(LucasLehmer, ParallelRowsComeInOrderAndMatch) {
    LucasLehmerCertificate c;
    LucasLehmerTest(2281, &c);
    std::vector<std::string> serial, parallel;
    std::vector<size_t> order;
    c.forEach(10, 700, [&](size_t, const std::string& s) { serial.push_back(s); return true; });
    c.forEach(10, 700, [&](size_t r, const std::string& s) { order.push_back(r); parallel.push_back(s); return true; }, 3);
    EXPECT_EQ(parallel, serial);
    ASSERT_EQ(order.size(), 690u);
    for (size_t i = 0; i < order.size(); ++i) ASSERT_EQ(order[i], 10 + i);
    size_t seen = 0;   // stopping early
    c.forEach(0, c.rows(), [&](size_t, const std::string&) { return ++seen < 100; }, 2);
    EXPECT_EQ(seen, 100u);
}

TEST(LucasLehmer, TooShortTransformIsDetectedAndRedone) {
    const unsigned p = 20011;
    MersenneSquarer sq(p);
    const size_t safe = sq.transformLength();
    sq.forceTransformLength(safe / 4);   // ~40 bits a word: every step overflows a double
    for (int i = 0; i < 30; ++i) sq.step();
    EXPECT_GT(sq.transformLength(), safe / 4);
    EXPECT_EQ(ResidueToDecimal(sq.get()), gmpResidue(p, 30));
}

TEST(LucasLehmer, ProgressCanCancel) {
    LucasLehmerCertificate c;
    LucasLehmerTest(7, &c);
    EXPECT_THROW(LucasLehmerTest(3217, &c, [](int64_t done, int64_t) { return done < 100; }), Cancelled);
    EXPECT_EQ(c.exponent(), 7);   // the previous certificate stays
    EXPECT_EQ(c.rows(), 5u);
}

}  // namespace
