// Text to native numbers, as the platform's conversions accept it.
#include "ui/convert.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace {

[[noreturn]] void notInteger(const QString& text) {
    throw ConversionError(("'" + text + "' is not a valid integer value").toStdString());
}

std::optional<int64_t> parseInteger(const QString& text, int64_t lo, int64_t hi) {
    int i = 0;
    const int n = (int)text.size();
    while (i < n && text[i] == QLatin1Char(' ')) ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) negative = text[i++] == QLatin1Char('-');
    int base = 10;
    if (i < n && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0') && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= n) return std::nullopt;
    // Accumulate the magnitude as unsigned; the limit is |lo| for negatives, hi otherwise.
    const uint64_t limit = negative ? (uint64_t)(-(lo + 1)) + 1 : (uint64_t)hi;
    uint64_t value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return std::nullopt;
        if (value > (limit - (uint64_t)d) / (uint64_t)base) return std::nullopt;
        value = value * (uint64_t)base + (uint64_t)d;
    }
    if (negative) return value == 0 ? 0 : -(int64_t)(value - 1) - 1;
    return (int64_t)value;
}

}  // namespace

int32_t StrToInt(const QString& text) {
    const auto value = parseInteger(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    if (!value) notInteger(text);
    return (int32_t)*value;
}

int64_t StrToInt64(const QString& text) {
    const auto value = parseInteger(text, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
    if (!value) notInteger(text);
    return *value;
}

long double StrToFloat(const QString& text) {
    const auto value = ParseFloat(text);
    if (!value) throw ConversionError(("'" + text + "' is not a valid floating point value").toStdString());
    return *value;
}

std::optional<long double> ParseFloat(const QString& text) {
    const QString t = text.trimmed();
    // sign? digits* ('.' digits*)? (e sign? digits+)?, with at least one mantissa digit.
    int i = 0, n = (int)t.size(), mantissa = 0;
    const auto digit = [&](int k) { return k < n && t[k].unicode() >= '0' && t[k].unicode() <= '9'; };
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
    while (digit(i)) ++i, ++mantissa;
    if (i < n && t[i] == QLatin1Char('.')) {
        ++i;
        while (digit(i)) ++i, ++mantissa;
    }
    if (mantissa == 0) return std::nullopt;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
        if (!digit(i)) return std::nullopt;
        while (digit(i)) ++i;
    }
    if (i != n) return std::nullopt;
    const std::string s = t.toStdString();
    errno = 0;
    const long double value = std::strtold(s.c_str(), nullptr);
    if (errno == ERANGE && (value == HUGE_VALL || value == -HUGE_VALL)) return std::nullopt;
    return value;
}

QStringList ToStringList(const std::vector<std::string>& lines) {
    QStringList out;
    out.reserve((qsizetype)lines.size());
    for (const std::string& line : lines) out << QString::fromStdString(line);
    return out;
}
