// The Mersenne squaring and the Lucas-Lehmer engine on it: known verdicts, certificate rows,
// refusals, the rounding retry, interleaved squarers, progress and cancel, against GMP.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <set>
#include <thread>

#include "tools/mersenne/lucas_lehmer.h"
#include "core/progress.h"
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

// GMP's residue as the squarer's words.
std::vector<uint64_t> gmpWords(unsigned p, unsigned steps) {
    Mpz s, m;
    mpz_set_str(s.v, gmpResidue(p, steps).c_str(), 10);
    mpz_ui_pow_ui(m.v, 2, p);
    mpz_sub_ui(m.v, m.v, 1);
    mpz_mod(s.v, s.v, m.v);   // the start value 4 itself is 1 modulo 3
    std::vector<uint64_t> w((p + 63) / 64, 0);
    size_t count = 0;
    mpz_export(w.data(), &count, -1, sizeof(uint64_t), 0, 0, s.v);
    return w;
}

TEST(MersenneSquarer, RefusesExponentsWithoutResidues) {
    for (uint32_t p : {0u, 1u, 0x80000000u, 0xFFFFFFFFu}) {
        try {
            MersenneSquarer sq(p);
            ADD_FAILURE() << "no error for " << p;
        } catch (const BigError& e) {
            EXPECT_EQ(std::string(e.what()), "Mersenne squaring needs an exponent from 2 to 2147483647, not " + std::to_string(p));
        }
    }
}

// The exact path from p = 2 on: canonical residues, also where s^2 - 2 goes negative (p = 2:
// 1 - 2 = 2 mod 3) or lands on 2^p - 1.
TEST(MersenneSquarer, ExactPathMatchesGmpFromTheSmallestExponent) {
    for (uint32_t p = 2; p <= 200; ++p) {
        MersenneSquarer sq(p);
        EXPECT_EQ(sq.transformLength(), 0u);
        EXPECT_EQ(sq.get(), gmpWords(p, 0)) << p;
        for (unsigned i = 1; i <= 12; ++i) {
            sq.step();
            ASSERT_EQ(sq.get(), gmpWords(p, i)) << "p " << p << " step " << i;
        }
    }
}

TEST(MersenneSquarer, RefusesResiduesThatDoNotFit) {
    MersenneSquarer sq(100);
    EXPECT_THROW(sq.set(std::vector<uint64_t>(1, 4)), BigError);            // too few words
    EXPECT_THROW(sq.set(std::vector<uint64_t>(3, 0)), BigError);            // too many
    EXPECT_THROW(sq.set({0, uint64_t{1} << 36}), BigError);                 // bit 100
    sq.set({~uint64_t{0}, (uint64_t{1} << 36) - 1});                        // 2^100 - 1 is 0
    EXPECT_EQ(sq.get(), (std::vector<uint64_t>{0, 0}));
}

// Lengths that cannot hold the exponent are refused (words of 33 bits and more, words under
// 8 bits, lengths that are neither 2^k nor 3 * 2^k), and the squarer goes on as before.
TEST(MersenneSquarer, RefusesTransformLengthsItCannotHandle) {
    struct Row { uint32_t p; size_t n; };
    const Row rows[] = {{16411, 256}, {32771, 512}, {32771, 1024}, {20011, 384}, {20011, 4096},
                        {20011, 1000}, {20011, 32}, {20011, 0}, {1500, 64 * 3 * 4}, {500, 64}};
    for (const Row& r : rows) {
        MersenneSquarer sq(r.p);
        sq.step();
        const size_t before = sq.transformLength();
        try {
            sq.forceTransformLength(r.n);
            ADD_FAILURE() << "no error for " << r.p << " at " << r.n;
        } catch (const BigError& e) {
            EXPECT_EQ(std::string(e.what()), "Transform length " + std::to_string(r.n) + " cannot hold exponent " + std::to_string(r.p));
        }
        EXPECT_EQ(sq.transformLength(), before);
        sq.step();
        EXPECT_EQ(sq.get(), gmpWords(r.p, 2)) << r.p << " at " << r.n;
    }
}

// Forced lengths too short for the rounding bound: every step whose rounding check fails is
// redone longer, so the residues stay exact. From 24 bits a word on every step fails.
TEST(MersenneSquarer, TooShortTransformIsDetectedAndRedone) {
    struct Row { uint32_t p; size_t n; bool mustGrow; };
    const Row rows[] = {{20011, 768, true}, {20011, 1024, false}, {16411, 768, false},
                        {32767, 1024, true}, {32771, 1536, false}, {44497, 2048, false}};
    for (const Row& r : rows) {
        MersenneSquarer sq(r.p);
        const size_t safe = sq.transformLength();
        ASSERT_GT(safe, r.n);
        for (int i = 0; i < 3; ++i) sq.step();
        sq.forceTransformLength(r.n);
        EXPECT_EQ(sq.get(), gmpWords(r.p, 3));
        for (int i = 3; i < 40; ++i) sq.step();
        if (r.mustGrow) {
            EXPECT_GT(sq.transformLength(), r.n) << r.p;
        }
        EXPECT_EQ(sq.get(), gmpWords(r.p, 40)) << r.p << " forced to " << r.n;
    }
}

// Twelve squarers with twelve transform lengths stepped in turn, and long products of nine
// other sizes between two steps of one of them: nothing one squarer uses may be freed or
// replaced by another's work (AddressSanitizer watches the memory, GMP the residues).
TEST(MersenneSquarer, ManyExponentsAndProductsInterleaved) {
    const uint32_t exponents[] = {1009, 1500, 2203, 3001, 4423, 6007, 9001, 12007, 16411, 24001, 32771, 48017};
    std::vector<MersenneSquarer> squarers;
    std::set<size_t> lengths;
    for (uint32_t p : exponents) {
        squarers.emplace_back(p);
        lengths.insert(squarers.back().transformLength());
    }
    ASSERT_GT(lengths.size(), 8u);
    const unsigned steps = 12;
    for (unsigned i = 0; i < steps; ++i)
        for (MersenneSquarer& sq : squarers) sq.step();
    MersenneSquarer& last = squarers.back();
    last.step();
    for (int k = 0; k < 9; ++k) {   // 1000 .. 256000 digits: nine FFT lengths
        TBigInt a, sq;
        a.Digits.assign((size_t)(1000 << k) + 1, 0x5A5A5A5);
        a.Digits[0] = 1000 << k;
        BigSquare(a, sq);
        Mpz ref(a);
        mpz_mul(ref.v, ref.v, ref.v);
        ASSERT_TRUE(SameMagnitude(sq, ref)) << (1000 << k) << " digits";
    }
    last.step();
    for (size_t j = 0; j < squarers.size(); ++j) {
        const unsigned done = steps + (j + 1 == squarers.size() ? 2 : 0);
        EXPECT_EQ(squarers[j].get(), gmpWords(exponents[j], done)) << exponents[j];
    }
}

TEST(LucasLehmer, ReportsIterationsThroughTheProgressContract) {
    Progress progress;
    LucasLehmerCertificate c;
    EXPECT_TRUE(LucasLehmerTest(4423, &c, progress));
    EXPECT_EQ(progress.fraction(), 1.0);
    EXPECT_EQ(progress.phase(), "Iteration 4421 of 4421");
    EXPECT_EQ(c.rows(), 4421u);
    EXPECT_EQ(c.row(4420), "0");

    // Seen from another thread while it runs: "Iteration i of 21699" with i rising.
    Progress watched;
    std::atomic<bool> done{false};
    std::vector<std::string> seen;
    std::thread watcher([&] {
        while (!done) {
            seen.push_back(watched.phase());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    const bool prime = LucasLehmerTest(21701, nullptr, watched);
    done = true;
    watcher.join();
    EXPECT_TRUE(prime);
    long previous = -1, distinct = 0;
    for (const std::string& s : seen) {
        if (s.empty()) continue;
        long i = -1;
        ASSERT_EQ(std::sscanf(s.c_str(), "Iteration %ld", &i), 1) << s;
        ASSERT_EQ(s, "Iteration " + std::to_string(i) + " of 21699");
        EXPECT_GE(i, previous);
        distinct += i != previous;
        previous = i;
    }
    EXPECT_GT(distinct, 2);
}

// A cancel request, made before the run or from another thread during it, ends the run with
// Cancelled between two steps and leaves the certificate as it was.
TEST(LucasLehmer, CancelThroughTheProgressContract) {
    LucasLehmerCertificate c;
    LucasLehmerTest(7, &c);
    Progress early;
    early.cancel();
    EXPECT_THROW(LucasLehmerTest(4423, &c, early), Cancelled);
    EXPECT_EQ(c.exponent(), 7);

    Progress later;
    std::thread canceller([&] {
        while (later.fraction() < 0.05) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        later.cancel();
    });
    EXPECT_THROW(LucasLehmerTest(44497, &c, later), Cancelled);
    canceller.join();
    EXPECT_LT(later.fraction(), 1.0);
    EXPECT_EQ(c.exponent(), 7);
    EXPECT_EQ(c.rows(), 5u);
}

}  // namespace
