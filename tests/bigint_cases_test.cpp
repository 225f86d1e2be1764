// Known answers for the big-integer core: conversions, signs of zero, carries and the
// Euclidean division rules.
#include <gtest/gtest.h>

#include "bigint/bigint.h"

namespace {

TBigInt Dec(const std::string& s) {
    TBigInt r;
    BigFromDecimal(s, r);
    return r;
}

std::string Pow2(int k, int64_t delta = 0) {
    TBigInt r, t;
    BigFromBinary("1" + std::string(k, '0'), r);
    TBigInt d = BigFromInt(delta);
    BigAdd(r, d, t);
    return BigToDecimal(t);
}

struct TextCase { const char* name; const char* text; const char* printed; };

class FromDecimal : public ::testing::TestWithParam<TextCase> {};

TEST_P(FromDecimal, ReadsAndPrints) {
    EXPECT_EQ(BigToDecimal(Dec(GetParam().text)), GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(Texts, FromDecimal, ::testing::Values(
    TextCase{"zero", "0", "0"}, TextCase{"zeros", "000", "0"}, TextCase{"plusZero", "+0", "0"},
    TextCase{"minusZero", "-0", "-0"}, TextCase{"minusZeros", "-000", "-0"},
    TextCase{"leadingZerosNeg", "-000123", "-123"}, TextCase{"plus", "+5", "5"},
    TextCase{"blanks", "  42", "42"}, TextCase{"letters", "abc5", "5"}, TextCase{"xMinus", "x-5", "-5"},
    TextCase{"billion", "1000000000", "1000000000"},
    TextCase{"innerChunkZeros", "1000000000000000001", "1000000000000000001"},
    TextCase{"long", "123456789012345678901234567890123456789", "123456789012345678901234567890123456789"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCase { const char* name; const char* text; const char* message; };

class BadDecimal : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadDecimal, RaisesConversionError) {
    TBigInt r;
    try {
        BigFromDecimal(GetParam().text, r);
        FAIL() << "no error for " << GetParam().text;
    } catch (const BigError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, BadDecimal, ::testing::Values(
    BadCase{"letterInside", "12a", "'12a' is not a valid integer value"},
    BadCase{"loneMinus", "-", "'' is not a valid integer value"},
    BadCase{"empty", "", "'' is not a valid integer value"},
    BadCase{"oneLetter", "x", "'x' is not a valid integer value"},
    BadCase{"blank", " ", "' ' is not a valid integer value"},
    BadCase{"doubleMinus", "--5", "'-5' is not a valid integer value"},
    BadCase{"trailingBlank", "5 ", "'5 ' is not a valid integer value"},
    // chunks are checked from the right: the low chunk names the error
    BadCase{"rightmostChunkFirst", "1x2345678901234567z", "'01234567z' is not a valid integer value"},
    BadCase{"highChunk", "12x123456789", "'12x' is not a valid integer value"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Representation, DigitsAndCounts) {
    EXPECT_EQ(Dec("2147483647").Digits, (std::vector<int64_t>{1, 2147483647}));
    EXPECT_EQ(Dec("2147483648").Digits, (std::vector<int64_t>{2, 0, 1}));
    EXPECT_EQ(Dec("0").Digits, (std::vector<int64_t>{1, 0}));
    EXPECT_EQ(Dec("-0").Sign, Negative);
    EXPECT_EQ(BigToBinary(Dec("0")), "0");
    EXPECT_EQ(BigToBinary(Dec("2147483648")), "1" + std::string(31, '0'));
    TBigInt b;
    BigFromBinary("000101", b);
    EXPECT_EQ(BigToDecimal(b), "5");
    BigFromBinary("1" + std::string(62, '0'), b);
    EXPECT_EQ(b.Digits, (std::vector<int64_t>{3, 0, 0, 1}));
}

TEST(Helpers, CompareParitySignsAndSmallDivision) {
    EXPECT_EQ(BigCompareAbs(Dec("-5"), Dec("3")), 0);
    EXPECT_EQ(BigCompareAbs(Dec("5"), Dec("-5")), 2);
    EXPECT_EQ(BigCompareAbs(Dec("3"), Dec("5")), 1);
    EXPECT_EQ(BigCompareAbs(Dec("2147483648"), Dec("2147483647")), 0);
    EXPECT_TRUE(BigIsOdd(Dec("-3")));
    EXPECT_FALSE(BigIsOdd(Dec("0")));
    TBigInt x = Dec("-7");
    BigNegate(x);
    EXPECT_EQ(BigToDecimal(x), "7");
    BigNegate(x);
    BigAbs(x);
    EXPECT_EQ(BigToDecimal(x), "7");
    TBigInt y = Dec("-123456789012345678901");
    EXPECT_EQ(BigDivSmall(y, 1000000000), 345678901);
    EXPECT_EQ(BigToDecimal(y), "-123456789012");
    TBigInt z = Dec(Pow2(64));
    EXPECT_EQ(BigDivSmall(z, int64_t{1} << 32), 0);
    EXPECT_EQ(BigToDecimal(z), Pow2(32));
    TBigInt c;
    BigCopy(y, c);
    EXPECT_EQ(c.Digits, y.Digits);
    EXPECT_EQ(c.Sign, y.Sign);
    BigRelease(c);
    EXPECT_TRUE(c.Digits.empty());
}

struct BinCase { const char* name; const char* a; const char* b; const char* expected; };

class Sums : public ::testing::TestWithParam<BinCase> {};
TEST_P(Sums, Add) {
    TBigInt c;
    BigAdd(Dec(GetParam().a), Dec(GetParam().b), c);
    EXPECT_EQ(BigToDecimal(c), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Signs, Sums, ::testing::Values(
    BinCase{"posPlusNegEqual", "5", "-5", "0"}, BinCase{"negPlusPosEqual", "-5", "5", "-0"},
    BinCase{"negPlusPos", "-3", "5", "2"}, BinCase{"carry", "2147483647", "1", "2147483648"},
    BinCase{"borrowToOneDigit", "2147483648", "-1", "2147483647"},
    BinCase{"negZeros", "-0", "-0", "-0"}, BinCase{"zeroPlusNegZero", "0", "-0", "0"},
    BinCase{"shortPlusLong", "1", "99999999999999999999", "100000000000000000000"},
    BinCase{"longPlusShort", "99999999999999999999", "1", "100000000000000000000"}),
    [](const auto& info) { return std::string(info.param.name); });

class Differences : public ::testing::TestWithParam<BinCase> {};
TEST_P(Differences, Sub) {
    TBigInt c;
    BigSub(Dec(GetParam().a), Dec(GetParam().b), c);
    EXPECT_EQ(BigToDecimal(c), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Signs, Differences, ::testing::Values(
    BinCase{"equal", "5", "5", "0"}, BinCase{"negEqual", "-5", "-5", "-0"},
    BinCase{"smallerMinusLarger", "3", "5", "-2"}, BinCase{"negMinusPos", "-3", "5", "-8"}),
    [](const auto& info) { return std::string(info.param.name); });

class Products : public ::testing::TestWithParam<BinCase> {};
TEST_P(Products, Mul) {
    TBigInt c;
    BigMul(Dec(GetParam().a), Dec(GetParam().b), c);
    EXPECT_EQ(BigToDecimal(c), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Signs, Products, ::testing::Values(
    BinCase{"negTimesZero", "-3", "0", "-0"}, BinCase{"zeroTimesZero", "0", "0", "0"},
    BinCase{"negTimesNeg", "-4", "-6", "24"},
    BinCase{"digitSquares", "2147483647", "2147483647", "4611686014132420609"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Products, SquareMatchesProductAndIsPositive) {
    TBigInt c, d;
    BigSquare(Dec("-7"), c);
    EXPECT_EQ(BigToDecimal(c), "49");
    TBigInt x = Dec("-" + std::string(300, '9'));
    BigSquare(x, c);
    BigMul(x, x, d);
    EXPECT_EQ(c.Digits, d.Digits);
    EXPECT_EQ(c.Sign, Positive);
}

TEST(InPlace, ShiftsSmallProductsAndAbsoluteDifference) {
    TBigInt x = Dec(Pow2(31));
    BigShiftRightBit(x);
    EXPECT_EQ(x.Digits, (std::vector<int64_t>{1, int64_t{1} << 30}));
    x = Dec("1");
    BigShiftRightBit(x);
    EXPECT_EQ(x.Digits, (std::vector<int64_t>{1, 0}));
    x = Dec("-5");
    BigShiftLeftDigit(x);
    EXPECT_EQ(BigToDecimal(x), "-" + std::to_string(5LL << 31));
    BigShiftRightDigit(x);
    EXPECT_EQ(BigToDecimal(x), "-5");
    BigShiftRightDigit(x);
    EXPECT_EQ(x.Digits, (std::vector<int64_t>{1, 0}));
    x = Dec("-2147483647");
    BigMulSmall(x, 2147483647);
    EXPECT_EQ(BigToDecimal(x), "-4611686014132420609");
    x = Dec("-" + Pow2(93));
    BigSubAbs(x, Dec("1"));
    EXPECT_EQ(BigToDecimal(x), "-" + Pow2(93, -1));
    EXPECT_EQ(x.Digits[0], 3);
}

struct DivCase { const char* name; const char* a; const char* b; const char* q; const char* r; };

class Divisions : public ::testing::TestWithParam<DivCase> {};
TEST_P(Divisions, EuclideanRule) {
    const auto& p = GetParam();
    TBigInt q, r, q2, r2;
    BigDivMod(Dec(p.a), Dec(p.b), q, r);
    EXPECT_EQ(BigToDecimal(q), p.q);
    EXPECT_EQ(BigToDecimal(r), p.r);
    BigDivide(Dec(p.a), Dec(p.b), q2);
    BigMod(Dec(p.a), Dec(p.b), r2);
    EXPECT_EQ(BigToDecimal(q2), p.q);
    EXPECT_EQ(BigToDecimal(r2), p.r);
}
INSTANTIATE_TEST_SUITE_P(Signs, Divisions, ::testing::Values(
    DivCase{"posPos", "7", "2", "3", "1"}, DivCase{"negPos", "-7", "2", "-4", "1"},
    DivCase{"posNeg", "7", "-2", "-3", "1"}, DivCase{"negNeg", "-7", "-2", "4", "1"},
    DivCase{"exactNeg", "-6", "3", "-2", "0"}, DivCase{"smallPos", "3", "5", "0", "3"},
    DivCase{"smallByNeg", "3", "-5", "-0", "3"}, DivCase{"smallNeg", "-3", "5", "-1", "2"},
    DivCase{"minusOneByBase", "-1", "2147483648", "-1", "2147483647"},
    DivCase{"baseSquaredByBase", "4611686018427387904", "2147483648", "2147483648", "0"},
    DivCase{"longExact", "21267647932558653966460912964485513216", "2147483647",
            "9903520318894728219767865345", "1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Divisions, ZeroDivisorRaisesInsteadOfLooping) {
    TBigInt q, r, c;
    const TBigInt a = Dec("7"), zero = Dec("0"), negZero = Dec("-0");
    auto expectError = [](auto&& f) {
        try { f(); FAIL() << "no error"; } catch (const BigError& e) { EXPECT_STREQ(e.what(), "Division by zero"); }
    };
    expectError([&] { BigDivMod(a, zero, q, r); });
    expectError([&] { BigDivide(a, negZero, q); });
    expectError([&] { BigMod(a, zero, r); });
    expectError([&] { BigMulMod(a, a, zero, c); });
    expectError([&] { BigSquareMod(a, zero, c); });
}

TEST(Divisions, ModularProducts) {
    TBigInt c;
    BigMulMod(Dec("-7"), Dec("3"), Dec("5"), c);
    EXPECT_EQ(BigToDecimal(c), "4");
    BigSquareMod(Dec("123456789123456789"), Dec("1000000007"), c);
    EXPECT_EQ(BigToDecimal(c), "165980939");
}

class Gcds : public ::testing::TestWithParam<BinCase> {};
TEST_P(Gcds, SignFollowsEuclidsLoop) {
    TBigInt c;
    BigGcd(Dec(GetParam().a), Dec(GetParam().b), c);
    EXPECT_EQ(BigToDecimal(c), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Values, Gcds, ::testing::Values(
    BinCase{"a", "12", "18", "6"}, BinCase{"b", "18", "12", "6"}, BinCase{"equal", "5", "5", "5"},
    BinCase{"zeroSecond", "7", "0", "7"}, BinCase{"zeros", "0", "0", "0"},
    BinCase{"negDivides", "12", "-4", "-4"}, BinCase{"negDividend", "-12", "4", "4"},
    BinCase{"negEqual", "-5", "5", "-5"}, BinCase{"negFirstZero", "-7", "0", "-7"},
    BinCase{"zeroFirst", "0", "-9", "-9"}, BinCase{"twoSteps", "-18", "12", "6"},
    BinCase{"coprimeLarge", "1000000000000000000000000000057", "-998244353998244353", "1"}),
    [](const auto& info) { return std::string(info.param.name); });

// The inverse lies in 0 .. |M|-1 for every sign of A and M; without one X keeps its value.
TEST(ModInverse, InverseOrUnchanged) {
    struct Row { const char* a; const char* m; const char* x; };
    const Row rows[] = {
        {"3", "16", "11"}, {"-3", "16", "5"}, {"2", "16", "99"}, {"3", "-7", "5"}, {"-3", "-7", "2"},
        {"-1", "7", "6"}, {"-1", "-7", "6"}, {"1", "7", "1"}, {"6", "7", "6"}, {"-6", "7", "1"},
        {"-1", "2", "1"}, {"10", "7", "5"}, {"-10", "-7", "2"}, {"0", "1", "0"}, {"5", "1", "0"},
        {"-5", "-1", "0"}, {"0", "7", "99"}, {"14", "-7", "99"}, {"-4", "6", "99"}, {"1", "0", "99"},
        {"-1", "0", "99"}, {"-0", "5", "99"},
        // 2 * 2^60 = 2^61 = 1 modulo 2^61 - 1; -2 * (2^60 - 1) = 1 as well
        {"2", "2305843009213693951", "1152921504606846976"},
        {"-2", "-2305843009213693951", "1152921504606846975"},
    };
    for (const Row& r : rows) {
        TBigInt x = Dec("99");
        BigModInverse(Dec(r.a), Dec(r.m), x);
        EXPECT_EQ(BigToDecimal(x), r.x) << r.a << " mod " << r.m;
        EXPECT_EQ(x.Sign, Positive) << r.a << " mod " << r.m;
    }
}

}  // namespace
