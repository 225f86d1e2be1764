#include "textnum/textnum.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

[[noreturn]] void notInteger(std::string_view text) {
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}

int64_t parseInteger(std::string_view text, int64_t lo, int64_t hi) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int base = 10;
    if (i < n && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n) notInteger(text);
    // Accumulate the magnitude as unsigned; the limit is |lo| for negatives, hi otherwise.
    const uint64_t limit = negative ? (uint64_t)(-(lo + 1)) + 1 : (uint64_t)hi;
    uint64_t value = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else notInteger(text);
        if (value > (limit - (uint64_t)d) / (uint64_t)base) notInteger(text);
        value = value * (uint64_t)base + (uint64_t)d;
    }
    if (negative) return value == 0 ? 0 : -(int64_t)(value - 1) - 1;
    return (int64_t)value;
}

bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

int32_t TextToInt32(std::string_view text) {
    return (int32_t)parseInteger(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
}

int64_t TextToInt64(std::string_view text) {
    return parseInteger(text, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
}

long double TextToFloat(std::string_view text) {
    std::string_view t = text;
    while (!t.empty() && blank(t.front())) t.remove_prefix(1);
    while (!t.empty() && blank(t.back())) t.remove_suffix(1);
    const std::optional<long double> value = ParseFloatText(t);
    if (!value) throw ConversionError("'" + std::string(text) + "' is not a valid floating point value");
    return *value;
}

std::optional<long double> ParseFloatText(std::string_view t) {
    // sign? digits* ('.' digits*)? (e sign? digits+)?, with at least one mantissa digit.
    size_t i = 0, mantissa = 0;
    const size_t n = t.size();
    const auto digit = [&](size_t k) { return k < n && t[k] >= '0' && t[k] <= '9'; };
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    while (digit(i)) ++i, ++mantissa;
    if (i < n && t[i] == '.') {
        ++i;
        while (digit(i)) ++i, ++mantissa;
    }
    if (mantissa == 0) return std::nullopt;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
        if (!digit(i)) return std::nullopt;
        while (digit(i)) ++i;
    }
    if (i != n) return std::nullopt;
    const std::string s(t);
    errno = 0;
    const long double value = std::strtold(s.c_str(), nullptr);
    if (errno == ERANGE && (value == HUGE_VALL || value == -HUGE_VALL)) return std::nullopt;
    return value;
}
