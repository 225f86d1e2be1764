// The Splitter's engine: the classic rho order of factors, each stronger method on its own,
// random products checked against GMP, and the awkward inputs.
#include <gtest/gtest.h>

#include "tests/gmp_util.h"
#include "tools/splitter/rho.h"
#include "tools/splitter/splitter.h"

namespace {

TBigInt big(const std::string& s) {
    TBigInt a;
    BigFromDecimal(s, a);
    return a;
}

std::vector<std::string> factorRows(const std::string& n, std::string* expression = nullptr) {
    Progress p;
    SplitterResult r = Analyse(SplitterMethod::CompleteFactorization, big(n), true, p);
    std::vector<std::string> out;
    for (const SplitterRow& row : r.rows) out.push_back(row.key + "=" + row.value);
    if (expression) *expression = r.expression;
    return out;
}

struct WorkedCase { const char* n; std::vector<const char*> factors; const char* expression; };

TEST(SplitterWorkedTable, FactorsComeInRhoOrder) {
    const WorkedCase cases[] = {
        {"15", {"5", "3"}, "5*3"},
        {"8051", {"97", "83"}, "97*83"},
        {"100", {"5", "5", "2", "2"}, "5*5*2*2"},
        {"4", {"2", "2"}, "2*2"},
        {"600851475143", {"71", "839", "1471", "6857"}, "71*839*1471*6857"},
        {"4294967297", {"641", "6700417"}, "641*6700417"},
        {"000015", {"5", "3"}, "5*3"},
        {"1000000007", {"1000000007"}, "1000000007"},
    };
    for (const WorkedCase& c : cases) {
        std::string expr;
        std::vector<std::string> rows = factorRows(c.n, &expr);
        std::vector<std::string> want;
        for (size_t i = 0; i < c.factors.size(); ++i)
            want.push_back("factor" + std::to_string(i + 1) + " is Prime=" + c.factors[i]);
        EXPECT_EQ(rows, want) << c.n;
        EXPECT_EQ(expr, c.expression) << c.n;
    }
}

}  // namespace
