// The platform's conversions of text to native numbers, with their failure messages.
#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Leading blanks, an optional sign and decimal digits (or "$" and hex digits), in range;
// anything else throws ConversionError "'<text>' is not a valid integer value".
int32_t StrToInt(const QString& text);
int64_t StrToInt64(const QString& text);
// Leading and trailing blanks, a sign, digits with one decimal point, an optional exponent
// ("1e18", "10.5"); anything else throws "'<text>' is not a valid floating point value".
// Uses the widest floating type the platform has (80-bit extended on x86).
long double StrToFloat(const QString& text);
