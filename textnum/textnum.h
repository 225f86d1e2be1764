// Text to native numbers as the program's number fields read it, with the failure messages
// the user sees. Plain C++ on UTF-8 text, shared by the windows and the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/failure.h"

class ConversionError : public Failure {
public:
    using Failure::Failure;
};

// Leading blanks, an optional sign and decimal digits (or "$" or "0x" and hex digits), in
// range; anything else throws ConversionError "'<text>' is not a valid integer value".
int32_t TextToInt32(std::string_view text);
int64_t TextToInt64(std::string_view text);
// Blanks around, a sign, digits with one decimal point, an optional exponent ("1e18", "10.5");
// anything else throws "'<text>' is not a valid floating point value" with the text as given.
// Uses the widest floating type the platform has (80-bit extended on x86).
long double TextToFloat(std::string_view text);
// The same text read without a failure: nothing where TextToFloat would refuse it. `text` is
// taken as it is (the caller trims it by its own rules).
std::optional<long double> ParseFloatText(std::string_view text);
