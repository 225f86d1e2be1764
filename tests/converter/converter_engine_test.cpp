// The converter's engine: routing of results to the rows, the length limits, the failures.
#include <gtest/gtest.h>

#include <string>

#include "bigint/bigint.h"
#include "tests/gmp_util.h"
#include "tools/converter/converter.h"

namespace {

const ConvertTargets defaults{};   // integer and Mersenne rows on, Fermat off
const ConvertTargets all{true, true, true};
const ConvertTargets none{false, false, false};

std::string opt(const std::optional<std::string>& s) { return s ? "[" + *s + "]" : "unset"; }

// The refusal a conversion throws as a notice, or "" when it converts.
std::string refusal(ConvertSource source, const std::string& text) {
    try {
        Convert(source, text, all);
    } catch (const Failure& f) {
        return f.kind() == Failure::Kind::Notice ? f.what() : std::string("error: ") + f.what();
    }
    return "";
}

TEST(Converter, ResultsGoToTheOtherRowsAsTheCheckBoxesSay) {
    struct Row { ConvertSource source; const char* text; ConvertTargets targets; const char* integer, *mersenne, *fermat; };
    const Row rows[] = {
        {ConvertSource::Integer, "127", defaults, "unset", "[M7]", "[]"},
        {ConvertSource::Integer, "20", all, "unset", "[M4+5]", "[F2+3]"},
        {ConvertSource::Integer, "17", none, "unset", "[]", "[]"},
        {ConvertSource::Integer, "-1", all, "unset", "[M0-1]", "[F0-4]"},
        {ConvertSource::Mersenne, "m7", all, "[127]", "unset", "[F2+110]"},
        {ConvertSource::Mersenne, "M7+3-1", defaults, "[129]", "unset", "[]"},
        {ConvertSource::Mersenne, "M100000", all, "[0]", "unset", "[F0-3]"},
        {ConvertSource::Mersenne, "127", none, "[]", "unset", "[]"},
        {ConvertSource::Fermat, "F5", all, "[4294967297]", "[M32+2]", "unset"},
        {ConvertSource::Fermat, "F2+3", defaults, "[20]", "[M4+5]", "unset"},
        {ConvertSource::Fermat, "F21", all, "[0]", "[M0]", "unset"},
    };
    for (const Row& r : rows) {
        const ConvertResult got = Convert(r.source, r.text, r.targets);
        EXPECT_EQ(opt(got.integer), r.integer) << r.text;
        EXPECT_EQ(opt(got.mersenne), r.mersenne) << r.text;
        EXPECT_EQ(opt(got.fermat), r.fermat) << r.text;
    }
}

TEST(Converter, LengthLimitsOfEachRow) {
    struct Row { ConvertSource source; std::string accepted, refused; const char* refusal; };
    const Row rows[] = {
        {ConvertSource::Integer, std::string(2500, '9'), std::string(2501, '9'), IntegerRefusal},
        {ConvertSource::Mersenne, "M7+" + std::string(196, '0') + "1", "M7+" + std::string(197, '0') + "1",
         MersenneRefusal},
        {ConvertSource::Fermat, "F2+" + std::string(46, '0') + "3", "F2+" + std::string(47, '0') + "3", FermatRefusal},
    };
    for (const Row& r : rows) {
        const ConvertResult ok = Convert(r.source, r.accepted, all);
        EXPECT_TRUE(ok.mersenne || ok.integer);
        EXPECT_EQ(refusal(r.source, r.refused), r.refusal);
    }
    EXPECT_EQ(*Convert(ConvertSource::Mersenne, "M7+" + std::string(196, '0') + "1", all).integer, "128");
    EXPECT_EQ(*Convert(ConvertSource::Fermat, "F2+" + std::string(46, '0') + "3", all).integer, "20");
    // The limits count characters, not bytes.
    std::string accents = "M7";
    for (int i = 0; i < 198; ++i) accents += "\xc3\xa9";
    EXPECT_EQ(refusal(ConvertSource::Mersenne, accents), "");
    EXPECT_EQ(refusal(ConvertSource::Mersenne, accents + "\xc3\xa9"), MersenneRefusal);
}

TEST(Converter, ConversionFailuresComeBeforeTheLimit) {
    struct Row { ConvertSource source; std::string text; const char* message; };
    const Row rows[] = {
        {ConvertSource::Integer, "", "'' is not a valid integer value"},
        {ConvertSource::Integer, "12a", "'12a' is not a valid integer value"},
        {ConvertSource::Integer, std::string(2600, '9') + "a", "'99999999a' is not a valid integer value"},
        {ConvertSource::Mersenne, "M", "'' is not a valid integer value"},
        {ConvertSource::Mersenne, "M7+", "'' is not a valid integer value"},
        {ConvertSource::Fermat, "F3-x", "'' is not a valid integer value"},
    };
    for (const Row& r : rows) {
        try {
            Convert(r.source, r.text, all);
            ADD_FAILURE() << "no failure for " << r.text.substr(0, 20);
        } catch (const BigError& e) {
            EXPECT_EQ(std::string(e.what()), r.message);
        }
    }
}

TEST(Converter, TheLargestExpressionsGiveWholeIntegers) {
    struct Row { ConvertSource source; const char* text; unsigned long power; int offset; };
    const Row rows[] = {{ConvertSource::Fermat, "F20", 1048576, 1}, {ConvertSource::Mersenne, "M99999", 99999, -1},
                        {ConvertSource::Fermat, "F20-1", 1048576, 0}};
    for (const Row& r : rows) {
        Mpz want;
        mpz_ui_pow_ui(want.v, 2, r.power);
        if (r.offset > 0) mpz_add_ui(want.v, want.v, (unsigned long)r.offset);
        if (r.offset < 0) mpz_sub_ui(want.v, want.v, (unsigned long)-r.offset);
        const ConvertResult got = Convert(r.source, r.text, all);
        ASSERT_TRUE(got.integer);
        EXPECT_EQ(*got.integer, want.str()) << r.text;
    }
}

}  // namespace
