// The platform's conversions of text to native numbers, with their failure messages.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>
#include <cstdint>
#include <optional>

#include "core/failure.h"

class ConversionError : public Failure {
public:
    using Failure::Failure;
};

// Leading blanks, an optional sign and decimal digits (or "$" and hex digits), in range;
// anything else throws ConversionError "'<text>' is not a valid integer value".
int32_t StrToInt(const QString& text);
int64_t StrToInt64(const QString& text);
// Leading and trailing blanks, a sign, digits with one decimal point, an optional exponent
// ("1e18", "10.5"); anything else throws "'<text>' is not a valid floating point value".
// Uses the widest floating type the platform has (80-bit extended on x86).
long double StrToFloat(const QString& text);
// The same text read without a failure: nothing when StrToFloat would refuse it.
std::optional<long double> ParseFloat(const QString& text);

// Lines of an engine (UTF-8) as the lines of a list.
QStringList ToStringList(const std::vector<std::string>& lines);
